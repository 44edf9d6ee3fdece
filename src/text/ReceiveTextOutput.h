#pragma once
// The one road of decoded text: every character and word space from the main
// decoder goes into the receive text window without disturbing the operator's
// view or selection, to the exchange library and to the capture file.

#include <cstdint>

#include "app/QuelpParams.h"
#include "decoder/CharacterTables.h"
#include "ports/ExchangeLibrary.h"
#include "ports/ReceiveText.h"
#include "text/TextCapture.h"

namespace quelp {

class ReceiveTextOutput {
  public:
    // `exchange` may be null: the library is not available.
    ReceiveTextOutput(Quelp_Params& params, CharacterTables& tables, ReceiveText& rxMemo,
                      TextCapture& capture, ExchangeLibrary* exchange);

    // `code`: a tree index (>= 2) or 0 for a word space.
    void EmitCharacter(std::uint32_t code);

  private:
    Quelp_Params& params_;
    CharacterTables& tables_;
    ReceiveText& rxMemo_;
    TextCapture& capture_;
    ExchangeLibrary* exchange_;
};

}  // namespace quelp
