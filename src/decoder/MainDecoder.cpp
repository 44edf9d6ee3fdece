#include "decoder/MainDecoder.h"

#include <algorithm>

namespace quelp {

namespace {
// The speed edits' spin controls hold 5..3000 LPM.
constexpr std::int32_t kMinSpeed = 5;
constexpr std::int32_t kMaxSpeed = 3000;
}  // namespace

MainDecoder::MainDecoder(DecoderSpeed& speed, const double& samplingFreq, DecoderEvents& events)
    : speed_(speed), samplingFreq_(samplingFreq), events_(events) {}

void MainDecoder::CharacterEnded(std::uint32_t code) {
    if (code != 1) events_.CharacterDecoded(code);
    ++speed_.DecodedChars;
    if (speed_.DecodedChars % 5 == 0) events_.SpeedMeasured();
}

void MainDecoder::WordSpace() {
    events_.CharacterDecoded(0);
    if (speed_.DecodedChars > 4) events_.SpeedMeasured();
}

void MainDecoder::SetSpeedLimits(std::int32_t low, std::int32_t high) {
    // Showing the new limits raises the edits' change events, which come
    // back here while this call is still running.
    if (settingLimits_) return;
    settingLimits_ = true;

    speed_.LowerSpeed = std::clamp(std::min(low, high), kMinSpeed, kMaxSpeed);
    speed_.HigherSpeed = std::clamp(std::max(low, high), kMinSpeed, kMaxSpeed);
    events_.SpeedLimitsChanged();
    speed_.UpperDotLimit = DotSamples(samplingFreq_, speed_.LowerSpeed);
    speed_.LowerDotLimit = DotSamples(samplingFreq_, speed_.HigherSpeed);

    if (speed_.SpeedLocked != 0) {
        if (speed_.LowerDotLimit > speed_.DotLen) {
            speed_.DotLen = speed_.ShortPauseLen = speed_.LowerDotLimit;
            speed_.DashLen = 3 * speed_.LowerDotLimit;
        }
        if (speed_.UpperDotLimit < speed_.DotLen) {
            speed_.DotLen = speed_.ShortPauseLen = speed_.UpperDotLimit;
            speed_.DashLen = 3 * speed_.UpperDotLimit;
        }
        events_.SpeedWindowApplied();
    }
    settingLimits_ = false;
}

void MainDecoder::SpeedLockButtonMouseDown(bool ctrlHeld) {
    if (!ctrlHeld) return;
    // Centre the window on the current speed, keeping its width.
    const std::int32_t c = std::max<std::int32_t>(1, (speed_.DotLen + speed_.ShortPauseLen) / 2);
    const std::int32_t lpm = DotSamples(samplingFreq_, c);  // the same formula, inverted
    const std::int32_t w = speed_.HigherSpeed - speed_.LowerSpeed;
    std::int32_t low = ((2 * lpm - w + 5) / 10) * 5;
    std::int32_t high = low + w;
    low = std::clamp(low, kMinSpeed, kMaxSpeed);
    high = std::clamp(high, kMinSpeed, kMaxSpeed);
    SetSpeedLocked(true);
    SetSpeedLimits(low, high);
    ctrlClickLock_ = 1;
}

void MainDecoder::SpeedLockButtonClick() {
    if (ctrlClickLock_ != 0) {
        ctrlClickLock_ = 0;
        SetSpeedLocked(true);
    } else {
        SetSpeedLocked(speed_.SpeedLocked == 0);
    }
    SetSpeedLimits(speed_.LowerSpeed, speed_.HigherSpeed);
}

void MainDecoder::SetSpeedLocked(bool locked) {
    speed_.SpeedLocked = locked ? 1 : 0;
    events_.SpeedLockChanged();
}

}  // namespace quelp
