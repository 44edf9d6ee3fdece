#include "text/ReceiveTextOutput.h"

namespace quelp {

ReceiveTextOutput::ReceiveTextOutput(ReceiveText& rxMemo, TextCapture& capture,
                                     ExchangeLibrary* exchange)
    : rxMemo_(rxMemo), capture_(capture), exchange_(exchange) {}

void ReceiveTextOutput::EmitCharacter(std::string_view text, bool wordSpace, bool toExchange) {
    // The view follows new text only when it is at the bottom already, so
    // the operator can read further up while text keeps arriving.
    const int lines = rxMemo_.LineCount();
    const int top = rxMemo_.TopLine();
    const int visible = rxMemo_.VisibleLines();
    const bool atBottom = top + visible - 1 >= lines - 2;

    const int selStart = rxMemo_.SelectionStart();
    const int selLength = rxMemo_.SelectionLength();
    const bool ownSelection = selLength != 0 || selStart < rxMemo_.CharacterCount();

    rxMemo_.SuspendRepaint();
    rxMemo_.AppendAtEnd(text);
    if (!atBottom) rxMemo_.SetTopLine(top);
    rxMemo_.ResumeRepaint();
    if (atBottom) rxMemo_.ScrollCaretIntoView();
    if (ownSelection) rxMemo_.SetSelection(selStart, selLength);

    if (toExchange && exchange_ != nullptr) {
        for (const char c : text) exchange_->PutSymToRxBuffer(static_cast<std::uint8_t>(c));
    }
    capture_.Write(text, wordSpace);
}

}  // namespace quelp
