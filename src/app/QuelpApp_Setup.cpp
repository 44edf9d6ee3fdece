// The setup dialog in the application object: opening it, its
// controls loaded from the program's state and applied back in their
// order, and its buttons.

#include <cmath>

#include "app/QuelpApp.h"

namespace quelp {

namespace {
constexpr double kRateTolerance = 0.0001;  // a smaller change redraws nothing
}  // namespace

void QuelpApp::Setup11Click() {
    displayHoldOff_ = hold_off::kSetupOpen;
    RunHook(setupForm_.open, -1);
}

void QuelpApp::ShowSetupPage(int automationPage) {
    displayHoldOff_ = hold_off::kSetupOpen;
    RunHook(setupForm_.open, setup::PageOfAutomation(automationPage).value_or(-1));
}

SetupValues QuelpApp::LoadSetupDialog() {
    SetupValues v;
    // 1. The multi-channel window's font and colour are shown from it.
    CreateScanForm();
    // 2. Device lists.
    v.InDevices = setup::DeviceList(ports_.soundInDriver);
    v.InDevice = setup::DeviceEntry(params_.Cards.SoundCardNumber);
    v.OutDevices = setup::DeviceList(ports_.soundOutDriver);
    v.OutDevice = setup::DeviceEntry(params_.Cards.OutSoundCardNumber);
    // 3. Channels and the rate.
    v.InChannel = params_.Cards.InputCardChannel;
    v.OutChannel = params_.Cards.OutputCardChannel;
    v.SamplingRate = setup::FormatSamplingRate(receiver_.Params().SamplingFreq);
    // 4. The main window's speed-limit controls, refreshed.
    const ReceiverStatus s = receiver_.Status();
    receiver_.SetSpeedLimits(s.LowerSpeed, s.HigherSpeed);
    // 5. Page 0's boxes and the character table.
    v.AfcAtClick = window_.AfcAtClick != 0;
    v.SquelchEnabled = receiver_.Params().Levels.SquelchEnabled != 0;
    v.EnableManualLimit = receiver_.Params().Levels.EnableManualLimit != 0;
    const CharsetChoice& text = receiver_.Params().Text;
    switch (text.Charset) {
        case charset::Russian:
        case charset::User:
        case charset::Swedish:
            v.Charset = text.Charset;
            break;
        default:
            v.Charset = charset::English;
    }
    v.UserCharsetFile = text.UserCharsetFile;
    v.CharsetChanged = false;
    // 6. Pages 1 and 2.
    v.CatchWordByOneClick = params_.CatchWordByOneClick != 0;
    v.ContestMode = params_.ContestMode != 0;
    v.CopyTransferredData = params_.CopyTransferredData != 0;
    v.PutTimeMarks = params_.Marks.PutTimeMarks != 0;
    v.UseUTC = params_.Marks.UseUTC != 0;
    v.AlwaysOnTop = window_.AlwaysOnTop;
    v.LogarithmicSpectrum = window_.LogarithmicSpectrum != 0;
    v.LogarithmicOsc = window_.LogarithmicOsc != 0;
    v.AppearanceChanged = false;
    // 7, 8. The receive text's font and colour, the display colours.
    v.RxFont = window_.RxFont;
    v.Colours = window_.Window;
    // 9. Rig and wheel.
    v.RigNumber = params_.RigNumber - 1;
    v.TuneRig = params_.TuneRig;
    v.UseWheel = window_.UseWheel != 0;
    v.WheelSpeed = window_.WheelSpeed;
    // 10, 11. The multi-channel window.
    v.MultiDecoderChanged = false;
    v.ScanFont = window_.Scan.Font;
    v.ReUseThresholdLimit = receiver_.Params().Reuse.ReUseThresholdLimit != 0;
    v.ReUseSpeedLimits = receiver_.Params().Reuse.ReUseSpeedLimits != 0;
    return v;
}

void QuelpApp::ApplySetupDialog(SetupValues& v) {
    SoundCardOptions& cards = params_.Cards;
    // 1. Input device and channel.
    if (v.InChannel != cards.InputCardChannel || v.InDevice != cards.SoundCardNumber + 1) {
        cards.InputCardChannel = v.InChannel;
        RestartSoundInput(v.InDevice - 1);
    }
    // 2. The rate.
    const double old = receiver_.Params().SamplingFreq;
    const double rate = setup::ParseSamplingRate(v.SamplingRate).value_or(old);
    if (std::fabs(rate - old) > kRateTolerance) window_.ScaleDirty = true;
    receiver_.SetSamplingFreq(rate);
    // 3. Output device and channel.
    if (v.OutChannel != cards.OutputCardChannel || v.OutDevice != cards.OutSoundCardNumber + 1) {
        cards.OutputCardChannel = v.OutChannel;
        RestartSoundOutput(v.OutDevice - 1);
    }
    // 4.
    window_.AfcAtClick = v.AfcAtClick ? 1 : 0;
    receiver_.SetSquelchEnabled(v.SquelchEnabled ? 1 : 0);
    receiver_.SetManualLimit(v.EnableManualLimit ? 1 : 0);
    // 5. The character table; a user table that does not load leaves English.
    if (ApplyCharsetChoice(v.Charset, v.CharsetChanged, v.UserCharsetFile)) {
        v.Charset = charset::English;
    }
    v.CharsetChanged = false;
    // 6.
    params_.CatchWordByOneClick = v.CatchWordByOneClick ? 1 : 0;
    params_.ContestMode = v.ContestMode ? 1 : 0;
    params_.CopyTransferredData = v.CopyTransferredData ? 1 : 0;
    params_.Marks.UseUTC = v.UseUTC ? 1 : 0;
    // 7. Time marks switched on: the next word space writes one at once.
    if (v.PutTimeMarks && params_.Marks.PutTimeMarks == 0) capture_.TimeMarksSwitchedOn();
    params_.Marks.PutTimeMarks = v.PutTimeMarks ? 1 : 0;
    // 8. Always on top.
    if (v.AlwaysOnTop != window_.AlwaysOnTop) {
        window_.AlwaysOnTop = v.AlwaysOnTop;
        window_.StayOnTop = v.AlwaysOnTop;
        RunHook(scanForm_.setMainStayOnTop, v.AlwaysOnTop);
        ports_.view.SetStatusText(panel::OnTop, v.AlwaysOnTop ? "On Top" : "");
    }
    // 9.
    window_.LogarithmicOsc = v.LogarithmicOsc ? 1 : 0;
    window_.LogarithmicSpectrum = v.LogarithmicSpectrum ? 1 : 0;
    // 10. The look of the receive text and the displays.
    if (v.AppearanceChanged) {
        v.AppearanceChanged = false;
        window_.RxFont = v.RxFont;
        WindowSettings& w = window_.Window;
        w.FFTBackground = v.Colours.FFTBackground;
        w.CurrSpectrumColor = v.Colours.CurrSpectrumColor;
        w.PeakSpectrumColor = v.Colours.PeakSpectrumColor;
        w.RxMarkColor = v.Colours.RxMarkColor;
        w.TxMarkColor = v.Colours.TxMarkColor;
        w.OscBackground = v.Colours.OscBackground;
        w.SignalColor = v.Colours.SignalColor;
        w.ThresholdColor = v.Colours.ThresholdColor;
        RunHook(windowHooks_.applyAppearance);
    }
    // 11. Rig number and tuning mode; the dialog shows the mode in force.
    if (ports_.rigServer != nullptr) {
        v.TuneRig = ApplyRigChoice(v.RigNumber + 1, v.TuneRig);
    } else if (v.TuneRig != params_.TuneRig || v.RigNumber + 1 != params_.RigNumber) {
        // Without a rig server the choice is only kept (1 and 2, else 0).
        if (v.RigNumber == 0 || v.RigNumber == 1) params_.RigNumber = v.RigNumber + 1;
        params_.TuneRig = (v.TuneRig == 1 || v.TuneRig == 2) ? v.TuneRig : 0;
        v.TuneRig = params_.TuneRig;
    }
    // 12.
    window_.UseWheel = v.UseWheel ? 1 : 0;
    window_.WheelSpeed = v.WheelSpeed;
    // 13. The multi-channel window's text pane.
    if (v.MultiDecoderChanged) {
        v.MultiDecoderChanged = false;
        window_.Scan.Font = v.ScanFont;
        RunHook(scanForm_.applyFont);
    }
    // 14.
    receiver_.SetReuseThresholdLimit(v.ReUseThresholdLimit ? 1 : 0);
    receiver_.SetReuseSpeedLimits(v.ReUseSpeedLimits ? 1 : 0);
}

void QuelpApp::SetupOkClick(SetupValues& values) {
    ApplySetupDialog(values);
    SetupCancelClick();
}

void QuelpApp::SetupApplyClick(SetupValues& values) {
    displayHoldOff_ = hold_off::kSetupApply;
    ApplySetupDialog(values);
}

SettingsSaveResult QuelpApp::SetupSaveClick(SetupValues& values) {
    displayHoldOff_ = hold_off::kSetupApply;
    ApplySetupDialog(values);
    return SaveSettings();
}

void QuelpApp::SetupCancelClick() {
    // The dialog has left the top: the main window goes back there when the
    // operator wants it so.
    if (window_.AlwaysOnTop) RunHook(scanForm_.setMainStayOnTop, true);
    displayHoldOff_ = hold_off::kNone;
}

void QuelpApp::ShowOmniSetupButton1Click() {
    ShowRigSetup();
}

}  // namespace quelp
