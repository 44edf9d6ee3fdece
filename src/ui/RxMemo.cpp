#include "ui/RxMemo.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>

#include "ui/FontGroup.h"
#include "ui/WinColor.h"

namespace quelp::ui {

RxMemo::RxMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The word-catching menu is opened by the program, never by itself.
    setContextMenuPolicy(Qt::NoContextMenu);
    setUndoRedoEnabled(false);
    // The designed font until the settings name one.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    font.setBold(true);
    setFont(font);
}

void RxMemo::ApplyFont(const FontSettings& settings) {
    setFont(FontOf(settings));

    QPalette colours = palette();
    colours.setColor(QPalette::Text, WinColor(settings.Color, palette()));
    colours.setColor(QPalette::Base, WinColor(settings.BkgColor, palette()));
    setPalette(colours);

    // The bytes already shown are shown again through the new page.
    const std::string bytes = WholeText();
    page_ = CodePageOfCharset(settings.Charset);
    if (!bytes.empty()) {
        const int top = TopLine();
        QTextCursor cursor = textCursor();
        const int anchor = cursor.anchor();
        const int position = cursor.position();
        SetWholeText(bytes);
        cursor = textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        SetCursorKeepingView(cursor);
        SetTopLine(top);
    }
}

int RxMemo::LineCount() {
    // The scroll bar's range is the display lines below the first screenful.
    return verticalScrollBar()->maximum() + VisibleLines();
}

int RxMemo::TopLine() {
    return verticalScrollBar()->value();
}

int RxMemo::VisibleLines() {
    const int lineHeight = QFontMetrics(font()).lineSpacing();
    return lineHeight > 0 ? viewport()->height() / lineHeight : 0;
}

int RxMemo::SelectionStart() {
    return textCursor().selectionStart();
}

int RxMemo::SelectionLength() {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

int RxMemo::CharacterCount() {
    return document()->characterCount() - 1;
}

void RxMemo::SetSelection(int start, int length) {
    QTextCursor cursor(document());
    const int last = CharacterCount();
    cursor.setPosition(std::clamp(start, 0, last));
    cursor.setPosition(std::clamp(start + length, 0, last), QTextCursor::KeepAnchor);
    SetCursorKeepingView(cursor);
}

void RxMemo::SuspendRepaint() {
    if (suspended_++ == 0) viewport()->setUpdatesEnabled(false);
}

void RxMemo::ResumeRepaint() {
    if (suspended_ > 0 && --suspended_ == 0) viewport()->setUpdatesEnabled(true);
}

void RxMemo::AppendAtEnd(std::string_view text) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(Decode(text));
    SetCursorKeepingView(cursor);
}

void RxMemo::SetTopLine(int line) {
    verticalScrollBar()->setValue(line);
}

void RxMemo::ScrollCaretIntoView() {
    ensureCursorVisible();
    // A caret at the end shows the end: the last line whole, so the next
    // character finds the view at the bottom again.
    if (textCursor().atEnd()) verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

std::string RxMemo::WholeText() {
    const QString text = toPlainText();
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar ch : text) {
        const auto byte = UnicodeToCodePage(page_, ch.unicode());
        bytes += static_cast<char>(byte ? *byte : '?');
    }
    return bytes;
}

void RxMemo::SetWholeText(std::string_view text) {
    setPlainText(Decode(text));
}

QString RxMemo::Decode(std::string_view bytes) const {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        // One line break for CR LF, as the text keeps its lines.
        if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        const char32_t cp = byte == '\r' ? U'\n' : CodePageToUnicode(page_, byte);
        text += QChar(static_cast<char16_t>(cp));
    }
    return text;
}

void RxMemo::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    if (MouseUp) MouseUp(event->globalPosition().toPoint());
}

void RxMemo::SetCursorKeepingView(const QTextCursor& cursor) {
    QScrollBar* bar = verticalScrollBar();
    const int top = bar->value();
    setTextCursor(cursor);
    bar->setValue(top);
}

}  // namespace quelp::ui
