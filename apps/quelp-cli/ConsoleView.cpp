#include "ConsoleView.h"

namespace quelp::cli {

void ConsoleView::Line(const std::string& line) {
    // Messages that cannot be shown have nowhere else to go.
    static_cast<void>(err_.Write(line + "\n"));
}

void ConsoleView::Info(const std::string& line) {
    if (showStatus_) Line(line);
}

void ConsoleView::Error(const std::string& line) {
    // Appended piece by piece: GCC 12 at -O2 and above sees a bogus overlap
    // (-Wrestrict) in `"literal" + std::string`.
    std::string text = "quelp-cli: ";
    if (!context_.empty()) {
        text += context_;
        text += ": ";
    }
    text += line;
    Line(text);
}

void ConsoleView::SetStatusText(int panel, std::string_view text) {
    if (panel < 0 || panel >= kPanels || panels_[static_cast<size_t>(panel)] == text) return;
    panels_[static_cast<size_t>(panel)] = std::string(text);
    if (!showStatus_) return;
    std::string line;
    for (const auto& p : panels_) {
        if (p.empty()) continue;
        if (!line.empty()) line += " | ";
        line += p;
    }
    Line("[" + line + "]");
}

void ConsoleView::ShowMessage(std::string_view text, std::string_view caption) {
    std::string line = "quelp-cli: ";
    if (!context_.empty()) line += context_ + ": ";
    line += text;
    const bool error = caption == "Error" || caption == "File Error";
    // "Error" and "File Error" say nothing a console reader needs; other
    // captions ("File Closed") tell what the message is about. An error about
    // a file says what is wrong with it.
    if (!error) {
        line += " (";
        line += caption;
        line += ')';
    } else if (fileUse_) {
        const std::string reason = DescribeFileProblem(context_, *fileUse_, recording_);
        if (!reason.empty()) line += " (" + reason + ")";
    }
    Line(line);
}

}  // namespace quelp::cli
