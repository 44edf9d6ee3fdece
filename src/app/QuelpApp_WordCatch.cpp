// Word catching and log export in the application object: the
// mouse release over the receive text, the pop-up menu's items, and the
// export to the INI file, the clipboard, the broadcast and the automation
// event.

#include <algorithm>

#include "app/QuelpApp.h"

namespace quelp {

namespace {
// The automation server holds at most this many objects.
constexpr int kMaxAutomationObjects = 8;
}  // namespace

WordCatchPopup QuelpApp::RxMemoMouseUp() {
    ReceiveText& memo = ports_.rxMemo;
    const int start = memo.SelectionStart();
    const int length = memo.SelectionLength();
    const auto selected = [&] {
        const std::string text = memo.WholeText();
        const auto at = static_cast<std::size_t>(std::max(start, 0));
        if (at >= text.size()) return std::string();
        return CleanWord(std::string_view(text).substr(at, static_cast<std::size_t>(length)));
    };
    const auto atCaret = [&] {
        const std::string text = memo.WholeText();
        return CleanWord(WordAt(text, static_cast<std::size_t>(std::max(start, 0))));
    };

    if (params_.ContestMode != 0) {
        if (length > 0) {
            const std::string word = selected();
            memo.SetSelection(start, 0);
            if (!word.empty()) ContestCatch(word);
        } else if (params_.CatchWordByOneClick != 0) {
            const std::string word = atCaret();
            if (!word.empty()) ContestCatch(word);
        }
        return {};
    }
    if (length > 0) {
        displayHoldOff_ = hold_off::kMenuOpen;
        caughtWord_ = selected();
        memo.SetSelection(start, 0);
        // Even an empty word pops the menu up.
        return {true, caughtWord_};
    }
    if (params_.CatchWordByOneClick != 0) {
        displayHoldOff_ = hold_off::kMenuOpen;
        std::string word = atCaret();
        if (word.empty()) return {};
        caughtWord_ = std::move(word);
        return {true, caughtWord_};
    }
    return {};
}

void QuelpApp::LogFieldClick(std::size_t field) {
    if (field >= kLogFields.size()) return;
    displayHoldOff_ = hold_off::kAfterCommand;
    const LogField& f = kLogFields[field];
    ExportWord(f.key, caughtWord_, f.code);
}

void QuelpApp::Copy1Click() {
    if (ports_.clipboard != nullptr) {
        ports_.clipboard->SetText(
            CodePageToUtf8(CodePageOfCharset(window_.RxFont.Charset), caughtWord_));
    }
    displayHoldOff_ = hold_off::kNone;
}

void QuelpApp::ExportWord(std::string_view key, std::string_view word, std::int32_t code) {
    const CodePage page = CodePageOfCharset(window_.RxFont.Charset);
    if (params_.CopyTransferredData != 0 && ports_.clipboard != nullptr) {
        ports_.clipboard->SetText(CodePageToUtf8(page, word));
    }
    // The bytes as the receive text holds them, between double quotes; other
    // keys of the section stay. A file that cannot be written is left as it
    // was, without a word.
    std::string value;
    value.reserve(word.size() + 2);
    value.push_back('"');
    value.append(word);
    value.push_back('"');
    ProfileSaveOptions save;
    save.sync = settingsSave_.sync;
    static_cast<void>(
        WriteProfileString(params_.ExportIniFile, params_.ExportIniSection, key, value, save));

    RunHook(integration_.broadcastMessage, exportSeq_.NextBroadcast(), code);

    const int objects = integration_.automationObjects
                            ? std::clamp(integration_.automationObjects(), 0, kMaxAutomationObjects)
                            : 0;
    if (objects == 0) return;
    const std::string text = CodePageToUtf8(page, word);
    for (int object = 0; object < objects; ++object) {
        const auto commandW = static_cast<std::int32_t>(exportSeq_.NextEvent());
        RunHook(integration_.fireCommandEx, object, commandW, code, std::string_view(text));
    }
}

void QuelpApp::ContestCatch(std::string_view word) {
    const LogField& field = ContestField(word);
    ExportWord(field.key, AnsiUpperCase(word, CodePageOfCharset(window_.RxFont.Charset)),
               field.code);
    displayHoldOff_ = hold_off::kAfterCommand;
}

}  // namespace quelp
