#include "ConsoleView.h"

namespace quelp::cli {

void ConsoleView::Info(const std::string& line) {
    if (!showStatus_) return;
    std::fprintf(err_, "%s\n", line.c_str());
    std::fflush(err_);
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
    std::fprintf(err_, "[%s]\n", line.c_str());
    std::fflush(err_);
}

void ConsoleView::ShowMessage(std::string_view text, std::string_view caption) {
    std::string line = "quelp-cli: ";
    if (!context_.empty()) line += context_ + ": ";
    line += text;
    // "Error" and "File Error" say nothing a console reader needs; other
    // captions ("File Closed") tell what the message is about.
    if (caption != "Error" && caption != "File Error") line += " (" + std::string(caption) + ")";
    std::fprintf(err_, "%s\n", line.c_str());
    std::fflush(err_);
}

}  // namespace quelp::cli
