#pragma once
// Half-band style low-pass FIR that keeps every second sample: an output is
// computed on the 2nd, 4th, ... call; the other calls only store the input and
// return the previous output.

#include <array>
#include <cstdint>

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
    int32_t position_ = 0;  // where the next sample is written, 0..44
    std::array<double, kTaps> delay_{};
    int32_t calls_ = 0;    // every call counted, never reset but by Reset()
    double output_ = 0.0;  // last computed output, returned on every call
};

}  // namespace quelp
