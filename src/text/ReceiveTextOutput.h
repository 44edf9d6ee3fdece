#pragma once
// The one road of decoded text: every character and word space from the main
// decoder goes into the receive text window without disturbing the operator's
// view or selection, to the exchange library and to the capture file.

#include <string_view>

#include "ports/ExchangeLibrary.h"
#include "ports/ReceiveText.h"
#include "text/TextCapture.h"

namespace quelp {

class ReceiveTextOutput {
  public:
    // `exchange` may be null: the library is not available.
    ReceiveTextOutput(ReceiveText& rxMemo, TextCapture& capture, ExchangeLibrary* exchange);

    // The printed text of one decoded character, or of a word space
    // (`wordSpace`); `toExchange`: the library's channel is in use.
    void EmitCharacter(std::string_view text, bool wordSpace, bool toExchange);

  private:
    ReceiveText& rxMemo_;
    TextCapture& capture_;
    ExchangeLibrary* exchange_;
};

}  // namespace quelp
