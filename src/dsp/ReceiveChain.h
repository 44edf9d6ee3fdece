#pragma once
// The main receive chain: a quadrature mixer at the receive frequency, the
// decimators and main filter of the selected rate on each branch, and a
// magnitude detector. One call per input sample gives the envelope of the
// selected signal (1.0 about full scale).

#include <array>
#include <cmath>
#include <cstdint>

#include "dsp/FirTables.h"
#include "dsp/IirTables.h"
#include "dsp/IqFilterChain.h"
#include "dsp/SineTable.h"

namespace quelp {

class ReceiveChain {
  public:
    // Below this energy (I^2 + Q^2) the envelope is exactly 0.
    static constexpr double kEnergyFloor = 1e-12;
    // Mixer phase increment at program start: bin 186 (about 1001 Hz).
    static constexpr int32_t kStartPhaseStep = 2976;

    // The chain starts with the 140 Hz FIR loaded at rate 919, as at program
    // start.
    explicit ReceiveChain(const SineTable& sine);

    // x: the input sample times 2^-14. Returns the envelope (>= 0). Between
    // decimated updates the active function returns its held envelope.
    double EnvelopeFunction(double x) {
        return DispatchRate(active_, [&]<RateCode R>() { return Run<R>(x); });
    }

    // Loads the FIR table into the I and Q main FIR (delay lines zeroed) and
    // makes the function of `rate` (306, 919, 2756 or 11025) the active one.
    // Decimators and the other functions' phases, gates and held envelopes
    // are left as they are. Other rates are ignored.
    void LoadFir(const FirTable& table, RateCode rate);
    // Loads the IIR table into the I and Q main IIR (state zeroed) and makes
    // the IIR function the active one.
    void LoadIir(const IirTable& table);

    RateCode ActiveRate() const { return active_; }

    // Mixer phase increment per input sample, in 1/32768 cycle (16 per FFT
    // bin); the tuning code sets it.
    int32_t PhaseStep = kStartPhaseStep;
    // When set, the function that runs next restarts its own phase at 0 and
    // clears the flag (raised when the burst filter is set).
    int PhaseResetFlag = 0;

  private:
    // Each main-chain function keeps its own oscillator phase, gates and held
    // envelope, so switching filters back and forth resumes where it was.
    struct FunctionState {
        int32_t phase = 0;  // 0..32767
        double held = 0.0;  // last envelope
        StageGates gates;
    };

    static constexpr int Slot(RateCode r) {
        switch (r) {
            case RateCode::R306:
                return 0;
            case RateCode::R919:
                return 1;
            case RateCode::R2756:
                return 2;
            case RateCode::R11025:
                return 3;
            default:
                return 4;
        }
    }

    template <RateCode R>
    double Run(double x) {
        FunctionState& f = functions_[Slot(R)];
        if (PhaseResetFlag != 0) {
            f.phase = 0;
            PhaseResetFlag = 0;
        }
        // Masking the step first keeps the sum far from overflow whatever the
        // tuning code stores; modulo 32768 it is the same phase.
        f.phase = (f.phase + (PhaseStep & SineTable::kMask)) & SineTable::kMask;
        const double xs = x * SineTable::kScale;
        double i = sine_.Sin(f.phase) * xs;
        double q = sine_.Cos(f.phase) * xs;
        if (!stages_.Run<R>(f.gates, i, q)) return f.held;
        const double e = i * i + q * q;
        f.held = e > kEnergyFloor ? std::sqrt(e) : 0.0;
        return f.held;
    }

    const SineTable& sine_;
    IqFilterChain stages_;
    std::array<FunctionState, 5> functions_{};
    RateCode active_ = RateCode::R919;
};

}  // namespace quelp
