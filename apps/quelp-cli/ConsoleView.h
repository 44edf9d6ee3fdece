#pragma once
// The main view of the headless decoder: message boxes become lines on
// standard error; the status bar is shown, as one line whenever it changes,
// only when the operator asked for it (--stats). Everything a window would
// draw (menus, buttons, displays) has no console form and is dropped.

#include <array>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "FileProblems.h"
#include "Output.h"
#include "ports/FileDialogs.h"
#include "ports/MainView.h"

namespace quelp::cli {

class ConsoleView final : public MainView {
  public:
    ConsoleView(std::FILE* err, bool showStatus) : own_(err), err_(own_), showStatus_(showStatus) {}
    ConsoleView(Output& err, bool showStatus) : err_(err), showStatus_(showStatus) {}

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
    // Writes "quelp-cli: CONTEXT: line", always.
    void Error(const std::string& line);
    // What a window would draw once per block of audio (the spectrum is
    // ready): the command-line program records its waterfall and progress.
    void OnDisplay(std::function<void()> draw) { draw_ = std::move(draw); }

    void SetStatusText(int panel, std::string_view text) override;
    void SetCaption(UiItem, std::string_view) override {}
    void SetChecked(UiItem, bool) override {}
    void SetEnabled(UiItem, bool) override {}
    void SetDown(UiItem, bool) override {}
    void SetText(UiItem, std::string_view) override {}
    void ShowMessage(std::string_view text, std::string_view caption) override;
    void ProcessMessages() override {}
    void UpdateDisplays() override {
        if (draw_) draw_();
    }

  private:
    static constexpr int kPanels = 10;

    void Line(const std::string& line);

    Output own_;
    Output& err_;
    bool showStatus_;
    std::function<void()> draw_;
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
