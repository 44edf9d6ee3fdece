#pragma once
// The application object: owns the subsystems for the whole run (the
// non-visual half of the main window). The Qt window and the command-line
// decoder both drive this one object; every operation they offer is a member
// function here or on a subsystem it owns.

#include "app/Clock.h"
#include "app/FileDialogs.h"
#include "app/MainView.h"
#include "app/QuelpParams.h"
#include "decoder/CharacterTables.h"
#include "decoder/MainDecoder.h"
#include "integration/ExchangeLibrary.h"
#include "text/CaptureSink.h"
#include "text/ReceiveText.h"
#include "text/ReceiveTextOutput.h"
#include "text/TextCapture.h"

namespace quelp {

// The outside world as the core sees it.
struct QuelpPorts {
    MainView& view;
    Clock& clock;
    FileDialogs& dialogs;
    ReceiveText& rxMemo;
    // The text capture file; null: every open fails with the usual message.
    CaptureSink* captureSink = nullptr;
    // The exchange library; null: not available, characters are not passed.
    ExchangeLibrary* exchange = nullptr;
};

class QuelpApp {
  public:
    explicit QuelpApp(QuelpPorts ports);
    QuelpApp(const QuelpApp&) = delete;
    QuelpApp& operator=(const QuelpApp&) = delete;

    Quelp_Params& Params() { return params_; }
    const Quelp_Params& Params() const { return params_; }

    CharacterTables& Tables() { return tables_; }
    MainDecoder& Decoder() { return decoder_; }
    TextCapture& Capture() { return capture_; }
    ReceiveTextOutput& RxOutput() { return rxOutput_; }

    // Count of input buffers during which the displays are not repainted.
    int DisplayHoldOff = 0;

  private:
    QuelpPorts ports_;
    Quelp_Params params_;
    CharacterTables tables_;
    MainDecoder decoder_;
    TextCapture capture_;
    ReceiveTextOutput rxOutput_;
};

}  // namespace quelp
