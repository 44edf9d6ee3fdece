#pragma once
// The application object: owns the subsystems for the whole run (the
// non-visual half of the main window). The Qt window and the command-line
// decoder both drive this one object; every operation they offer is a member
// function here or on a subsystem it owns.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "app/MainWindowState.h"
#include "app/QuelpParams.h"
#include "app/StartupHooks.h"
#include "app/StartupOptions.h"
#include "audio/HistoryFiles.h"
#include "audio/SoundIn.h"
#include "audio/SoundOut.h"
#include "audio/SoundOutput.h"
#include "audio/WaveBuff.h"
#include "audio/WaveRead.h"
#include "audio/WaveWrite.h"
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
#include "ports/CaptureSink.h"
#include "ports/Clock.h"
#include "ports/EventLoop.h"
#include "ports/ExchangeLibrary.h"
#include "ports/FileDialogs.h"
#include "ports/MainView.h"
#include "ports/ReceiveText.h"
#include "ports/SoundDriver.h"
#include "ports/UiItem.h"
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

    // Results of DecodeWaveFile.
    enum class FileDecodeResult {
        Decoded,            // the whole file (or up to shut-down) went through
        Busy,               // another decode was running: nothing done
        OpenError,          // "File Open Error!"
        UnsupportedFormat,  // "Unsupported audio format!"
        UnsupportedRate,    // "Unsupported sample rate!"
    };

    // Decodes a WAV file block by block through ProcessBlock, paced at
    // 150 ms per block (about 1.24 times real time) or, with the sound output
    // on, by the output device. Serves the window's messages meanwhile, so it
    // may be asked again from inside: that request has no effect. Returns
    // when the file is done or the program starts to close.
    FileDecodeResult DecodeWaveFile(const std::string& fileName);
    // File -> "Decode From File".
    void DecodeFromFile1Click();

    // A decode is running (guards re-entry; replay and save-and-decode read it).
    bool DecodeBusy = false;
    // Off: files are decoded as fast as the processor allows (the same blocks
    // in the same order, no sleeping); the command-line decoder turns it off.
    bool PaceFileDecoding = true;
    // Samples (at 11025 Hz) that carried file data in the last decode.
    std::uint64_t FileDecodeSamples = 0;

    // Hooks the sound subsystem fills (empty: no sound devices):
    // true while the sound output is on and has no free buffer, so the
    // decode waits for the device instead of dropping output samples;
    std::function<bool()> OutputBufferWanted;
    // runs InputBufferDone when filled live input buffers are waiting;
    std::function<void()> ServeInputBuffers;
    // after a decode: posts one WM_BUFFERDONE per input buffer still pending,
    // so live processing resumes at once.
    std::function<void()> RepostInputBuffers;
    // After each block of a file went through ProcessBlock (0 = the file's
    // first block); the command-line decoder tunes here.
    std::function<void(std::uint64_t block)> FileBlockProcessed;

    // --- start-up, shut-down and the settings file (QuelpApp_Startup.cpp) ---
    // Steps of start-up and shut-down that other subsystems fill.
    StartupHooks Startup;

    // The start-up after the window first shows (runs once; later calls, and
    // any call after Shutdown, return at once): command line and default
    // directory, "OnTop", the default main filter, the settings, the selected
    // filters, the exchange library, the start-up capture file, history,
    // sound devices, rig and timers. `args` is the window's command line, the
    // program's path first. The settings replace the whole receiver state, so
    // a front end applies its own overrides after this call.
    void DeferredInit(const std::vector<std::string>& args);
    void DeferredInit(const StartupOptions& options);
    bool DeferredInitDone() const { return deferredInitDone_; }

    // Closing (runs once; later calls return at once): ShuttingDown, sound
    // output closed, sound input stopped, text capture closed, timers
    // stopped. The settings are not written.
    void Shutdown();

    // Reads the file at Params().SettingsPath (missing: every built-in value
    // stays) and applies it to the live state. Part of DeferredInit.
    void LoadSettings();
    // Writes the live state to Params().SettingsPath (SaveSettings) or to
    // `path`, in one rewrite that keeps other programs' keys. Clears
    // DisplayHoldOff first. On failure shows "Unable to write to <path>"
    // (caption "Error") unless `showFailure` is false (the automation server
    // reports the failure itself). Returns false when nothing was written: a
    // failure, or a call while another save is still running.
    bool SaveSettings(bool showFailure = true);
    bool SaveSettingsTo(const std::string& path, bool showFailure = true);
    // The live state as the settings file stores it.
    SettingsValues CollectSettings() const;

    // How settings saves reach the disk: the front end sets `sync` to
    // SyncFileToDisk (quelp_posix); the core alone does not flush.
    ProfileSaveOptions SettingsSaveOptions;

    // The main window's own state (zoom, scales, colours, geometry, fonts,
    // the stored groups of the other windows).
    MainWindowState& Window() { return window_; }
    const MainWindowState& Window() const { return window_; }
    // Zoom n of 1, 2, 3, 4, 5, 10 or 20 (anything else: 1): checks its item
    // of the Zoom menu and marks the scale for redrawing.
    void SetZoom(int n);

    // --- wave capture, audio history, replay and save (QuelpApp_History.cpp)
    // The wave capture file (menu and Alt+V). Opening asks for a name with the
    // save dialog; closing reports how the file ended.
    void OpenWaveCaptureFile1Click();
    void CloseWaveCaptureFile1Click();
    // Opens the capture file without a dialog (command line); false: failed.
    bool OpenWaveCaptureFileByName(const std::string& path);
    bool WaveCaptureOpen() const { return WaveCapture; }
    // Status panel 6 after the wave capture changed.
    void ShowCaptureState();

    // A live input block (after channel extraction): into the history, and
    // into the capture file while it is open. The write returns false when it
    // failed; the caller then reports it and closes the capture.
    void StoreHistoryBlock(std::span<const std::int16_t> block);
    bool WriteWaveCaptureBlock(std::span<const std::int16_t> block);

    // "Replay" decodes the last 10 s again; "Save" files the last 60 s.
    void ReplayButtonClick();
    void SaveButtonClick();
    void ReplayHistory(std::int32_t seconds);
    // Returns the saved file's path; empty when nothing was saved.
    std::string SaveHistory(std::int32_t seconds, bool decode);

    // Requests of other programs through the registered message, by its code:
    // 113 save, 114 replay, 115 save and decode. Zero or fewer seconds are
    // ignored; more than the history holds are cut to it.
    void HistorySaveRequest(std::int64_t seconds);
    void HistoryReplayRequest(std::int64_t seconds);
    void HistorySaveAndDecodeRequest(std::int64_t seconds);

    // Saves the last `seconds` under `dir` (its "Waves" folder) and returns
    // the file's path; for the command line at the end of a live run.
    std::string SaveHistoryUnder(const std::filesystem::path& dir, std::int32_t seconds);

    // Folder that holds the temporary files and "Waves" (empty: the working
    // directory).
    void SetHistoryFolder(std::filesystem::path dir) { historyFiles_.SetBaseDir(std::move(dir)); }
    // The file decode that replay and save-and-decode hand their file to, and
    // whether a decode is running now.
    void SetHistoryDecode(std::function<void(const std::string&)> decode,
                          std::function<bool()> busy);

    TWaveBuff& History() { return history_; }

    // The wave capture file is open (live blocks go into it).
    bool WaveCapture = false;

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

    // Joins the subsystems' hooks to each other (history and capture to the
    // sound input, the sound output to the file decoder).
    void ConnectSubsystems();

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
    // Waits out one block's pace: at least one pass, then until the clock
    // reaches `deadline`; then, with the sound output on, until it has a free
    // buffer.
    void PaceFileBlock(std::int64_t deadline);
    // One pass of the pacing loop: live input, window messages, 20 ms.
    void FileDecodeWaitPass(bool sleep);

    TWaveRead waveRead_;

    // --- start-up, shut-down and the settings file -----------------------------
    void ApplySettings(const SettingsValues& v);

    MainWindowState window_;
    // "/C" of the command line: opened as the text capture file at start-up.
    std::string startupCaptureFile_;
    // The sound-output code while no sound output keeps it.
    int soundFilterCode_ = 0;
    bool deferredInitDone_ = false;
    bool shutdownDone_ = false;
    bool savingSettings_ = false;

    // --- wave capture, audio history, replay and save ------------------------
    void InitHistory();
    bool HistoryDecodeBusy() const { return historyBusy_ && historyBusy_(); }

    TWaveBuff history_;
    HistoryFiles historyFiles_{history_, ports_.view, ports_.clock};
    std::function<bool()> historyBusy_;
    // Destroyed with the application, which closes an open capture file with
    // its header brought up to date.
    TWaveWrite waveCapture_;
    bool waveOpening_ = false;
    bool waveClosing_ = false;

    // --- multi-channel decoder -------------------------------------------------
    void InitMultiChannel();
    TFreqScan freqScan_{sine_, params_, tables_};
    bool scanFormCreated_ = false;

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
