#pragma once
// Half-band style low-pass FIR that keeps every second sample: an output is
// computed on the 2nd, 4th, ... call; the other calls only store the input and
// return the previous output.

#include <array>
#include <cstdint>

#include "dsp/DotProduct.h"

namespace quelp {

class Decimator2 {
  public:
    static constexpr int kTaps = 45;
    // Coefficients 0..44 (symmetric; sum 0.986425). At 11025 Hz in: -3 dB at
    // 2177 Hz, -40 dB from 2646 Hz on.
    static const std::array<double, kTaps> kCoefficients;

    double Step(double x);
    void Reset() { *this = Decimator2(); }

  private:
    // The delay line is kept twice over (every sample written at p and p + 45)
    // and filled downwards, so the newest 45 samples always lie contiguous and
    // newest first at delay_[position_ ...]: the convolution reads straight
    // memory with no wrap and no modulo.
    int32_t position_ = 0;  // where the newest sample sits, 0..44
    std::array<double, 2 * kTaps> delay_{};
    // Counts every call; only its parity matters, so it wraps harmlessly after
    // 2^32 calls (about 108 hours at 11025 Hz).
    uint32_t calls_ = 0;
    double output_ = 0.0;  // last computed output, returned on every call
};

// Inline: called on every input sample, and most calls only store.
inline double Decimator2::Step(double x) {
    position_ = (position_ == 0 ? kTaps : position_) - 1;
    delay_[position_] = x;
    delay_[position_ + kTaps] = x;
    if ((calls_ & 1U) != 0) {
        // Coefficient 0 times the newest sample, 1 times the one before, ...
        output_ = DotProduct(kCoefficients.data(), &delay_[position_], kTaps);
    }
    ++calls_;
    return output_;
}

}  // namespace quelp
