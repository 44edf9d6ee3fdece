#pragma once
// The main decoder: turns the key state of the main channel, once per input
// sample, into elements, characters and word spaces, tracks the sender's
// speed, shows it in the status bar and keeps the speed window of the lock.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>

#include "app/QuelpParams.h"
#include "decoder/BurstFilter.h"
#include "decoder/IntervalMachine.h"
#include "decoder/SpinControl.h"
#include "ports/MainView.h"

namespace quelp {

class MainDecoder {
  public:
    // `displayHoldOff` is the application's count of input buffers without
    // repaint; the lock button clears it.
    MainDecoder(Quelp_Params& params, MainView& view, std::atomic<int>& displayHoldOff);
    MainDecoder(const MainDecoder&) = delete;
    MainDecoder& operator=(const MainDecoder&) = delete;

    // Where characters (tree index >= 2) and word spaces (0) go.
    std::function<void(std::uint32_t code)> EmitCharacter;
    // Called after SetSpeedLimits has applied a lock, so the multi-channel
    // decoder can re-apply the main speed window to its channels.
    std::function<void()> SpeedWindowApplied;

    // The burst filter; its BurstLength is set by the burst-filter menu.
    BurstFilter Burst;

    // One sample of the key state (envelope above the detector threshold).
    void DecodeSample(bool key) {
        Host host{*this};
        IntervalStep(state_, host, Burst.Step(key));
    }
    bool BurstFilterStep(bool key) { return Burst.Step(key); }

    // Panels 4 (LPM) and 5 (WPM) from the current estimates.
    void UpdateSpeedDisplay();
    void SetSpeedLimits(std::int32_t low, std::int32_t high);

    // The speed-lock button.
    void SpeedLockButtonMouseDown(bool ctrlHeld);
    void SpeedLockButtonClick();
    // The button's pressed state from SpeedLocked (after the settings load).
    void ShowSpeedLock();

    // The speed edits: the operator's text goes into the up-down control,
    // then the window is applied.
    void LowSpeedEditChange(std::string_view text);
    void LowSpeedEditExit(std::string_view text) { LowSpeedEditChange(text); }
    void HighSpeedEditChange(std::string_view text);
    void HighSpeedEditExit(std::string_view text) { HighSpeedEditChange(text); }

    SpinControl LowSpeedUpDown;
    SpinControl HighSpeedUpDown;
    std::int32_t CtrlClickLock = 0;

    // The current pause in dot lengths; the block processor reads and grows
    // it while the squelch is closed, go-to-max clears it.
    double& PauseDots() { return state_.PauseDots; }
    std::int32_t DecodedChars() const { return params_.DecodedChars; }

    const IntervalState& State() const { return state_; }
    IntervalState& State() { return state_; }

  private:
    struct Host {
        MainDecoder& d;
        static constexpr bool kTracksPauseDots = true;
        std::int32_t& DotLen() { return d.params_.DotLen; }
        std::int32_t& DashLen() { return d.params_.DashLen; }
        std::int32_t& ShortPauseLen() { return d.params_.ShortPauseLen; }
        bool LockActive() const { return d.params_.SpeedLocked != 0; }
        std::int32_t LowerDotLimit() const { return d.params_.LowerDotLimit; }
        std::int32_t UpperDotLimit() const { return d.params_.UpperDotLimit; }
        void CharacterEnded(std::uint32_t code) { d.CharacterEnded(code); }
        void WordSpace() { d.WordSpace(); }
    };

    void CharacterEnded(std::uint32_t code);
    void WordSpace();
    void Emit(std::uint32_t code) {
        if (EmitCharacter) EmitCharacter(code);
    }

    Quelp_Params& params_;
    MainView& view_;
    std::atomic<int>& displayHoldOff_;
    IntervalState state_;
    bool settingLimits_ = false;
};

}  // namespace quelp
