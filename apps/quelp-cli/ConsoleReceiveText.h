#pragma once
// The receive text of the headless decoder: a text control whose view is
// always at the bottom and whose caret is always at the end, so every
// character the core appends goes straight to the console sink (standard
// output). The text is kept as well, for the operations that read it back.

#include <functional>
#include <string>
#include <string_view>

#include "ConsoleTextSink.h"
#include "ports/ReceiveText.h"

namespace quelp::cli {

class ConsoleReceiveText final : public ReceiveText {
  public:
    explicit ConsoleReceiveText(ConsoleTextSink& sink) : sink_(sink) {}

    // One display line that is always visible: the core sees the view at the
    // bottom and follows the new text without moving anything.
    int LineCount() override { return 1; }
    int TopLine() override { return 0; }
    int VisibleLines() override { return 1; }
    int SelectionStart() override { return CharacterCount(); }
    int SelectionLength() override { return 0; }
    int CharacterCount() override;
    // A console has no selection; the caret stays at the end.
    void SetSelection(int, int) override {}

    void SuspendRepaint() override {}
    void ResumeRepaint() override {}

    void AppendAtEnd(std::string_view text) override;
    void SetTopLine(int) override {}
    void ScrollCaretIntoView() override {}

    std::string WholeText() override { return text_; }
    // What was printed stays printed; only the kept copy is replaced.
    void SetWholeText(std::string_view text) override { text_.assign(text); }

    // Ends the printed text with a line break unless it ends with one (or is
    // empty), so the text of the next file starts on a line of its own.
    void EndLine();
    // The decoded text goes to `consumer` (the JSON lines) instead of the
    // sink.
    void Divert(std::function<void(std::string_view)> consumer) { divert_ = std::move(consumer); }

  private:
    ConsoleTextSink& sink_;
    std::function<void(std::string_view)> divert_;
    std::string text_;
    bool lineOpen_ = false;
};

}  // namespace quelp::cli
