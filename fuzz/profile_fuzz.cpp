// The INI layer on arbitrary bytes: parse, read every setting, set one key and
// check that the key reads back and that every other line survives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ProfileFile.h"
#include "settings/Settings.h"

namespace {

// Lines as texts, split at '\n' with final '\r's dropped, so that a line end
// added to a last line without one compares equal.
std::vector<std::string> Lines(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const auto nl = bytes.find('\n');
        std::string_view line = bytes.substr(0, nl);
        while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (nl == std::string_view::npos) break;
        bytes.remove_prefix(nl + 1);
    }
    return lines;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    quelp::ProfileFile file;
    file.Parse(bytes);
    Check(file.Serialize() == bytes);
    (void)quelp::ReadSettings(file);

    static constexpr std::string_view kSections[] = {"Quelp", "quelp", "RxFont", "Fz"};
    static constexpr std::string_view kKeys[] = {"Zoom", "zoom", "Name", "K"};
    const unsigned pick = size > 0 ? data[0] : 0;
    const std::string_view section = kSections[pick & 3];
    const std::string_view key = kKeys[(pick >> 2) & 3];
    const std::string value =
        "\x01"
        "fz=\"v\"";
    if (bytes.find(value) != std::string_view::npos) return 0;
    const bool hadSection = file.HasSection(section);
    const bool hadKey = file.HasKey(section, key);

    file.SetString(section, key, value);
    const std::string out = file.Serialize();
    Check(file.GetString(section, key, "") == value);
    quelp::ProfileFile again;
    again.Parse(out);
    Check(again.GetString(section, key, "") == value);

    // The other lines: the new contents without the set key line (and
    // without a section that had to be added) are the old contents, less the
    // replaced line when the key was there before.
    const std::vector<std::string> before = Lines(bytes);
    std::vector<std::string> after;
    std::size_t marked = 0;
    for (auto& line : Lines(out)) {
        if (line.find(value) != std::string::npos) {
            ++marked;
        } else {
            after.push_back(std::move(line));
        }
    }
    Check(marked == 1);
    if (!hadSection) {
        // Appended, not `"[" + std::string(...)`: GCC 12 at -O2 and above
        // reports a bogus overlap (-Wrestrict) in that inlined concatenation.
        std::string header = "[";
        header += section;
        header += ']';
        Check(!after.empty() && after.back() == header);
        after.pop_back();
        if (after.size() == before.size() + 1) {
            Check(after.back().find_first_not_of(" \t\r\v\f") == std::string::npos);
            after.pop_back();
        }
    }
    if (!hadKey) {
        Check(after == before);
    } else {
        // `after` is `before` with one line taken out.
        Check(after.size() + 1 == before.size());
        std::size_t i = 0;
        std::size_t skipped = 0;
        for (const auto& line : before) {
            if (i < after.size() && after[i] == line) {
                ++i;
            } else {
                ++skipped;
            }
        }
        Check(i == after.size() && skipped == 1);
    }
    return 0;
}
