#pragma once
// The application object: owns the subsystems for the whole run (the
// non-visual half of the main window) and offers the operations that the
// window's menus, buttons and mouse, and the command-line decoder, call.
// Neither reaches into what it owns: everything they change goes through a
// member function here, and what they read is const.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppHooks.h"
#include "app/DisplayHoldOff.h"
#include "app/MainWindowState.h"
#include "app/QuelpParams.h"
#include "app/ReceiverPresenter.h"
#include "app/SetupDialog.h"
#include "app/StartupOptions.h"
#include "audio/HistoryFiles.h"
#include "audio/SoundIn.h"
#include "audio/SoundOut.h"
#include "audio/SoundOutput.h"
#include "audio/WaveBuff.h"
#include "audio/WaveRead.h"
#include "audio/WaveWrite.h"
#include "display/SpectrumPicture.h"
#include "integration/RigControl.h"
#include "ports/CaptureSink.h"
#include "ports/Clipboard.h"
#include "ports/Clock.h"
#include "ports/DesktopOpener.h"
#include "ports/EventLoop.h"
#include "ports/ExchangeLibrary.h"
#include "ports/FileDialogs.h"
#include "ports/FileSync.h"
#include "ports/MainView.h"
#include "ports/ReceiveText.h"
#include "ports/RigServer.h"
#include "ports/SampleSource.h"
#include "ports/SoundDriver.h"
#include "receiver/Receiver.h"
#include "settings/ProfileFile.h"
#include "text/BufferCommands.h"
#include "text/ReceiveTextOutput.h"
#include "text/TextCapture.h"
#include "text/WordCatch.h"

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
    // Opens files with the desktop's handler (the buffer's copy, the help
    // file); null: neither opens.
    DesktopOpener* desktop = nullptr;
    // The rig-control server; null: rig tuning cannot start.
    RigServer* rigServer = nullptr;
    // The clipboard for transferred words; null: nothing is copied.
    Clipboard* clipboard = nullptr;
};

// What a mouse release over the receive text asks of the window.
struct WordCatchPopup {
    bool popup = false;  // pop PopupMenu1 up at the mouse, Title1 showing `word`
    std::string word;
};

// Results of DecodeWaveFile.
enum class [[nodiscard]] FileDecodeResult{
    Decoded,            // the whole file (or up to shut-down) went through
    Busy,               // another decode was running: nothing done
    OpenError,          // "File Open Error!"
    UnsupportedFormat,  // "Unsupported audio format!"
    UnsupportedRate,    // "Unsupported sample rate!"
};

struct FileDecodeOptions {
    // After the file's first block: go-to-max once, so that a receiver that
    // was told no frequency finds the signal at once.
    bool goToMaxAfterFirstBlock = false;
};

// How closing the wave capture file went.
enum class [[nodiscard]] WaveCloseResult{
    Closed,       // "Wave capture file was closed"
    WriteErrors,  // "There was errors in wave capture file!"
    NothingOpen,
    Busy,  // a close already running (from a nested message loop)
};

// Results of a settings save.
enum class [[nodiscard]] SettingsSaveResult{
    Saved,
    Failed,  // "Unable to write to <path>" (shown unless asked not to)
    Busy,    // another save was still running: nothing written
};

class QuelpApp final : private ReceiverListener,
                       private SoundInClient,
                       private HistoryDecoder,
                       private RigTuneTarget {
  public:
    explicit QuelpApp(QuelpPorts ports);
    QuelpApp(const QuelpApp&) = delete;
    QuelpApp& operator=(const QuelpApp&) = delete;

    // --- what the outside layers add (before DeferredInit) ------------------
    void SetWindowHooks(WindowHooks hooks) { windowHooks_ = std::move(hooks); }
    void SetScanFormHooks(ScanFormHooks hooks) { scanForm_ = std::move(hooks); }
    void SetIntegrationHooks(IntegrationHooks hooks) { integration_ = std::move(hooks); }
    void SetSetupFormHooks(SetupFormHooks hooks) { setupForm_ = std::move(hooks); }
    // How settings saves reach the disk (the posix adapter's SyncFileToDisk);
    // the core alone does not flush. The whole options also carry the INI
    // layer's fault hook, for tests of failing saves.
    void SetSettingsSync(FileSyncFn sync) { settingsSave_.sync = sync; }
    void SetSettingsSaveOptions(ProfileSaveOptions options) { settingsSave_ = std::move(options); }

    // --- reading ---------------------------------------------------------------
    const Receiver& Rx() const { return receiver_; }
    const Quelp_Params& Params() const { return params_; }
    const MainWindowState& Window() const { return window_; }
    int DisplayHoldOff() const { return displayHoldOff_.load(); }
    bool ShuttingDown() const { return shuttingDown_.load(); }
    bool FileDecoding() const { return fileDecoding_.load(); }
    bool DecodeBusy() const { return decodeBusy_; }
    bool DeferredInitDone() const { return deferredInitDone_; }
    bool CaptureOpen() const { return capture_.CaptureOpen(); }
    bool WaveCaptureOpen() const { return waveCapture_; }
    const TWaveBuff& History() const { return history_; }
    // Null when the ports brought no input (output) driver.
    const SoundIn* SoundInput() const { return soundIn_ ? &*soundIn_ : nullptr; }
    const SoundOutput* SoundOutputSelection() const {
        return soundOutput_ ? &*soundOutput_ : nullptr;
    }
    // The sound-output code in force (kept from the settings while there is
    // no output device).
    int SoundOutputCode() const;
    // Samples (at 11025 Hz) that carried file data in the last decode.
    std::uint64_t LastDecodeSamples() const { return fileDecodeSamples_; }
    // The multi-channel grid's rows for a console, one line per non-empty row.
    std::string MultiChannelText() const;

    // --- start-up and shut-down (QuelpApp_Startup.cpp) --------------------------
    // The start-up after the window first shows (runs once; later calls, and
    // any call after Shutdown, return at once): command line and default
    // directory, "OnTop", the default main filter, the settings, the selected
    // filters, the exchange library, the start-up capture file, history,
    // sound devices, rig and timers. `args` is the window's command line, the
    // program's path first. The settings replace the whole receiver state, so
    // a front end applies its own overrides in StartupOptions::BeforeDevices.
    void DeferredInit(const std::vector<std::string>& args);
    void DeferredInit(const StartupOptions& options);
    // Closing (runs once; later calls return at once): ShuttingDown, sound
    // output closed, sound input stopped, text capture closed, timers
    // stopped. The settings are not written. Returns how the text capture
    // file closed (NothingOpen when none was open, Busy on a later call).
    CaptureCloseResult Shutdown();
    // Any thread (a signal watcher): closing begins; the sound input stops
    // queueing buffers and a file decode ends after its block.
    void BeginClosing() { shuttingDown_ = true; }

    // --- the block processor -------------------------------------------------------
    // One block of kBlockSize samples, live (repaint 0) or from a file
    // (repaint 1).
    void ProcessBlock(const std::int16_t* block, int repaint) {
        receiver_.ProcessBlock(block, repaint);
    }

    // --- receiver controls (QuelpApp_Controls.cpp) ---------------------------------
    // The Filters menu: a main filter item or code, a burst filter item or
    // speed (false: the item is none of them, or the speed is below 1).
    bool MainFilterMenuClick(UiItem item);
    void SelectMainFilter(int code);
    bool BurstFilterMenuClick(UiItem item);
    bool SelectBurstFilter(std::int32_t lpm);
    // The threshold: the button (Alt+R), or set from outside (manual level,
    // automatic on or off, the lower limit fixed by the operator).
    void AutoTresholdButtonClick();
    void SetAutoThreshold(bool on);
    void SetDetectorThreshold(double level);
    void SetMinAutoThreshold(double level, bool fixedByOperator);
    void SetSquelch(bool enabled, double level);
    // Mouse on the oscilloscope at pixel row `row` of a box `height` pixels
    // high; pressOrRelease: a button press or release (a drag passes false).
    void OscilloscopeMouse(int row, int height, bool pressOrRelease);
    // Shift-click (or Shift-drag) on the spectrum: the squelch level, while
    // the squelch is enabled or the multi-channel decoder runs.
    bool SpectrumSquelchMouse(int row, int height);
    // Tuning.
    void AfcButtonClick();
    void SetAfc(bool on);
    // The decoder that turns the input into text; the adaptive one with its
    // own tuning and squelch. The menu item's mark follows the choice.
    void SelectDecoder(DecoderChoice choice);
    void AdaptiveDecoder1Click();
    void SetAdaptiveSettings(const AdaptiveSettings& settings) {
        receiver_.SetAdaptiveSettings(settings);
    }
    void AutoGoToMaxButtonClick();
    void SetAutoGoToMax(bool on);
    void GoToMaxButtonClick();
    void ClickTune(int bin);
    void SetReceiveBin(int bin);
    void SetTransmitBin(int bin);
    void WheelTune(int step);
    void SetAfcDeviationHz(int hz);
    void SetAfcLimitHz(int hz);
    // Leaving an AFC edit with the text typed into it: a number within
    // 5..3000 is taken; the edit shows the value in force either way.
    void AfcEditExit(std::string_view text);
    void AfcLimitEditExit(std::string_view text);
    // The speed window.
    void LockSpeed(std::int32_t low, std::int32_t high);
    void SpeedLockButtonMouseDown(bool ctrlHeld);
    void SpeedLockButtonClick();
    // The speed edits' change (and exit) with the text typed: a number
    // becomes the limit (kept within 5..3000), then the window is applied.
    void LowSpeedEditChange(std::string_view text);
    void HighSpeedEditChange(std::string_view text);
    // The character table chosen on the command line; false (nothing
    // changed) when the user table's file does not load.
    bool UseCharset(int charsetValue, const std::string& userCharsetFile);
    // The setup dialog's character table page (OK or Apply): `checked` is
    // the checked button's table, `changed` the page's change flag, `edit`
    // the user table's file. When that file does not load, says "Error with
    // user charset file!", takes English and returns true: the dialog then
    // checks the English button.
    bool ApplyCharsetChoice(int checked, bool changed, const std::string& edit);
    // Zoom n of 1, 2, 3, 4, 5, 10 or 20 (anything else: 1): checks its item
    // of the Zoom menu and marks the scale for redrawing.
    void SetZoom(int n);

    // --- decoding a WAV file (QuelpApp_FileDecode.cpp) ------------------------------
    // Decodes a WAV file block by block through the receiver, paced at
    // 150 ms per block (about 1.24 times real time) or, with the sound output
    // on, by the output device. Serves the window's messages meanwhile, so it
    // may be asked again from inside: that request has no effect. Returns
    // when the file is done or the program starts to close.
    FileDecodeResult DecodeWaveFile(const std::string& fileName, FileDecodeOptions options = {});
    // The same decode of a recording that the caller opened (any rate or
    // format an adapter converts, or a WAV file with a chosen channel): the
    // same blocks, pacing and results, without the messages of opening.
    // Returns Decoded, or Busy while another decode runs.
    FileDecodeResult DecodeSamples(SampleSource& source, FileDecodeOptions options = {});
    // File -> "Decode From File".
    void DecodeFromFile1Click();
    // Off: files are decoded as fast as the processor allows (the same blocks
    // in the same order, no sleeping); the command-line decoder turns it off.
    void SetFileDecodePacing(bool paced) { paceFileDecoding_ = paced; }

    // --- the main window itself (QuelpApp_Window.cpp) ---------------------------------
    // A menu of the window opened (the displays hold still while it is open)
    // or the last open menu closed (they draw again at once).
    void MenuOpened();
    void MenuClosed();
    // The window's close box: false while automation clients hold the
    // program (the window stays, nothing changes); otherwise closing begins
    // (Shutdown, once) and the window may close.
    bool FormCloseQuery();
    // Help -> "Contents": the help file in the program's folder, opened with
    // the desktop's handler; nothing at all when the file is not there.
    void Contens1Click(const std::filesystem::path& programDir);
    // The Zoom menu's items (false: `item` is none of them).
    bool ZoomMenuClick(UiItem item);
    // The window's geometry (and colours), reported when the operator changed
    // it and before a save, so that the save writes what the window shows.
    void SetMainWindowSettings(const WindowSettings& window) { window_.Window = window; }

    // --- the displays, the mouse, the wheel and the keys (QuelpApp_Displays.cpp) -------
    // The pictures draw again at once (a click on them, Esc).
    void ResumeDisplays() { displayHoldOff_ = hold_off::kNone; }
    // A spectrum repaint begins: whether it draws the peak curve (not in the
    // three repaints after a rig retune; each of those counts one down).
    bool SpectrumRepaintShowsPeak() { return spectrumRepaints_.TakePeakCurve(); }
    int PeakHideRepaints() const { return spectrumRepaints_.PeakHideRepaints(); }
    // Whether the scale under a spectrum `width` pixels wide must be drawn
    // again (zoom or rate changed, or the width or the centre since the last
    // drawing); says yes once.
    bool ScaleDue(int width);
    // The bin at the middle of the spectrum (Alt-drag).
    void SetDisplayCentreBin(int bin);
    // One AFC step now (after a click, with AfcAtClick).
    void AfcStep();
    // Alt+Z, Ctrl+Z: the spectrum's and the oscilloscope's level scale.
    void ToggleLogarithmicSpectrum() { window_.LogarithmicSpectrum = !window_.LogarithmicSpectrum; }
    void ToggleLogarithmicOsc() { window_.LogarithmicOsc = !window_.LogarithmicOsc; }
    // Esc, the function keys, Pause...: the key's code to the other programs.
    void BroadcastKeyCode(int code) { RunHook(integration_.broadcastKeyCode, code); }

    // --- the receive text as a whole (QuelpApp_Window.cpp) --------------------------
    // File menu, Alt+D, Ctrl+S and Ctrl+N.
    void ClearBuffer1Click();
    BufferSaveResult SaveBuffer1Click();
    BufferSaveResult OpenButterinNotepadAltN1Click();

    // --- the text capture file -----------------------------------------------------
    // Time marks in the capture file on or off (PutTimeMarks); switched on,
    // the next word space writes a mark.
    void SetTimeMarks(bool on);
    void OpenCaptureFile1Click();
    bool OpenCaptureFileByName(const std::string& path);
    CaptureCloseResult CloseCaptureFile1Click();

    // --- wave capture, audio history, replay and save (QuelpApp_History.cpp) --------
    // The wave capture file (menu and Alt+V). Opening asks for a name with the
    // save dialog; closing reports how the file ended.
    void OpenWaveCaptureFile1Click();
    WaveCloseResult CloseWaveCaptureFile1Click();
    // Opens the capture file without a dialog (command line); false: failed.
    bool OpenWaveCaptureFileByName(const std::string& path);

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
    // The registered key message of any program (this one's own included):
    // key codes (36 and below) are ignored; above, its low byte asks for the
    // history (113 save, 114 replay, 115 save and decode, `seconds` long) or
    // go-to-max (116).
    void VadCwMessage(std::uint32_t word, std::int32_t seconds);
    // Saves the last `seconds` under `dir` (its "Waves" folder) and returns
    // the file's path; for the command line at the end of a live run.
    std::string SaveHistoryUnder(const std::filesystem::path& dir, std::int32_t seconds);
    // Folder that holds the temporary files and "Waves" (empty: the working
    // directory).
    void SetHistoryFolder(std::filesystem::path dir) { historyFiles_.SetBaseDir(std::move(dir)); }

    // --- multi-channel decoder (QuelpApp_MultiChannel.cpp) ------------------------------
    // Menu "Multi-Channel Decoder": decoder and window on or off.
    void MultiChannelDecoder1Click();
    // The window's close box: the window stays; the decoder goes off. Returns
    // whether the window may close (never).
    bool ScanFormCloseQuery();
    // The transmit mark's row to the middle of the grid (window shown or
    // resized, transmit frequency set by mouse).
    void CentreScanGrid();
    // The window's grid and waterfall pane: the operator's edit of a row, the
    // pane's size and the rows the grid shows, and the repaint after each
    // waterfall line.
    void SetScanGridRow(int row, std::string_view text) {
        receiver_.ChannelGrid().SetRow(row, text);
    }
    void SetScanPane(int imageWidth, int imageHeight, int visibleRows);
    void SetWaterfallRepaint(std::function<void()> repaint) {
        receiver_.ChannelGrid().RepaintWaterfall = std::move(repaint);
    }
    // Whether the window was created in this run (its settings are saved only
    // then).
    bool ScanFormCreated() const { return scanFormCreated_; }
    // The windows report their geometry and font when they are created and
    // before a save; from then on their groups are saved.
    void SetScanWindowSettings(const ScanWindowSettings& scan);
    void SetSetupWindowSettings(const SetupWindowSettings& setup);

    // --- word catching and log export (QuelpApp_WordCatch.cpp) ------------------------
    // A mouse button released over the receive text: in contest mode the
    // selected (or, with one-click catching, the clicked) word is exported
    // at once; otherwise the window is asked to pop the field menu up.
    WordCatchPopup RxMemoMouseUp();
    // The pop-up menu: a field of kLogFields (by index), "Copy", "Title".
    void LogFieldClick(std::size_t field);
    void Copy1Click();
    void Title1Click() { displayHoldOff_ = hold_off::kNone; }
    // The word last caught (Title1's caption).
    const std::string& CaughtWord() const { return caughtWord_; }
    // Clipboard, `key` = "word" into ExportIniSection of ExportIniFile (a
    // bare name is in the working directory), the "Tolvan_Message"
    // broadcast and the automation event.
    void ExportWord(std::string_view key, std::string_view word, std::int32_t code);
    // Contest mode: a call sign or a received number, in upper case.
    void ContestCatch(std::string_view word);

    // --- the setup dialog (QuelpApp_Setup.cpp) -----------------------------------------
    // Menu "Setup", and the automation's request with a page number (1..6
    // selects that page; any other keeps the page shown last).
    void Setup11Click();
    void ShowSetupPage(int automationPage);
    // The dialog's controls from the program's state (creates the
    // multi-channel window first), and back in a fixed order; the values
    // come back as the dialog must then show them (English checked after a
    // failed user table, the tuning mode in force, the flags cleared).
    SetupValues LoadSetupDialog();
    void ApplySetupDialog(SetupValues& values);
    // The buttons: OK (apply, hide), Apply, Save (apply and write the
    // settings file), Cancel (hide), and the title bar's close.
    void SetupOkClick(SetupValues& values);
    void SetupApplyClick(SetupValues& values);
    SettingsSaveResult SetupSaveClick(SetupValues& values);
    void SetupCancelClick();
    void SetupCloseClick() { displayHoldOff_ = hold_off::kNone; }
    // "Go": the rig-control server's setup window.
    void ShowOmniSetupButton1Click();

    // --- the automation clients and the exchange library (QuelpApp_Automation.cpp) ----
    // The exchange channel (0: off); another channel opens the library on
    // it, and a failure is said ("VARNOKEX.DLL initialization error!").
    void SetExCanal(int channel);
    // Live automation client objects changed: "Exit" is disabled while any
    // exists.
    void AutomationClientsChanged(int live);
    // Receive window's text in UTF-8, through the font's code page.
    std::string RxTextUtf8(std::size_t start) const;
    std::size_t RxTextBytes() const;

    // --- sound input and output (QuelpApp_Sound.cpp) ---------------------------------
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
    // The devices, the input channel and the output code the next restart
    // uses (the command line, before the devices open).
    void SetInputDevice(int device) { params_.Cards.SoundCardNumber = device; }
    void SetInputChannel(int channel) { params_.Cards.InputCardChannel = channel; }
    void SetOutputDevice(int device) { params_.Cards.OutSoundCardNumber = device; }
    void SetSoundOutputCode(int code);
    // The "Sound Output" menu: the fifteen entries by item (false when
    // `item` is none of them), the submenu itself, and Ctrl+F.
    bool SoundOutputMenuClick(UiItem item);
    void SoundOutputFilter1Click();
    void ToggleSoundBypass();

    // --- rig tuning (QuelpApp_Rig.cpp) ---------------------------------------------------
    // The tuning mode (1 RIT, 2 main VFO, else none), applied with the rig's
    // checks and messages; status panel 7 shows it. Start-up applies TuneRig.
    void StartRigControl(int mode);
    // Ctrl+U: rig tuning off when on, else LastTuneRig.
    void ToggleRigTuning();
    // The rig brings the signal at the receive frequency onto the transmit
    // mark (the spectrum's release after a plain click, go-to-max), or moves
    // by `hz` hertz (the wheel). Nothing while TuneRig is 0. Returns the
    // rig's result code (0 done; see rig_tune); code 20 is reported and
    // turns rig tuning off.
    int TuneRigToMark();
    int RigTuneBy(int hz);
    // The setup dialog's rig page (OK or Apply): the rig number (1 or 2,
    // else kept) and the tuning mode; the mode is applied when it or the rig
    // changed. Returns the tuning mode in force, for the dialog to show.
    int ApplyRigChoice(int rigNumber, int tuneRig);
    // The setup dialog's "Go": the rig-control server's own settings window.
    void ShowRigSetup();
    const TOmniWork& Rig() const { return rig_.Omni(); }

    // --- the settings file (QuelpApp_Settings.cpp) --------------------------------------
    // Reads the file at Params().SettingsPath (missing: every built-in value
    // stays) and applies it to the live state. Part of DeferredInit.
    void LoadSettings();
    // Writes the live state to Params().SettingsPath (SaveSettings) or to
    // `path`, in one rewrite that keeps other programs' keys. Clears
    // DisplayHoldOff first. On failure shows "Unable to write to <path>"
    // (caption "Error") unless `showFailure` is false (the automation server
    // reports the failure itself).
    SettingsSaveResult SaveSettings(bool showFailure = true);
    SettingsSaveResult SaveSettingsTo(const std::string& path, bool showFailure = true);
    // Every key of the settings file set to the live state, in the save
    // order, into `file` (which keeps every other line).
    void CollectSettings(ProfileFile& file) const;
    // Every key read from `file` and applied, in the load order; the groups
    // of windows that exist keep what the windows show.
    void ApplySettings(const ProfileFile& file);

  private:
    friend struct SettingsBinding;

    // ReceiverListener
    void CharacterDecoded(std::uint32_t code) override;
    void ReceiverChanged(ReceiverChange change) override;
    void SpectrumReady(int repaint) override;
    // SoundInClient
    void ClearSpectrumPeak() override { receiver_.ClearSpectrumPeak(); }
    void ProcessLiveBlock(std::span<const std::int16_t> block) override {
        receiver_.ProcessBlock(block.data(), 0);
    }
    void StoreHistory(std::span<const std::int16_t> block) override;
    bool WaveCaptureActive() override { return waveCapture_; }
    bool WriteWaveCapture(std::span<const std::int16_t> block) override;
    void CloseWaveCapture() override { static_cast<void>(CloseWaveCaptureFile1Click()); }
    void EndApplication() override { RunHook(windowHooks_.endApplication); }
    // HistoryDecoder
    void DecodeHistoryFile(const std::string& path) override {
        static_cast<void>(DecodeWaveFile(path));
    }
    // RigTuneTarget
    double SamplingFreq() const override { return receiver_.Params().SamplingFreq; }
    int SignalBin() const override { return receiver_.Tune().SignalBin(); }
    int TxBin() const override { return receiver_.Tune().TxBin(); }
    void FreezeSpectrumPeak() override { receiver_.FreezeSpectrumPeak(); }
    void ReceiveAtMark() override { receiver_.RetuneToMark(); }
    void ShiftSpectrumPeak(int shift) override { receiver_.ShiftSpectrumPeak(shift); }

    // --- decoding a WAV file ---------------------------------------------------------
    // The busy flag and the controls while a decode runs.
    class FileDecodeGuard {
      public:
        explicit FileDecodeGuard(QuelpApp& app);
        ~FileDecodeGuard();
        FileDecodeGuard(const FileDecodeGuard&) = delete;
        FileDecodeGuard& operator=(const FileDecodeGuard&) = delete;

      private:
        QuelpApp& app_;
    };
    // The blocks of `source` through the receiver until it ends or closing
    // begins.
    void RunFileDecode(SampleSource& source, const FileDecodeOptions& options);
    // Waits out one block's pace: at least one pass, then until the clock
    // reaches `deadline`; then, with the sound output on, until it has a free
    // buffer.
    void PaceFileBlock(std::int64_t deadline);
    // One pass of the pacing loop: live input, window messages, 20 ms.
    void FileDecodeWaitPass(bool sleep);

    // --- sound ----------------------------------------------------------------------
    void InitSound();
    // Opens the exchange library on ExCanal; says so when it fails, or when
    // there is no library to open.
    void InitExchangeLibrary();
    // The output is on and all its buffers are with the driver (a file decode
    // waits before its next block, so no sample is lost).
    bool SoundOutputBehind() const;
    // Processes the live buffers already filled (their blocks go to the
    // history and the capture file, not to the receiver).
    void ServePendingInputBuffers();
    // After a file decode: one WM_BUFFERDONE per buffer still pending, so
    // live processing resumes at once.
    void RepostPendingInputBuffers();

    // --- wave capture ----------------------------------------------------------------
    // Status panel 6 after the wave capture changed.
    void ShowCaptureState();

    // --- the multi-channel window ----------------------------------------------------
    // Creates it on first use (its settings are saved from then on).
    void CreateScanForm();

    // --- settings -------------------------------------------------------------------
    // The values that only take effect together, gathered while the keys
    // are applied.
    struct PendingSettings {
        int LowerSpeed = 100;
        int HigherSpeed = 150;
        int Charset = 0;
        std::string UserCharsetFile;
    };

    QuelpPorts ports_;
    Quelp_Params params_;
    MainWindowState window_;
    // Count of input buffers during which the displays are not repainted;
    // counted down by the sound driver's thread.
    std::atomic<int> displayHoldOff_{0};
    // Closing has begun (read by the sound driver's thread).
    std::atomic<bool> shuttingDown_{false};
    // A WAV file is being decoded: live blocks bypass the block processor.
    std::atomic<bool> fileDecoding_{false};

    Receiver receiver_{*this};
    ReceiverPresenter presenter_{ports_.view, receiver_};
    TextCapture capture_{params_.Marks, ports_.view, ports_.clock, ports_.dialogs,
                         ports_.captureSink};
    ReceiveTextOutput rxOutput_{ports_.rxMemo, capture_, ports_.exchange};
    BufferCommands buffer_{ports_.rxMemo, ports_.view, ports_.dialogs, ports_.desktop};
    RigControl rig_{ports_.rigServer, ports_.clock, ports_.view, *this,
                    RigTuningSettings{params_.TuneRig, params_.LastTuneRig, params_.RigNumber}};

    WindowHooks windowHooks_;
    ScanFormHooks scanForm_;
    IntegrationHooks integration_;
    SetupFormHooks setupForm_;

    // File decoding.
    TWaveRead waveRead_;
    bool decodeBusy_ = false;
    bool paceFileDecoding_ = true;
    std::uint64_t fileDecodeSamples_ = 0;

    // Start-up, shut-down and settings.
    // "/C" of the command line: opened as the text capture file at start-up.
    std::string startupCaptureFile_;
    // The sound-output code while no sound output keeps it.
    int soundFilterCode_ = 0;
    bool deferredInitDone_ = false;
    bool shutdownDone_ = false;
    bool savingSettings_ = false;
    ProfileSaveOptions settingsSave_;
    PendingSettings pending_;

    // Wave capture, audio history, replay and save.
    TWaveBuff history_;
    HistoryFiles historyFiles_{history_, ports_.view, ports_.clock, this};
    // Destroyed with the application, which closes an open capture file with
    // its header brought up to date.
    TWaveWrite waveFile_;
    bool waveCapture_ = false;
    bool waveOpening_ = false;
    bool waveClosing_ = false;

    // The multi-channel window.
    bool scanFormCreated_ = false;

    // The spectrum picture's peak hiding and scale tracking.
    SpectrumRepaints spectrumRepaints_;
    // Word catching: Title1's caption and the announcements' counters.
    std::string caughtWord_;
    ExportSequence exportSeq_;

    // Sound input and output; built only when the ports bring the drivers.
    std::optional<SoundIn> soundIn_;
    std::optional<SoundOut> soundOut_;
    std::optional<SoundOutput> soundOutput_;
};

}  // namespace quelp
