// The INI layer on arbitrary bytes: parse, apply every setting to the
// application, set one key and check that the key reads back and that every
// other line survives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/QuelpApp.h"
#include "settings/ProfileFile.h"

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

// Ports that do nothing: the settings reach the live state without a screen.
struct NullView final : quelp::MainView {
    void SetStatusText(int, std::string_view) override {}
    void SetCaption(quelp::UiItem, std::string_view) override {}
    void SetChecked(quelp::UiItem, bool) override {}
    void SetEnabled(quelp::UiItem, bool) override {}
    void SetDown(quelp::UiItem, bool) override {}
    void SetText(quelp::UiItem, std::string_view) override {}
    void ShowMessage(std::string_view, std::string_view) override {}
    void ProcessMessages() override {}
    void UpdateDisplays() override {}
};
struct NullClock final : quelp::Clock {
    std::uint32_t TickMs() override { return 0; }
    std::int64_t ElapsedMs() override { return 0; }
    quelp::CivilTime Now(bool) override { return {}; }
    void SleepMs(int) override {}
};
struct NullDialogs final : quelp::FileDialogs {
    std::optional<std::string> AskOpen(const quelp::FileDialogRequest&) override { return {}; }
    std::optional<std::string> AskSave(const quelp::FileDialogRequest&) override { return {}; }
};
struct NullText final : quelp::ReceiveText {
    int LineCount() override { return 1; }
    int TopLine() override { return 0; }
    int VisibleLines() override { return 1; }
    int SelectionStart() override { return 0; }
    int SelectionLength() override { return 0; }
    int CharacterCount() override { return 0; }
    void SetSelection(int, int) override {}
    void SuspendRepaint() override {}
    void ResumeRepaint() override {}
    void AppendAtEnd(std::string_view) override {}
    void SetTopLine(int) override {}
    void ScrollCaretIntoView() override {}
    std::string WholeText() override { return {}; }
    void SetWholeText(std::string_view) override {}
};

// One application for the whole run: a load applies every key (the absent
// ones at their defaults), so each input starts from the same state.
quelp::QuelpApp& App() {
    static NullView view;
    static NullClock clock;
    static NullDialogs dialogs;
    static NullText text;
    static quelp::QuelpApp app({view, clock, dialogs, text});
    return app;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    quelp::ProfileFile file;
    file.Parse(bytes);
    Check(file.Serialize() == bytes);
    App().ApplySettings(file);
    quelp::ProfileFile collected;
    App().CollectSettings(collected);

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
