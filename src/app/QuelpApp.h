#pragma once
// The application object: owns the subsystems for the whole run (the
// non-visual half of the main window). The Qt window and the command-line
// decoder both drive this one object; every operation they offer is a member
// function here or on a subsystem it owns.

#include <atomic>
#include <cstdint>

#include "app/Clock.h"
#include "app/FileDialogs.h"
#include "app/MainView.h"
#include "app/QuelpParams.h"
#include "app/StartupHooks.h"
#include "decoder/CharacterTables.h"
#include "decoder/FreqScan.h"
#include "decoder/MainDecoder.h"
#include "dsp/DspSound.h"
#include "dsp/Fft.h"
#include "dsp/FilterMenus.h"
#include "dsp/ReceiveChain.h"
#include "dsp/SineTable.h"
#include "dsp/SpectrumArrays.h"
#include "dsp/Threshold.h"
#include "dsp/Tuning.h"
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
    static constexpr int kBlockSize = 2048;

    explicit QuelpApp(QuelpPorts ports);
    QuelpApp(const QuelpApp&) = delete;
    QuelpApp& operator=(const QuelpApp&) = delete;

    Quelp_Params& Params() { return params_; }
    const Quelp_Params& Params() const { return params_; }

    CharacterTables& Tables() { return tables_; }
    MainDecoder& Decoder() { return decoder_; }
    TextCapture& Capture() { return capture_; }
    ReceiveTextOutput& RxOutput() { return rxOutput_; }
    ReceiveChain& Chain() { return chain_; }
    FilterMenus& Filters() { return filterMenus_; }
    DspSound& SoundFilterChain() { return dspSound_; }
    SpectrumArrays& Spectrum() { return spectrum_; }
    const SpectrumArrays& Spectrum() const { return spectrum_; }
    Threshold& Detector() { return threshold_; }
    Tuning& Tune() { return tuning_; }
    const SineTable& Sine() const { return sine_; }

    // One block of 2048 samples, live (repaint 0) or from a file (repaint 1):
    // spectrum, automatic tuning, squelch, then every sample through the
    // receive chain, the threshold and the decoder.
    void ProcessBlock(const std::int16_t* block, int repaint);

    // Go-to-max from the button (and from the registered message).
    void GoToMaxButtonClick() { tuning_.GoToMax(decoder_.PauseDots()); }

    // --- decoding a WAV file (QuelpApp_FileDecode.cpp) ----------------------

    // --- start-up, shut-down and the settings file (QuelpApp_Startup.cpp) ---
    // Steps of start-up and shut-down that other subsystems fill.
    StartupHooks Startup;

    // --- wave capture, audio history, replay and save (QuelpApp_History.cpp)

    // --- multi-channel decoder (QuelpApp_MultiChannel.cpp) ------------------
    TFreqScan& FreqScan() { return freqScan_; }
    const TFreqScan& FreqScan() const { return freqScan_; }

    // What the multi-channel window does on the screen; empty hooks are a
    // front end without that window (the command-line decoder).
    struct ScanFormHooks {
        // First switch-on: create the window and apply its stored geometry
        // and font.
        std::function<void()> create;
        std::function<void()> show;
        std::function<void()> hide;
        // Main window stay-on-top (true) or normal (false) style.
        std::function<void(bool stayOnTop)> setMainStayOnTop;
        // The always-on-top setting of the main window.
        std::function<bool()> alwaysOnTop;
    };
    ScanFormHooks ScanForm;
    // Whether the window was created in this run (its settings are saved only
    // then).
    bool ScanFormCreated() const { return scanFormCreated_; }

    // Menu "Multi-Channel Decoder": decoder and window on or off.
    void MultiChannelDecoder1Click();
    // The window's close box: the window stays; the decoder goes off. Returns
    // whether the window may close (never).
    bool ScanFormCloseQuery();
    // The transmit mark's row to the middle of the grid (window shown or
    // resized, transmit frequency set by mouse).
    void CentreScanGrid();
    // Grid rows for a console, one line per non-empty row.
    std::string MultiChannelText() const;

    // --- sound input and output (QuelpApp_Sound.cpp) -------------------------

    // Captured blocks waiting to be processed; the block processor skips
    // drawing while 3 or more wait. The sound input keeps it.
    std::atomic<int>* PendingBuffers = nullptr;

    // Count of input buffers during which the displays are not repainted;
    // counted down by the sound driver's thread.
    std::atomic<int> DisplayHoldOff{0};
    // Closing has begun (read by the sound driver's thread).
    std::atomic<bool> ShuttingDown{false};
    // A WAV file is being decoded: live blocks bypass the block processor.
    std::atomic<bool> FileDecoding{false};
    // The multi-channel decoder runs.
    bool MultiChannelOn = false;

  private:
    // The sample that the sound output plays (raw or filtered); nothing while
    // sound is off.
    void FeedSoundOutput(std::int16_t /*sample*/) {}

    QuelpPorts ports_;
    Quelp_Params params_;
    CharacterTables tables_;
    MainDecoder decoder_;
    TextCapture capture_;
    ReceiveTextOutput rxOutput_;
    SineTable sine_;
    ReceiveChain chain_;
    FilterMenus filterMenus_;
    DspSound dspSound_;
    SpectrumArrays spectrum_;
    Fft fft_;
    Threshold threshold_;
    Tuning tuning_;

    // --- decoding a WAV file ---------------------------------------------------

    // --- start-up, shut-down and the settings file -----------------------------

    // --- wave capture, audio history, replay and save ------------------------

    // --- multi-channel decoder -------------------------------------------------
    void InitMultiChannel();
    TFreqScan freqScan_{sine_, params_, tables_};
    bool scanFormCreated_ = false;

    // --- sound input and output -------------------------------------------------
};

}  // namespace quelp
