#pragma once
// The receive text window: a read-only text view with word wrap and a
// vertical scroll bar, shown in the font's character set. It holds the bytes
// the core appends, one character per byte, and gives them back unchanged.
// Lines are display lines (wrapped), counted as its scroll bar counts them.
// It never scrolls by itself: only ScrollCaretIntoView and SetTopLine move
// the view, so appending keeps a view the operator scrolled up.

#include <QPlainTextEdit>
#include <functional>

#include "app/MainWindowState.h"
#include "ports/ReceiveText.h"
#include "text/CodePage.h"

namespace quelp::ui {

class RxMemo final : public QPlainTextEdit, public ReceiveText {
  public:
    explicit RxMemo(QWidget* parent = nullptr);

    // The stored font group: face, character set (and with it the code page),
    // colour, height, size, style and the background colour.
    void ApplyFont(const FontSettings& font);
    CodePage Page() const { return page_; }
    // A mouse button released over the text (after the selection settled),
    // with the mouse's screen position: word catching.
    std::function<void(QPoint global)> MouseUp;

    // ReceiveText
    int LineCount() override;
    int TopLine() override;
    int VisibleLines() override;
    int SelectionStart() override;
    int SelectionLength() override;
    int CharacterCount() override;
    void SetSelection(int start, int length) override;
    void SuspendRepaint() override;
    void ResumeRepaint() override;
    void AppendAtEnd(std::string_view text) override;
    void SetTopLine(int line) override;
    void ScrollCaretIntoView() override;
    std::string WholeText() override;
    void SetWholeText(std::string_view text) override;

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QString Decode(std::string_view bytes) const;
    // Moves the caret without letting the view follow it.
    void SetCursorKeepingView(const QTextCursor& cursor);

    CodePage page_ = CodePage::Cp1251;
    int suspended_ = 0;
};

}  // namespace quelp::ui
