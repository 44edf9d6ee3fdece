// The command-line switches on arbitrary argument lists: the input is split
// into arguments at '\n'; the first byte says whether a capture file is open.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "settings/CommandLine.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool CleanPath(const std::string& s) {
    return !s.empty() && s.size() <= quelp::kMaxPathChars && s.find('"') == std::string::npos &&
           s.find('\0') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool captureOpen = !bytes.empty() && (bytes.front() & 1);
    std::vector<std::string> args;
    while (true) {
        const auto nl = bytes.find('\n');
        args.emplace_back(bytes.substr(0, nl));
        if (nl == std::string_view::npos) break;
        bytes.remove_prefix(nl + 1);
    }
    const quelp::CommandLineResult r = quelp::ParseCommandLine(args, captureOpen);
    if (captureOpen) Check(r.StartupCaptureFile.empty());
    if (!r.StartupCaptureFile.empty()) Check(CleanPath(r.StartupCaptureFile));
    if (r.SettingsPathFromCommandLine) {
        Check(CleanPath(r.SettingsPath));
    } else {
        Check(r.SettingsPath == quelp::kDefaultSettingsPath);
    }
    return 0;
}
