#include "support/FakeReceiveText.h"

#include <algorithm>

namespace quelp::test {

int FakeReceiveText::LineOf(int pos) const {
    int line = 0;
    int column = 0;
    const int end = std::min<int>(pos, static_cast<int>(text.size()));
    for (int i = 0; i < end; ++i) {
        if (text[static_cast<std::size_t>(i)] == '\n') {
            ++line;
            column = 0;
        } else if (++column == columns) {
            ++line;
            column = 0;
        }
    }
    return line;
}

int FakeReceiveText::LineCount() {
    return LineOf(static_cast<int>(text.size())) + 1;
}

void FakeReceiveText::SetSelection(int start, int length) {
    selStart = start;
    selLength = length;
    calls.push_back("select " + std::to_string(start) + " " + std::to_string(length));
}

void FakeReceiveText::SuspendRepaint() {
    ++suspendDepth;
    calls.push_back("suspend");
}

void FakeReceiveText::ResumeRepaint() {
    if (--suspendDepth == 0) ++repaints;
    calls.push_back("resume");
}

void FakeReceiveText::AppendAtEnd(std::string_view bytes) {
    text.append(bytes);
    selStart = static_cast<int>(text.size());
    selLength = 0;
    calls.push_back("append " + std::string(bytes));
}

void FakeReceiveText::SetTopLine(int line) {
    top = std::clamp(line, 0, std::max(0, LineCount() - 1));
    calls.push_back("top " + std::to_string(top));
}

void FakeReceiveText::ScrollCaretIntoView() {
    const int caretLine = LineOf(selStart + selLength);
    if (caretLine < top) top = caretLine;
    if (caretLine > top + visibleLines - 1) top = caretLine - visibleLines + 1;
    calls.push_back("scroll");
}

void FakeReceiveText::SetWholeText(std::string_view bytes) {
    text = std::string(bytes);
    top = 0;
    selStart = selLength = 0;
    calls.push_back("set");
}

}  // namespace quelp::test
