// Start-up, shut-down and the settings file of the application object.

#include <array>
#include <utility>

#include "app/QuelpApp.h"
#include "dsp/MainFilterTable.h"
#include "settings/CommandLine.h"
#include "settings/DefaultDirectory.h"
#include "settings/ProfileFile.h"

namespace quelp {

namespace {

constexpr int kDefaultMainFilter = 140;
constexpr int kStartupHoldOffBuffers = 5;

constexpr std::array<std::pair<int, UiItem>, 7> kZoomItems = {{
    {1, UiItem::Zoom1},
    {2, UiItem::Zoom2},
    {3, UiItem::Zoom3},
    {4, UiItem::Zoom4},
    {5, UiItem::Zoom5},
    {10, UiItem::Zoom10},
    {20, UiItem::Zoom20},
}};

}  // namespace

void QuelpApp::SetZoom(int n) {
    int zoom = 1;
    for (const auto& [factor, item] : kZoomItems) {
        if (factor == n) zoom = n;
    }
    window_.ZoomFactor = zoom;
    // One radio group: exactly one item checked in every view.
    for (const auto& [factor, item] : kZoomItems) ports_.view.SetChecked(item, factor == zoom);
    window_.ScaleDirty = true;
}

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
        file.Load();
        window_.StayOnTop = ReadStartupOnTop(file);
    }

    // 3.-6. The default main filter, the pictures, an empty oscilloscope and
    // the default FIR pair, so the chain runs even before the stored filter
    // is selected. (The sine table was filled when the application object
    // was built; every mixer reads it from the first sample on.)
    filterMenus_.MainFilterCode = kDefaultMainFilter;
    RunHook(Startup.createDisplayBitmaps);
    spectrum_.ClearOscilloscope();
    const MainFilterRow& defaultFilter = ResolveMainFilter(kDefaultMainFilter);
    chain_.LoadFir(*defaultFilter.Fir, defaultFilter.Rate);

    // 7.-9. The settings; without a settings file the built-in values apply
    // exactly as a missing file would leave them.
    DisplayHoldOff = kStartupHoldOffBuffers;
    if (readSettings) {
        LoadSettings();
    } else {
        ApplySettings(SettingsValues{});
    }

    // 10.-11. What the settings chose, shown and loaded.
    if (window_.AlwaysOnTop) ports_.view.SetStatusText(panel::OnTop, "On Top");
    filterMenus_.ShowBurstFilter();
    filterMenus_.SelectMainFilter(filterMenus_.MainFilterCode);
    RunHook(Startup.registerMessages);

    // 12. The exchange library, on its stored channel.
    if (params_.ExCanal != 0 && Startup.initExchangeLibrary &&
        !Startup.initExchangeLibrary(params_.ExCanal)) {
        ports_.view.ShowMessage("Exchange library initialization error!", "Error");
    }

    // 13. The capture file named on the command line.
    if (!startupCaptureFile_.empty() && !capture_.CaptureOpen()) {
        capture_.OpenCaptureFileByName(startupCaptureFile_);
    }
    startupCaptureFile_.clear();

    // 14. The channels follow a locked main speed window when asked to; the
    // audio history.
    if (params_.SpeedLocked != 0 && params_.ReUseSpeedLimits != 0) {
        RunHook(Startup.applyChannelSpeedWindow);
    }
    RunHook(Startup.createHistory);

    // 15. The sound devices; the first blocks are not drawn.
    RunHook(options.BeforeDevices);
    DisplayHoldOff = kStartupHoldOffBuffers;
    RunHook(Startup.restartSoundInput);
    RunHook(Startup.restartSoundOutput);

    // 16.-21. Timer mode, caret, rig, focus, message filter, timers.
    RunHook(Startup.checkSlowTimer);
    RunHook(Startup.caretToEnd);
    RunHook(Startup.applyRigTuning);
    RunHook(Startup.focusNullButton);
    RunHook(Startup.installMessageFilter);
    RunHook(Startup.startTimers);
}

void QuelpApp::Shutdown() {
    if (shutdownDone_) return;
    shutdownDone_ = true;
    // The sound input's thread reads this to stop queueing buffers.
    ShuttingDown = true;
    RunHook(Startup.closeSoundOutput);
    RunHook(Startup.stopSoundInput);
    if (capture_.CaptureOpen()) capture_.CloseCaptureFile1Click();
    RunHook(Startup.stopTimers);
}

void QuelpApp::LoadSettings() {
    ApplySettings(LoadSettingsFile(params_.SettingsPath));
}

void QuelpApp::ApplySettings(const SettingsValues& v) {
    // Main section, in the order it is read.
    threshold_.SetAutoDown(v.AutoThreshold);
    window_.AlwaysOnTop = v.AlwaysOnTop;
    tuning_.SetAutoGoToMaxDown(v.AutoGoToMax);
    tuning_.SetAfcDown(v.Afc);
    params_.SamplingFreq = v.SamplingFreq;
    tuning_.Afc().SetPosition(v.AfcDeviation);
    tuning_.AfcLimit().SetPosition(v.AfcLimit);
    tuning_.SetReceiveBin(v.RxBin);
    chain_.PhaseStep = tuning_.PhaseStep();
    tuning_.DisplayCentreBin = v.DisplayCentreBin;
    SetZoom(v.ZoomFactor);
    params_.SquelchEnabled = v.SquelchEnabled;
    params_.EnableManualLimit = v.EnableManualLimit;
    // Also moves the multi-channel band below the transmit mark.
    tuning_.SetTransmitBin(v.TxBin);
    params_.DetectorThreshold = v.DetectorThreshold;
    params_.MinAutoThreshold = v.MinAutoThreshold;
    params_.SquelchThreshold = v.SquelchThreshold;
    filterMenus_.RestoreBurstLength(v.BurstLength);
    RunHook(Startup.setChannelBurstLength, v.BurstLength);
    // Loaded by SelectMainFilter after the settings.
    filterMenus_.MainFilterCode = v.MainFilterCode;
    // Applied when the output device opens.
    soundFilterCode_ = v.SoundFilter;
    RunHook(Startup.setSoundFilterCode, v.SoundFilter);
    params_.UserCharsetFile = v.UserCharsetFile;
    params_.ExportIniFile = v.ExportIniFile;
    params_.ExportIniSection = v.ExportIniSection;
    window_.LogarithmicSpectrum = v.LogarithmicSpectrum;
    window_.LogarithmicOsc = v.LogarithmicOsc;
    params_.ReUseThresholdLimit = v.ReUseThresholdLimit;
    params_.ReUseSpeedLimits = v.ReUseSpeedLimits;
    params_.PutTimeMarks = v.PutTimeMarks;
    params_.UseUTC = v.UseUTC;
    params_.CatchWordByOneClick = v.CatchWordByOneClick;
    params_.ContestMode = v.ContestMode;
    params_.CopyTransferredData = v.CopyTransferredData;
    window_.AfcAtClick = v.AfcAtClick;
    params_.ExCanal = v.ExCanal;
    params_.SoundCardNumber = v.SoundCardNumber;
    params_.InputCardChannel = v.InputCardChannel;
    params_.OutputCardChannel = v.OutputCardChannel;
    params_.OutSoundCardNumber = v.OutSoundCardNumber;
    params_.LastTuneRig = v.LastTuneRig;
    params_.TuneRig = v.TuneRig;
    params_.RigNumber = v.RigNumber;
    window_.UseWheel = v.UseWheel;
    window_.WheelSpeed = v.WheelSpeed;
    // The lock first, so SetSpeedLimits pulls the estimates into the window.
    params_.SpeedLocked = v.SpeedLocked;
    decoder_.SetSpeedLimits(v.LowerSpeed, v.HigherSpeed);
    decoder_.ShowSpeedLock();

    // Window section and receive font; the window applies them when it lays
    // itself out (geometry of -1 keeps the designed value).
    window_.Window = v.Window;
    window_.RxFont = v.RxFont;
    // The other windows read their groups when they are first created; a
    // window that already exists keeps what it shows.
    if (!window_.Scan.Created) window_.Scan = v.Scan;
    if (!window_.Setup.Created) window_.Setup = v.Setup;

    // The character table: the user table only when its file loads, else
    // English without a message.
    params_.Charset = SelectStartupCharset(v.Charset, v.UserCharsetFile, tables_);

    threshold_.ShowThreshold();
}

SettingsValues QuelpApp::CollectSettings() const {
    SettingsValues v;
    v.AutoThreshold = threshold_.AutoDown();
    v.AlwaysOnTop = window_.AlwaysOnTop;
    v.AutoGoToMax = tuning_.AutoGoToMaxDown();
    v.Afc = tuning_.AfcDown();
    v.SamplingFreq = params_.SamplingFreq;
    v.AfcDeviation = tuning_.Afc().Position();
    v.AfcLimit = tuning_.AfcLimit().Position();
    // While the AFC runs the receive bin wanders around its anchor; the
    // anchor is where the operator put it.
    v.RxBin = tuning_.AfcDown() ? tuning_.CentreBin() : tuning_.SignalBin();
    v.DisplayCentreBin = tuning_.DisplayCentreBin;
    v.ZoomFactor = window_.ZoomFactor;
    v.SquelchEnabled = params_.SquelchEnabled;
    v.EnableManualLimit = params_.EnableManualLimit;
    v.TxBin = tuning_.TxBin();
    v.ScanStartBin = tuning_.ScanStartBin();
    v.DetectorThreshold = params_.DetectorThreshold;
    v.MinAutoThreshold = params_.MinAutoThreshold;
    v.SquelchThreshold = params_.SquelchThreshold;
    v.BurstLength = decoder_.Burst.BurstLength;
    v.MainFilterCode = filterMenus_.MainFilterCode;
    v.SoundFilter = Startup.soundFilterCode ? Startup.soundFilterCode() : soundFilterCode_;
    v.Charset = params_.Charset;
    v.UserCharsetFile = params_.UserCharsetFile;
    v.ExportIniFile = params_.ExportIniFile;
    v.ExportIniSection = params_.ExportIniSection;
    v.LogarithmicSpectrum = window_.LogarithmicSpectrum;
    v.LogarithmicOsc = window_.LogarithmicOsc;
    v.ReUseThresholdLimit = params_.ReUseThresholdLimit;
    v.ReUseSpeedLimits = params_.ReUseSpeedLimits;
    v.PutTimeMarks = params_.PutTimeMarks;
    v.UseUTC = params_.UseUTC;
    v.CatchWordByOneClick = params_.CatchWordByOneClick;
    v.ContestMode = params_.ContestMode;
    v.CopyTransferredData = params_.CopyTransferredData;
    v.AfcAtClick = window_.AfcAtClick;
    v.ExCanal = params_.ExCanal;
    v.SoundCardNumber = params_.SoundCardNumber;
    v.InputCardChannel = params_.InputCardChannel;
    v.OutputCardChannel = params_.OutputCardChannel;
    v.OutSoundCardNumber = params_.OutSoundCardNumber;
    v.LastTuneRig = params_.LastTuneRig;
    v.TuneRig = params_.TuneRig;
    v.RigNumber = params_.RigNumber;
    v.UseWheel = window_.UseWheel;
    v.WheelSpeed = window_.WheelSpeed;
    v.SpeedLocked = params_.SpeedLocked;
    v.LowerSpeed = params_.LowerSpeed;
    v.HigherSpeed = params_.HigherSpeed;
    v.DotLen = params_.DotLen;
    v.ShortPauseLen = params_.ShortPauseLen;
    v.Window = window_.Window;
    v.RxFont = window_.RxFont;
    v.Scan = window_.Scan;
    v.Setup = window_.Setup;
    return v;
}

bool QuelpApp::SaveSettings(bool showFailure) {
    return SaveSettingsTo(params_.SettingsPath, showFailure);
}

bool QuelpApp::SaveSettingsTo(const std::string& path, bool showFailure) {
    // A second save asked for from a nested message loop while this one
    // runs is ignored.
    if (savingSettings_) return false;
    savingSettings_ = true;
    DisplayHoldOff = 0;
    // Every key in one rewrite: a failure leaves the old file whole.
    const int result = SaveSettingsFile(CollectSettings(), path, SettingsSaveOptions);
    savingSettings_ = false;
    if (result != profile_result::kOk && showFailure) {
        ports_.view.ShowMessage(UnableToWriteText(path), "Error");
    }
    return result == profile_result::kOk;
}

}  // namespace quelp
