// Start-up and shut-down of the application object.

#include "app/QuelpApp.h"
#include "app/SettingsTable.h"
#include "settings/CommandLine.h"
#include "settings/DefaultDirectory.h"
#include "settings/ProfileFile.h"

namespace quelp {

namespace {
// The audio history keeps a minute of live input at the input's own rate.
constexpr std::int32_t kHistorySeconds = 60;
constexpr double kHistoryRate = 11025.0;
}  // namespace

void QuelpApp::DeferredInit(const std::vector<std::string>& args) {
    DeferredInit(StartupOptions::ForWindow(args));
}

void QuelpApp::DeferredInit(const StartupOptions& options) {
    // Once per run, and never after closing began: devices opened then
    // would stay open.
    if (deferredInitDone_ || shutdownDone_) return;
    deferredInitDone_ = true;

    // 1. Where the settings are, and a capture file to open.
    bool readSettings = true;
    if (options.UseCommandLine) {
        const CommandLineResult cmd = ParseCommandLine(options.Args, capture_.CaptureOpen());
        params_.SettingsPath = cmd.SettingsPath;
        startupCaptureFile_ = cmd.StartupCaptureFile;
        const std::string notice = UseDefaultDirectory(cmd, options.Environment);
        if (!notice.empty()) ports_.rxMemo.SetWholeText(notice);
    } else {
        readSettings = !options.SettingsFile.empty();
        if (readSettings) params_.SettingsPath = options.SettingsFile;
        startupCaptureFile_ = options.CaptureFile;
    }

    // 2. Always on top at once, before anything else is read.
    if (readSettings) {
        ProfileFile file(params_.SettingsPath);
        static_cast<void>(file.Load());
        window_.StayOnTop = ReadStartupOnTop(file);
    }

    // 3.-6. The default main filter, the pictures, an empty oscilloscope and
    // the default FIR pair, so the chain runs even before the stored filter
    // is selected. (The sine table was filled when the receiver was built;
    // every mixer reads it from the first sample on.)
    receiver_.SetMainFilterCode(Receiver::kDefaultMainFilter);
    RunHook(windowHooks_.createDisplayBitmaps);
    receiver_.ClearOscilloscope();
    receiver_.LoadDefaultFilter();

    // 7.-9. The settings; without a settings file the built-in values apply
    // exactly as a missing file would leave them.
    displayHoldOff_ = hold_off::kStartup;
    if (readSettings) {
        LoadSettings();
    } else {
        ApplySettings(ProfileFile{});
    }

    // 10.-11. What the settings chose, shown and loaded.
    if (window_.AlwaysOnTop) ports_.view.SetStatusText(panel::OnTop, "On Top");
    presenter_.Show(ReceiverChange::BurstFilter);
    receiver_.SelectMainFilter(receiver_.MainFilterCode());
    RunHook(integration_.registerMessages);

    // 12. The exchange library, on its stored channel.
    if (params_.ExCanal != 0) InitExchangeLibrary();

    // 13. The capture file named on the command line.
    if (!startupCaptureFile_.empty() && !capture_.CaptureOpen()) {
        static_cast<void>(capture_.OpenCaptureFileByName(startupCaptureFile_));
    }
    startupCaptureFile_.clear();

    // 14. The channels follow a locked main speed window when asked to; the
    // audio history.
    receiver_.ApplyChannelSpeedWindow();
    // Without the memory there is no history, and Replay and Save find
    // nothing to write; the receiver runs on regardless.
    static_cast<void>(history_.Allocate(kHistorySeconds, kHistoryRate));

    // 15. The sound devices, unless the front end refused its options; the
    // first blocks are not drawn.
    const bool openDevices = !options.BeforeDevices || options.BeforeDevices();
    displayHoldOff_ = hold_off::kStartup;
    if (openDevices) {
        RestartSoundInput(params_.Cards.SoundCardNumber);
        RestartSoundOutput(params_.Cards.OutSoundCardNumber);
    }

    // 16.-21. Timer mode, caret, rig, focus, message filter, timers.
    RunHook(windowHooks_.checkSlowTimer);
    RunHook(windowHooks_.caretToEnd);
    // A front end without a rig server (the command-line decoder) leaves
    // the stored mode as it is.
    if (ports_.rigServer != nullptr) StartRigControl(params_.TuneRig);
    RunHook(windowHooks_.focusNullButton);
    RunHook(windowHooks_.installMessageFilter);
    RunHook(windowHooks_.startTimers);
}

CaptureCloseResult QuelpApp::Shutdown() {
    if (shutdownDone_) return CaptureCloseResult::Busy;
    shutdownDone_ = true;
    // The sound input's thread reads this to stop queueing buffers.
    shuttingDown_ = true;
    CloseSoundOutput();
    StopSoundInput();
    CaptureCloseResult capture = CaptureCloseResult::NothingOpen;
    if (capture_.CaptureOpen()) capture = CloseCaptureFile1Click();
    RunHook(windowHooks_.stopTimers);
    return capture;
}

}  // namespace quelp
