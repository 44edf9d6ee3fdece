#pragma once
// The application object: owns the subsystems for the whole run (the
// non-visual half of the main window). The Qt window and the command-line
// decoder both drive this one object; every operation they offer is a member
// function here or on a subsystem it owns.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "app/Clock.h"
#include "app/EventLoop.h"
#include "app/FileDialogs.h"
#include "app/MainView.h"
#include "app/QuelpParams.h"
#include "app/StartupHooks.h"
#include "app/UiItem.h"
#include "audio/SoundDriver.h"
#include "audio/SoundIn.h"
#include "audio/SoundOut.h"
#include "audio/SoundOutput.h"
#include "decoder/CharacterTables.h"
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
    // The sound card (wave-in and wave-out drivers) and the main thread's
    // event loop that carries WM_BUFFERDONE; null: no live input (or no
    // output), the sound steps do nothing and a file decode never waits for
    // the output.
    SoundDriver* soundInDriver = nullptr;
    SoundDriver* soundOutDriver = nullptr;
    EventLoop* events = nullptr;
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

    // --- sound input and output (QuelpApp_Sound.cpp) -------------------------
    // What a live block reaches besides the block processor: the audio
    // history and the wave capture file. Unset steps do nothing.
    struct SoundHistoryHooks {
        std::function<void(std::span<const std::int16_t> block)> storeHistory;
        std::function<bool()> waveCaptureOpen;
        // False when the write failed.
        std::function<bool(std::span<const std::int16_t> block)> writeWaveCapture;
        // The close-wave-capture command, after a failed write.
        std::function<void()> closeWaveCapture;
    };
    SoundHistoryHooks SoundHistory;
    // Ends the application when a buffer cannot be given back to the input
    // driver; set by the front end (the window closes, the CLI stops).
    std::function<void()> EndApplication;

    // Null when the ports brought no input (output) driver.
    SoundIn* SoundInput() { return soundIn_ ? &*soundIn_ : nullptr; }
    SoundOut* SoundOutDevice() { return soundOut_ ? &*soundOut_ : nullptr; }
    SoundOutput* SoundOutputSelection() { return soundOutput_ ? &*soundOutput_ : nullptr; }

    // Stops the input and opens `device` (outside 0..9: the default device).
    void RestartSoundInput(int device);
    // Stops and closes the input; buffers not yet processed are discarded.
    void StopSoundInput();
    // Closes the output device and selects the current code on `device`.
    void RestartSoundOutput(int device);
    // Closes the output device (shut-down); the selection stays.
    void CloseSoundOutput();
    // The WM_BUFFERDONE handler of the main thread's event loop.
    void InputBufferDone();
    // Dispatches one message of the main thread's event loop.
    void HandleMessage(std::uint32_t message);

    // For the file decode's pacing: the output is on and all its buffers
    // are with the driver (wait before the next block, so no sample is lost).
    bool SoundOutputBehind() const;
    // Processes the live buffers already filled (their blocks go to the
    // history and the capture file, not to the block processor).
    void ServePendingInputBuffers();
    // After a file decode: one WM_BUFFERDONE per buffer still pending, so
    // live processing resumes at once.
    void RepostPendingInputBuffers();

    // The "Sound Output" menu: the fifteen entries by item (false when
    // `item` is none of them), the submenu itself, and Ctrl+F.
    bool SoundOutputMenuClick(UiItem item);
    void SoundOutputFilter1Click();
    void SoundOff1Click() { SoundOutputMenuClick(UiItem::SoundOff1); }
    void SoundWithoutFiltering1Click() { SoundOutputMenuClick(UiItem::SoundWithoutFiltering1); }
    void N10Hz1Click() { SoundOutputMenuClick(UiItem::N10Hz1); }
    void N20Hz1Click() { SoundOutputMenuClick(UiItem::N20Hz1); }
    void N30Hz1Click() { SoundOutputMenuClick(UiItem::N30Hz1); }
    void N70Hz1Click() { SoundOutputMenuClick(UiItem::N70Hz1); }
    void N140Hz1Click() { SoundOutputMenuClick(UiItem::N140Hz1); }
    void N280Hz1Click() { SoundOutputMenuClick(UiItem::N280Hz1); }
    void N600Hz1Click() { SoundOutputMenuClick(UiItem::N600Hz1); }
    void N1000Hz1Click() { SoundOutputMenuClick(UiItem::N1000Hz1); }
    void N2000Hz1Click() { SoundOutputMenuClick(UiItem::N2000Hz1); }
    void N3000Hz1Click() { SoundOutputMenuClick(UiItem::N3000Hz1); }
    void N100Hz1Click() { SoundOutputMenuClick(UiItem::N100Hz1); }
    void N250Hz1Click() { SoundOutputMenuClick(UiItem::N250Hz1); }
    void N1000Hz2Click() { SoundOutputMenuClick(UiItem::N1000Hz2); }
    void ToggleSoundBypass();

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
    void FeedSoundOutput(std::int16_t sample) {
        if (soundFeed_ != nullptr && soundFeed_->SoundFilter != SoundOutput::kOff) {
            soundFeed_->FeedSoundOutput(sample);
        }
    }

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

    // --- sound input and output -------------------------------------------------
    void InitSound();
    // Built only when the ports bring the drivers; they use the members above.
    std::optional<SoundIn> soundIn_;
    std::optional<SoundOut> soundOut_;
    std::optional<SoundOutput> soundOutput_;
    // The selection, or null without an output driver: without sound the
    // per-sample feed costs one test.
    SoundOutput* soundFeed_ = nullptr;
};

}  // namespace quelp
