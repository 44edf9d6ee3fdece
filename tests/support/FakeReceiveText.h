#pragma once
// An in-memory receive text with a fake viewport: lines break at "\n" and
// wrap every `columns` bytes; the test sets the height in lines.

#include <string>
#include <vector>

#include "ports/ReceiveText.h"

namespace quelp::test {

class FakeReceiveText : public ReceiveText {
  public:
    int LineCount() override;
    int TopLine() override { return top; }
    int VisibleLines() override { return visibleLines; }
    int SelectionStart() override { return selStart; }
    int SelectionLength() override { return selLength; }
    int CharacterCount() override { return static_cast<int>(text.size()); }
    void SetSelection(int start, int length) override;
    void SuspendRepaint() override;
    void ResumeRepaint() override;
    void AppendAtEnd(std::string_view bytes) override;
    void SetTopLine(int line) override;
    void ScrollCaretIntoView() override;
    std::string WholeText() override { return text; }
    void SetWholeText(std::string_view bytes) override;

    // Line of byte position `pos`.
    int LineOf(int pos) const;

    std::string text;
    int top = 0;
    int visibleLines = 10;
    int columns = 80;
    int selStart = 0;
    int selLength = 0;
    int suspendDepth = 0;
    int repaints = 0;  // resumes that repainted
    std::vector<std::string> calls;
};

}  // namespace quelp::test
