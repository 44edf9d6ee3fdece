// The house rule of the source tree: a folder includes only folders below it
// (ports at the bottom, the programs at the top), so the layers can be read
// bottom-up and the signal code never learns of a window.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

// What each folder of src/ may include besides itself.
const std::map<std::string, std::set<std::string>> kMayInclude = {
    {"ports", {}},
    {"dsp", {}},
    {"decoder", {"dsp"}},
    {"adaptive", {"dsp", "decoder"}},
    {"text", {"ports", "dsp", "decoder"}},
    {"audio", {"ports", "dsp", "decoder"}},
    {"settings", {"ports", "dsp", "decoder"}},
    {"integration", {"ports", "dsp", "decoder"}},
    {"display", {"dsp"}},
    {"receiver",
     {"ports", "dsp", "decoder", "text", "audio", "settings", "integration", "adaptive"}},
    {"app",
     {"ports", "dsp", "decoder", "text", "audio", "settings", "integration", "adaptive", "receiver",
      "display"}},
    {"adapters",
     {"ports", "dsp", "decoder", "text", "audio", "settings", "integration", "adaptive",
      "receiver"}},
    {"ui",
     {"ports", "dsp", "decoder", "text", "audio", "settings", "integration", "adaptive", "receiver",
      "app", "adapters", "display"}},
};

TEST(Layers, NoFolderIncludesAFolderAboveItOrBesideIt) {
    const fs::path src = fs::path(QUELP_SOURCE_DIR) / "src";
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const fs::path ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
        const std::string folder = fs::relative(entry.path(), src).begin()->string();
        ASSERT_TRUE(kMayInclude.contains(folder)) << "a new folder needs its place: " << folder;
        ++files;
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            const std::string prefix = "#include \"";
            if (line.rfind(prefix, 0) != 0) continue;
            const std::string target = line.substr(prefix.size());
            const auto slash = target.find('/');
            if (slash == std::string::npos) continue;
            const std::string included = target.substr(0, slash);
            EXPECT_TRUE(included == folder || kMayInclude.at(folder).contains(included))
                << entry.path().string() << ": " << line;
        }
    }
    EXPECT_GT(files, 100);
}

}  // namespace
