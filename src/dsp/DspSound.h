#pragma once
// The sound output filter: the receive chain's mixer, decimators and filter
// tables, with the filtered I/Q pair mixed back up to the receive frequency.
// A tone of amplitude A on the mixer frequency inside the pass band comes out
// as a tone of amplitude about A/2 at the same frequency.

#include <cstdint>

#include "dsp/IqFilterChain.h"
#include "dsp/SineTable.h"

namespace quelp {

class DspSound {
  public:
    // phaseStep: the mixer's phase increment per sample (1/32768 cycle), the
    // same one the receive chain uses; read on every sample.
    DspSound(const SineTable& sine, const int32_t& phaseStep);
    DspSound(const DspSound&) = delete;
    DspSound& operator=(const DspSound&) = delete;
    ~DspSound() { disabled_ = 1; }

    // Loads the FIR table on both branches at `rateCode` (306, 919, 2756 or
    // 11025) and restarts phase, held outputs and gates. Any other rate code
    // leaves the filter disabled.
    void SetFir(int32_t rateCode, int32_t taps, const double* coefficients);
    // Loads the IIR tables on both branches and restarts as SetFir does.
    void SetIir(const IirSections& numerators, const IirSections& denominators, double gain);

    // sample: the raw 16-bit input sample (not scaled). Returns the filtered
    // audio in the same units, halved by the mixing; 0 while disabled.
    double Process(double sample) {
        return DispatchRate(rateCode_, [&]<RateCode R>() { return Run<R>(sample); });
    }

    bool Disabled() const { return disabled_ != 0; }
    RateCode Rate() const { return rateCode_; }

  private:
    template <RateCode R>
    double Run(double sample) {
        if (disabled_ != 0) return 0.0;
        phase_ = (phase_ + (phaseStep_ & SineTable::kMask)) & SineTable::kMask;
        const double c = sine_.Sin(phase_) * SineTable::kScale;
        const double s = sine_.Cos(phase_) * SineTable::kScale;
        double i = sample * c;
        double q = sample * s;
        if (stages_.Run<R>(gates_, i, q)) {
            heldI_ = i;
            heldQ_ = q;
        }
        // Re-mixed with this sample's oscillator: between decimated updates the
        // baseband is held (zero-order hold).
        return c * heldI_ + s * heldQ_;
    }

    void Restart();

    const SineTable& sine_;
    const int32_t& phaseStep_;
    int32_t phase_ = 0;  // 0..32767
    double heldI_ = 0.0;
    double heldQ_ = 0.0;
    StageGates gates_;
    int disabled_ = 1;
    RateCode rateCode_ = RateCode::None;
    IqFilterChain stages_;
};

}  // namespace quelp
