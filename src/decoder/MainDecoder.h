#pragma once
// The main decoder: turns the key state of the main channel, once per input
// sample, into elements, characters and word spaces, tracks the sender's
// speed and keeps the speed window of the lock.

#include <cstdint>

#include "decoder/BurstFilter.h"
#include "decoder/DecoderSpeed.h"
#include "decoder/IntervalMachine.h"

namespace quelp {

// What the main decoder tells its owner.
class DecoderEvents {
  public:
    // A character (tree index >= 2) or a word space (0).
    virtual void CharacterDecoded(std::uint32_t code) = 0;
    // The estimates are worth showing: at every fifth character end, and at
    // a word space once more than four characters were decoded.
    virtual void SpeedMeasured() = 0;
    // LowerSpeed and HigherSpeed were set (the speed edits show them).
    virtual void SpeedLimitsChanged() = 0;
    // With the lock on, SetSpeedLimits applied the window to the estimates.
    virtual void SpeedWindowApplied() = 0;
    // SpeedLocked was set (the lock button shows it).
    virtual void SpeedLockChanged() = 0;

  protected:
    ~DecoderEvents() = default;
};

class MainDecoder {
  public:
    // speed: the window and estimates this decoder keeps; samplingFreq: the
    // calibrated rate, read whenever speeds and samples are converted.
    MainDecoder(DecoderSpeed& speed, const double& samplingFreq, DecoderEvents& events);
    MainDecoder(const MainDecoder&) = delete;
    MainDecoder& operator=(const MainDecoder&) = delete;

    // The burst filter; its BurstLength is set by the burst-filter choice.
    BurstFilter Burst;

    // One sample of the key state (envelope above the detector threshold).
    void DecodeSample(bool key) {
        Host host{*this};
        IntervalStep(state_, host, Burst.Step(key));
    }

    // Orders the pair, keeps each within 5..3000 LPM and derives the dot
    // limits; with the lock on, pulls the estimates into the window.
    void SetSpeedLimits(std::int32_t low, std::int32_t high);
    // True while SetSpeedLimits runs (the speed edits' change events come
    // back through it and must not take their text then).
    bool SettingSpeedLimits() const { return settingLimits_; }

    // The lock button pressed: with Ctrl held, the window is centred on the
    // current speed (keeping its width) and locked.
    void SpeedLockButtonMouseDown(bool ctrlHeld);
    // The lock button clicked: toggles the lock (a Ctrl-press locks), then
    // applies the window.
    void SpeedLockButtonClick();
    // Lock on or off without applying the window.
    void SetSpeedLocked(bool locked);

    // The current pause in dot lengths; the block processor reads and grows
    // it while the squelch is closed, go-to-max clears it.
    double& PauseDots() { return state_.PauseDots; }
    double PauseDots() const { return state_.PauseDots; }

    const IntervalState& State() const { return state_; }
    const DecoderSpeed& Speed() const { return speed_; }

  private:
    struct Host {
        MainDecoder& d;
        static constexpr bool kTracksPauseDots = true;
        std::int32_t& DotLen() { return d.speed_.DotLen; }
        std::int32_t& DashLen() { return d.speed_.DashLen; }
        std::int32_t& ShortPauseLen() { return d.speed_.ShortPauseLen; }
        bool LockActive() const { return d.speed_.SpeedLocked != 0; }
        std::int32_t LowerDotLimit() const { return d.speed_.LowerDotLimit; }
        std::int32_t UpperDotLimit() const { return d.speed_.UpperDotLimit; }
        void CharacterEnded(std::uint32_t code) { d.CharacterEnded(code); }
        void WordSpace() { d.WordSpace(); }
    };

    void CharacterEnded(std::uint32_t code);
    void WordSpace();

    DecoderSpeed& speed_;
    const double& samplingFreq_;
    DecoderEvents& events_;
    IntervalState state_;
    std::int32_t ctrlClickLock_ = 0;
    bool settingLimits_ = false;
};

}  // namespace quelp
