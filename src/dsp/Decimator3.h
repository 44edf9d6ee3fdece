#pragma once
// Low-pass FIR that keeps every third sample: an output is computed on the
// 3rd, 6th, ... call; the other calls only store the input.

#include <array>
#include <cstdint>

#include "dsp/DotProduct.h"

namespace quelp {

class Decimator3 {
  public:
    static constexpr int kTaps = 27;
    // Coefficients 0..26 (symmetric; sum 1.000049). At 2756.25 Hz in: -3 dB at
    // 182 Hz, -40 dB from 397 Hz on.
    static const std::array<double, kTaps> kCoefficients;

    double Step(double x);
    void Reset() { *this = Decimator3(); }

  private:
    // Doubled, downward-filled delay line as in Decimator2.
    int32_t position_ = 0;  // where the newest sample sits, 0..26
    std::array<double, 2 * kTaps> delay_{};
    int32_t phase_ = 0;  // 0..2
    double output_ = 0.0;
};

// Inline: called on every input sample, and most calls only store.
inline double Decimator3::Step(double x) {
    position_ = (position_ == 0 ? kTaps : position_) - 1;
    delay_[position_] = x;
    delay_[position_ + kTaps] = x;
    if (++phase_ >= 3) {
        output_ = DotProduct(kCoefficients.data(), &delay_[position_], kTaps);
        phase_ = 0;
    }
    return output_;
}

}  // namespace quelp
