// The receiver's controls as the window's menus, buttons, edits and mouse,
// and the command line, reach them.

#include "app/QuelpApp.h"
#include "dsp/LevelScale.h"

namespace quelp {

// --- filters ----------------------------------------------------------------------

bool QuelpApp::MainFilterMenuClick(UiItem item) {
    int code = 0;
    if (!ReceiverPresenter::MainFilterCodeOf(item, code)) return false;
    displayHoldOff_ = hold_off::kAfterCommand;
    SelectMainFilter(code);
    return true;
}

void QuelpApp::SelectMainFilter(int code) {
    receiver_.SelectMainFilter(code);
}

bool QuelpApp::BurstFilterMenuClick(UiItem item) {
    std::int32_t lpm = 0;
    if (!ReceiverPresenter::BurstSpeedOf(item, lpm)) return false;
    displayHoldOff_ = hold_off::kAfterCommand;
    return SelectBurstFilter(lpm);
}

bool QuelpApp::SelectBurstFilter(std::int32_t lpm) {
    if (!receiver_.SelectBurstFilter(lpm)) return false;
    presenter_.ShowBurstChoice(lpm);
    return true;
}

// --- threshold and squelch -------------------------------------------------------------

void QuelpApp::AutoTresholdButtonClick() {
    receiver_.SetAutoThreshold(!receiver_.Status().AutoThreshold);
    displayHoldOff_ = hold_off::kNone;
    presenter_.Show(ReceiverChange::Threshold);
}

void QuelpApp::SetAutoThreshold(bool on) {
    receiver_.SetAutoThreshold(on);
}

void QuelpApp::SetDetectorThreshold(double level) {
    receiver_.SetDetectorThreshold(level);
    // The panel shows the level in force (or that the threshold follows the
    // signal).
    presenter_.Show(ReceiverChange::Threshold);
}

void QuelpApp::SetMinAutoThreshold(double level, bool fixedByOperator) {
    receiver_.SetMinAutoThreshold(level);
    if (fixedByOperator) receiver_.SetManualLimit(true);
}

void QuelpApp::SetSquelch(bool enabled, double level) {
    receiver_.SetSquelchEnabled(enabled);
    receiver_.SetSquelchThreshold(level);
}

void QuelpApp::OscilloscopeMouse(int row, int height, bool pressOrRelease) {
    const double level = YToValue(row, height, window_.LogarithmicOsc != 0);
    if (pressOrRelease) displayHoldOff_ = hold_off::kNone;
    receiver_.PickThresholdLevel(level);
}

bool QuelpApp::SpectrumSquelchMouse(int row, int height) {
    return receiver_.PickSquelchLevel(YToValue(row, height, window_.LogarithmicSpectrum != 0));
}

// --- tuning ---------------------------------------------------------------------------------

void QuelpApp::AfcButtonClick() {
    receiver_.SetAfc(!receiver_.Status().Afc);
}

void QuelpApp::SetAfc(bool on) {
    receiver_.SetAfc(on);
}

void QuelpApp::SelectDecoder(DecoderChoice choice) {
    if (choice == receiver_.SelectedDecoder()) return;
    receiver_.SelectDecoder(choice);
    ports_.view.SetChecked(UiItem::AdaptiveDecoder1, choice == DecoderChoice::Adaptive);
}

void QuelpApp::AdaptiveDecoder1Click() {
    SelectDecoder(receiver_.SelectedDecoder() == DecoderChoice::Adaptive ? DecoderChoice::Classic
                                                                         : DecoderChoice::Adaptive);
}

void QuelpApp::AutoGoToMaxButtonClick() {
    receiver_.SetAutoGoToMax(!receiver_.Status().AutoGoToMax);
}

void QuelpApp::SetAutoGoToMax(bool on) {
    receiver_.SetAutoGoToMax(on);
}

void QuelpApp::GoToMaxButtonClick() {
    receiver_.GoToMax();
}

void QuelpApp::ClickTune(int bin) {
    receiver_.ClickTune(bin);
}

void QuelpApp::SetReceiveBin(int bin) {
    receiver_.SetReceiveBin(bin);
}

void QuelpApp::SetTransmitBin(int bin) {
    receiver_.SetTransmitBin(bin);
    // The operator moved the transmit mark: its row comes to the middle of
    // the multi-channel grid.
    if (scanFormCreated_) CentreScanGrid();
}

void QuelpApp::WheelTune(int step) {
    // With rig tuning on the wheel moves the rig, not the filter.
    if (params_.TuneRig != 0) {
        static_cast<void>(RigTuneBy(step));
        return;
    }
    receiver_.WheelTune(step);
}

void QuelpApp::SetAfcDeviationHz(int hz) {
    receiver_.SetAfcDeviationHz(hz);
}

void QuelpApp::SetAfcLimitHz(int hz) {
    receiver_.SetAfcLimitHz(hz);
}

void QuelpApp::AfcEditExit(std::string_view text) {
    const auto typed = SpinControl::Typed(text);
    const int current = receiver_.Status().AfcDeviationHz;
    receiver_.SetAfcDeviationHz(typed && SpinControl::InRange(*typed) ? static_cast<int>(*typed)
                                                                      : current);
}

void QuelpApp::AfcLimitEditExit(std::string_view text) {
    const auto typed = SpinControl::Typed(text);
    const int current = receiver_.Status().AfcLimitHz;
    receiver_.SetAfcLimitHz(typed && SpinControl::InRange(*typed) ? static_cast<int>(*typed)
                                                                  : current);
}

// --- the speed window ---------------------------------------------------------------------

void QuelpApp::LockSpeed(std::int32_t low, std::int32_t high) {
    receiver_.SetSpeedLocked(true);
    receiver_.SetSpeedLimits(low, high);
}

void QuelpApp::SpeedLockButtonMouseDown(bool ctrlHeld) {
    displayHoldOff_ = hold_off::kNone;
    receiver_.SpeedLockButtonMouseDown(ctrlHeld);
}

void QuelpApp::SpeedLockButtonClick() {
    displayHoldOff_ = hold_off::kNone;
    receiver_.SpeedLockButtonClick();
}

void QuelpApp::LowSpeedEditChange(std::string_view text) {
    const ReceiverStatus s = receiver_.Status();
    std::int32_t low = s.LowerSpeed;
    // Showing the limits raises this change again from inside SetSpeedLimits;
    // the text shown then is the limit already in force.
    if (!receiver_.SettingSpeedLimits()) {
        if (const auto typed = SpinControl::Typed(text)) low = SpinControl::Limited(*typed);
    }
    receiver_.SetSpeedLimits(low, s.HigherSpeed);
}

void QuelpApp::HighSpeedEditChange(std::string_view text) {
    const ReceiverStatus s = receiver_.Status();
    std::int32_t high = s.HigherSpeed;
    if (!receiver_.SettingSpeedLimits()) {
        if (const auto typed = SpinControl::Typed(text)) high = SpinControl::Limited(*typed);
    }
    receiver_.SetSpeedLimits(s.LowerSpeed, high);
}

// --- character table and zoom ---------------------------------------------------------------

bool QuelpApp::UseCharset(int charsetValue, const std::string& userCharsetFile) {
    return receiver_.UseCharset(charsetValue, userCharsetFile);
}

bool QuelpApp::ApplyCharsetChoice(int checked, bool changed, const std::string& edit) {
    if (!receiver_.ApplyCharsetChoice(checked, changed, edit)) return false;
    ports_.view.ShowMessage("Error with user charset file!", "Error");
    return true;
}

void QuelpApp::SetZoom(int n) {
    window_.ZoomFactor = ZoomOrDefault(n);
    presenter_.ShowZoom(window_.ZoomFactor);
    window_.ScaleDirty = true;
}

}  // namespace quelp
