#pragma once
// The filter stages behind a quadrature mixer: on each branch (I and Q) a
// cascade of decimators and a low-pass main filter, FIR at one of four rates
// or IIR at the full rate. The receive chain's envelope detector and the sound
// output filter both run their mixer outputs through one of these.

#include <cstdint>

#include "dsp/Decimator2.h"
#include "dsp/Decimator3.h"
#include "dsp/FirFilter.h"
#include "dsp/IirFilter.h"

namespace quelp {

// Where the main filter runs. The value is the filter rate in Hz at 11025 Hz
// in (rounded down); -1 is the full-rate IIR, 0 no filter at all.
enum class RateCode : int32_t {
    None = 0,
    R306 = 306,      // Decimator2 A, Decimator2 B, Decimator3 A, Decimator3 B: by 36
    R919 = 919,      // Decimator2 A, Decimator2 B, Decimator3 A: by 12
    R2756 = 2756,    // Decimator2 A, Decimator2 B: by 4
    R11025 = 11025,  // FIR at the full rate
    Iir = -1,        // IIR at the full rate
};

// Runs `run.template operator()<R>()` with the compile-time RateCode R of
// `rate` (a templated lambda), so each user of the stages picks its per-rate
// function with one switch and no indirect call; 0 for RateCode::None.
template <class Run>
inline double DispatchRate(RateCode rate, Run&& run) {
    switch (rate) {
        case RateCode::R306:
            return run.template operator()<RateCode::R306>();
        case RateCode::R919:
            return run.template operator()<RateCode::R919>();
        case RateCode::R2756:
            return run.template operator()<RateCode::R2756>();
        case RateCode::R11025:
            return run.template operator()<RateCode::R11025>();
        case RateCode::Iir:
            return run.template operator()<RateCode::Iir>();
        case RateCode::None:
            break;
    }
    return 0.0;
}

// How many inputs each filter output takes.
constexpr int Decimation(RateCode r) {
    switch (r) {
        case RateCode::R306:
            return 36;
        case RateCode::R919:
            return 12;
        case RateCode::R2756:
            return 4;
        default:
            return 1;
    }
}

// Gate counters of one user of the stages. A user that stops at a gate returns
// its held output, so only every Decimation()-th sample reaches the filter.
struct StageGates {
    int32_t A = 0;  // after Decimator2 A: passes on its 1st, 3rd, 5th ... count
    int32_t B = 0;  // after Decimator2 B: likewise
    int32_t C = 0;  // after Decimator3 A: passes every 3rd
    int32_t D = 0;  // after Decimator3 B: passes every 3rd
};

class IqFilterChain {
  public:
    // Runs one mixer output pair (i, q) through the stages of R. Returns true,
    // with the filter outputs in i and q, when the sample got through every
    // gate; false when a gate stopped it (i and q are then meaningless).
    template <RateCode R>
    bool Run(StageGates& g, double& i, double& q) {
        static_assert(R != RateCode::None);
        if constexpr (R == RateCode::Iir) {
            i = iirI.Step(i);
            q = iirQ.Step(q);
            return true;
        } else {
            if constexpr (R != RateCode::R11025) {
                i = d2aI.Step(i);
                q = d2aQ.Step(q);
                // Odd counts pass; Decimator2 computes on even calls, so the
                // output read here is the one computed one input earlier. The
                // counter only ever matters by its parity, so it toggles.
                g.A ^= 1;
                if (g.A == 0) return false;
                i = d2bI.Step(i);
                q = d2bQ.Step(q);
                g.B ^= 1;
                if (g.B == 0) return false;
            }
            if constexpr (R == RateCode::R919 || R == RateCode::R306) {
                i = d3aI.Step(i);
                q = d3aQ.Step(q);
                if (++g.C < 3) return false;
                g.C = 0;
            }
            if constexpr (R == RateCode::R306) {
                i = d3bI.Step(i);
                q = d3bQ.Step(q);
                if (++g.D < 3) return false;
                g.D = 0;
            }
            i = firI.Step(i);
            q = firQ.Step(q);
            return true;
        }
    }

    void ConfigureFir(const FirTable& t) {
        firI.Configure(t);
        firQ.Configure(t);
    }
    void ConfigureFir(int32_t taps, const double* coefficients) {
        firI.Configure(taps, coefficients);
        firQ.Configure(taps, coefficients);
    }
    void ConfigureIir(const IirSections& numerators, const IirSections& denominators, double gain) {
        iirI.Configure(denominators, numerators, gain);
        iirQ.Configure(denominators, numerators, gain);
    }

    Decimator2 d2aI, d2aQ, d2bI, d2bQ;
    Decimator3 d3aI, d3aQ, d3bI, d3bQ;
    FirFilter firI, firQ;
    IirFilter iirI, iirQ;
};

}  // namespace quelp
