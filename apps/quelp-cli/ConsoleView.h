#pragma once
// The main view of the headless decoder: message boxes become lines on
// standard error; the status bar is shown, as one line whenever it changes,
// only when the operator asked for it (--stats). Everything a window would
// draw (menus, buttons, displays) has no console form and is dropped.

#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "FileProblems.h"
#include "ports/FileDialogs.h"
#include "ports/MainView.h"

namespace quelp::cli {

class ConsoleView final : public MainView {
  public:
    ConsoleView(std::FILE* err, bool showStatus) : err_(err), showStatus_(showStatus) {}

    // What the messages are about (a file name), or empty.
    void SetContext(std::string context) {
        context_ = std::move(context);
        fileUse_.reset();
    }
    // A file the program is about to use: its error messages also say what
    // is wrong with it.
    void SetFileContext(std::string path, FileUse use, bool recording = false) {
        context_ = std::move(path);
        fileUse_ = use;
        recording_ = recording;
    }
    // Writes an informational line when --stats is on.
    void Info(const std::string& line);

    void SetStatusText(int panel, std::string_view text) override;
    void SetCaption(UiItem, std::string_view) override {}
    void SetChecked(UiItem, bool) override {}
    void SetEnabled(UiItem, bool) override {}
    void SetDown(UiItem, bool) override {}
    void SetText(UiItem, std::string_view) override {}
    void ShowMessage(std::string_view text, std::string_view caption) override;
    void ProcessMessages() override {}
    void UpdateDisplays() override {}

  private:
    static constexpr int kPanels = 10;

    std::FILE* err_;
    bool showStatus_;
    std::string context_;
    std::optional<FileUse> fileUse_;
    bool recording_ = false;
    std::array<std::string, kPanels> panels_;
};

// Nobody sits at a console to answer a dialog: every prompt is cancelled.
class ConsoleDialogs final : public FileDialogs {
  public:
    std::optional<std::string> AskOpen(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> AskSave(const FileDialogRequest&) override { return {}; }
};

}  // namespace quelp::cli
