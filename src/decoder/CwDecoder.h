#pragma once
// One channel of the multi-channel decoder: a quadrature mixer at the
// channel's bin, the main filter's decimators and low-pass on each branch, an
// envelope detector, an automatic threshold of its own, and the burst filter
// and interval machine of the main decoder on the channel's own state. The
// channel reads the main decoder's speed window and threshold limit through
// references it is given; its characters go to a callback (the scan grid).

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>

#include "decoder/BurstFilter.h"
#include "decoder/DecoderSpeed.h"
#include "decoder/IntervalMachine.h"
#include "dsp/DetectorLevels.h"
#include "dsp/IqFilterChain.h"
#include "dsp/LevelTracker.h"
#include "dsp/SineTable.h"

namespace quelp {

// What the channels take over from the main receiver (0 or 1 each).
struct ChannelReuse {
    int ReUseThresholdLimit = 0;  // the main window's fixed threshold limit
    int ReUseSpeedLimits = 0;     // the main decoder's locked speed window
};

class TCwDecoder {
  public:
    // The threshold estimator closes a window on its 5513th sample (half a
    // second at 11025 Hz).
    static constexpr int kWindowSamples = 5512;
    static constexpr double kEnergyFloor = 1e-12;
    // A new channel starts slow, at about 25 LPM.
    static constexpr std::int32_t kStartDotLen = 2600;
    static constexpr std::int32_t kStartPhaseStep = 2976;
    static constexpr int kDefaultFilter = 140;

    // The main decoder's lock and dot limits, the reuse switches and the main
    // MinAutoThreshold are read as they stand.
    TCwDecoder(const SineTable& sine, const DetectorLevels& levels, const DecoderSpeed& speed,
               const ChannelReuse& reuse);
    TCwDecoder(const TCwDecoder&) = delete;
    TCwDecoder& operator=(const TCwDecoder&) = delete;

    // Where a finished character (tree index >= 2) or a word space (0) goes,
    // with this channel as the sender.
    std::function<void(const TCwDecoder&, std::uint32_t code)> EmitChannelCharacter;

    // One raw input sample. manualFloor: the threshold rests on the main
    // window's fixed limit MinAutoThreshold instead of the channel's own
    // noise floor (the caller decides whether the main limit is reused).
    void Step(std::int16_t s, bool manualFloor) {
        Level = FilterChain(s * (1.0 / 16384.0));
        ChannelThreshold = ThresholdStep(Level, manualFloor);
        Host host{*this};
        IntervalStep(state_, host, Burst.Step(Level > ChannelThreshold));
    }

    // Loads the main filter of `code` (aliases and unknown codes as the main
    // filter menu resolves them); clears the decimation gates and the held
    // level. The decimators keep their history.
    void SetFilter(int code);
    // Stores the burst filter length and restarts the mixer phase at the next
    // sample.
    void SetBurstLength(std::int32_t samples);
    // The main decoder's lock window applied to this channel's estimates.
    void ApplySpeedWindow(std::int32_t lowerDotLimit, std::int32_t upperDotLimit);

    // Mixer increment: 16 per bin of the 2048-point spectrum.
    std::int32_t PhaseStep = kStartPhaseStep;
    bool ResetPhase = true;           // the next sample starts from phase 0
    int FilterKind = kDefaultFilter;  // canonical main filter code; change it with SetFilter
    RateCode Rate() const { return rate_; }

    double Level = 0.0;  // envelope of the last sample, 1.0 about full scale
    double ChannelThreshold = 0.1;
    // The channel's own lower limit of the threshold (key-up noise).
    double NoiseFloor() const { return tracker_.NoiseFloor(); }

    BurstFilter Burst;
    std::int32_t DotLen = kStartDotLen;
    std::int32_t DashLen = 1986;
    std::int32_t ShortPauseLen = kStartDotLen;
    const IntervalState& State() const { return state_; }

  private:
    struct Host {
        TCwDecoder& c;
        static constexpr bool kTracksPauseDots = false;
        std::int32_t& DotLen() { return c.DotLen; }
        std::int32_t& DashLen() { return c.DashLen; }
        std::int32_t& ShortPauseLen() { return c.ShortPauseLen; }
        bool LockActive() const {
            return c.speed_.SpeedLocked != 0 && c.reuse_.ReUseSpeedLimits != 0;
        }
        std::int32_t LowerDotLimit() const { return c.speed_.LowerDotLimit; }
        std::int32_t UpperDotLimit() const { return c.speed_.UpperDotLimit; }
        void CharacterEnded(std::uint32_t code) {
            if (code != 1) c.Emit(code);
        }
        void WordSpace() { c.Emit(0); }
    };

    void Emit(std::uint32_t code) {
        if (EmitChannelCharacter) EmitChannelCharacter(*this, code);
    }

    double FilterChain(double x) {
        return DispatchRate(rate_, [&]<RateCode R>() { return Run<R>(x); });
    }

    template <RateCode R>
    double Run(double x) {
        if (ResetPhase) {
            phase_ = 0;
            ResetPhase = false;
        }
        phase_ = (phase_ + (PhaseStep & SineTable::kMask)) & SineTable::kMask;
        const double xs = x * SineTable::kScale;
        double i = sine_.Sin(phase_) * xs;
        double q = sine_.Cos(phase_) * xs;
        if (!stages_.Run<R>(gates_, i, q)) return held_;
        const double e = i * i + q * q;
        held_ = e > kEnergyFloor ? std::sqrt(e) : 0.0;
        return held_;
    }

    double ThresholdStep(double x, bool manualFloor) {
        bool newFloor = false;
        const double reference = tracker_.Step(x, newFloor);
        const double floor = manualFloor ? levels_.MinAutoThreshold : tracker_.NoiseFloor();
        return LevelTracker::ThresholdFor(reference, floor);
    }

    const SineTable& sine_;
    const DetectorLevels& levels_;
    const DecoderSpeed& speed_;
    const ChannelReuse& reuse_;

    // Mixer and filter chain.
    std::int32_t phase_ = 0;
    RateCode rate_ = RateCode::R919;
    StageGates gates_;
    double held_ = 0.0;
    IqFilterChain stages_;

    // Threshold estimator.
    LevelTracker tracker_{kWindowSamples};

    IntervalState state_;
};

}  // namespace quelp
