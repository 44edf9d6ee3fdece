#include "decoder/MainDecoder.h"

#include <algorithm>
#include <string>

#include "decoder/SpeedText.h"

namespace quelp {

MainDecoder::MainDecoder(Quelp_Params& params, MainView& view, std::atomic<int>& displayHoldOff)
    : LowSpeedUpDown(view, UiItem::LowSpeedEdit, 100),
      HighSpeedUpDown(view, UiItem::HighSpeedEdit, 150),
      params_(params),
      view_(view),
      displayHoldOff_(displayHoldOff) {}

void MainDecoder::CharacterEnded(std::uint32_t code) {
    if (code != 1) Emit(code);
    ++params_.DecodedChars;
    if (params_.DecodedChars % 5 == 0) UpdateSpeedDisplay();
}

void MainDecoder::WordSpace() {
    Emit(0);
    if (params_.DecodedChars > 4) UpdateSpeedDisplay();
}

void MainDecoder::UpdateSpeedDisplay() {
    // The timing of PARIS with its word space: 10 dots, 4 dashes, 9 element
    // gaps, 4 character gaps, 1 word gap.
    const std::int64_t t = 10LL * params_.DotLen + 4LL * params_.DashLen +
                           9LL * params_.ShortPauseLen + 4LL * state_.CharPauseLen +
                           state_.WordPauseLen;
    if (t <= 0) return;
    const double wpm = 60.0 * params_.SamplingFreq / static_cast<double>(t);
    const double lpm = wpm * 5.0 + 0.5;
    const long long lpmShown =
        lpm >= 0.0 && lpm < 1e15 ? static_cast<long long>(lpm) : 0;  // truncation
    view_.SetStatusText(panel::Lpm, std::to_string(lpmShown) + " LPM");
    view_.SetStatusText(panel::Wpm, FormatWpm(wpm) + " WPM");
}

void MainDecoder::SetSpeedLimits(std::int32_t low, std::int32_t high) {
    // Moving the up-downs raises the edits' change events, which come back
    // here while this call is still running.
    if (settingLimits_) return;
    settingLimits_ = true;

    LowSpeedUpDown.SetPosition(std::min(low, high));
    HighSpeedUpDown.SetPosition(std::max(low, high));
    params_.LowerSpeed = LowSpeedUpDown.Position();
    params_.HigherSpeed = HighSpeedUpDown.Position();
    params_.UpperDotLimit = DotSamples(params_.SamplingFreq, params_.LowerSpeed);
    params_.LowerDotLimit = DotSamples(params_.SamplingFreq, params_.HigherSpeed);

    if (params_.SpeedLocked != 0) {
        if (params_.LowerDotLimit > params_.DotLen) {
            params_.DotLen = params_.ShortPauseLen = params_.LowerDotLimit;
            params_.DashLen = 3 * params_.LowerDotLimit;
        }
        if (params_.UpperDotLimit < params_.DotLen) {
            params_.DotLen = params_.ShortPauseLen = params_.UpperDotLimit;
            params_.DashLen = 3 * params_.UpperDotLimit;
        }
        view_.SetStatusText(panel::Lpm, std::to_string(params_.LowerSpeed) + "-" +
                                            std::to_string(params_.HigherSpeed));
        if (SpeedWindowApplied) SpeedWindowApplied();
    }
    settingLimits_ = false;
}

void MainDecoder::SpeedLockButtonMouseDown(bool ctrlHeld) {
    displayHoldOff_ = 0;
    if (!ctrlHeld) return;
    // Centre the window on the current speed, keeping its width.
    const std::int32_t c = std::max<std::int32_t>(1, (params_.DotLen + params_.ShortPauseLen) / 2);
    const std::int32_t lpm = DotSamples(params_.SamplingFreq, c);  // the same formula, inverted
    const std::int32_t w = params_.HigherSpeed - params_.LowerSpeed;
    std::int32_t low = ((2 * lpm - w + 5) / 10) * 5;
    std::int32_t high = low + w;
    low = std::clamp(low, SpinControl::kMin, SpinControl::kMax);
    high = std::clamp(high, SpinControl::kMin, SpinControl::kMax);
    params_.SpeedLocked = 1;
    view_.SetDown(UiItem::SpeedLockButton, true);
    SetSpeedLimits(low, high);
    CtrlClickLock = 1;
}

void MainDecoder::SpeedLockButtonClick() {
    displayHoldOff_ = 0;
    if (CtrlClickLock != 0) {
        params_.SpeedLocked = 1;
        CtrlClickLock = 0;
    } else {
        params_.SpeedLocked = params_.SpeedLocked != 0 ? 0 : 1;
    }
    ShowSpeedLock();
    SetSpeedLimits(LowSpeedUpDown.Position(), HighSpeedUpDown.Position());
}

void MainDecoder::ShowSpeedLock() {
    view_.SetDown(UiItem::SpeedLockButton, params_.SpeedLocked != 0);
}

void MainDecoder::LowSpeedEditChange(std::string_view text) {
    if (!settingLimits_) LowSpeedUpDown.TakeEditText(text);
    SetSpeedLimits(LowSpeedUpDown.Position(), HighSpeedUpDown.Position());
}

void MainDecoder::HighSpeedEditChange(std::string_view text) {
    if (!settingLimits_) HighSpeedUpDown.TakeEditText(text);
    SetSpeedLimits(LowSpeedUpDown.Position(), HighSpeedUpDown.Position());
}

}  // namespace quelp
