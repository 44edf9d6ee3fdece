#pragma once
// Port: the receive text control (a read-only multi-line text view with word
// wrap). Text is counted in bytes as the core stores them; the view converts
// them for its font's character set. Lines are the view's display lines.

#include <string>
#include <string_view>

namespace quelp {

class ReceiveText {
  public:
    virtual ~ReceiveText() = default;

    virtual int LineCount() = 0;
    // First visible line (0-based).
    virtual int TopLine() = 0;
    // Whole lines that fit: control height / line height.
    virtual int VisibleLines() = 0;
    virtual int SelectionStart() = 0;
    virtual int SelectionLength() = 0;
    virtual int CharacterCount() = 0;
    virtual void SetSelection(int start, int length) = 0;

    virtual void SuspendRepaint() = 0;
    virtual void ResumeRepaint() = 0;

    // Puts the caret at the end with an empty selection and inserts `text`
    // there.
    virtual void AppendAtEnd(std::string_view text) = 0;
    virtual void SetTopLine(int line) = 0;
    virtual void ScrollCaretIntoView() = 0;

    virtual std::string WholeText() = 0;
    // Replaces the whole text (empty: clears it).
    virtual void SetWholeText(std::string_view text) = 0;
};

}  // namespace quelp
