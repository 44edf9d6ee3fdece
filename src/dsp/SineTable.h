#pragma once
// The oscillator table of every mixer: one cycle of a sine in 32768 signed
// 16-bit steps, amplitude 32000 (undone by 3.125e-5 wherever it is read).
// A phase p in 1/32768 cycle reads the sine at p and the cosine at
// (p + 8192) & 32767.

#include <array>
#include <cstdint>

namespace quelp {

class SineTable {
  public:
    static constexpr int32_t kSize = 32768;
    static constexpr int32_t kMask = kSize - 1;
    static constexpr int32_t kQuarter = kSize / 4;
    static constexpr double kAmplitude = 32000.0;
    static constexpr double kScale = 3.125e-5;  // 1 / kAmplitude

    SineTable();  // fills the table

    int16_t operator[](int32_t phase) const { return values_[phase & kMask]; }
    int16_t Sin(int32_t phase) const { return values_[phase & kMask]; }
    int16_t Cos(int32_t phase) const { return values_[(phase + kQuarter) & kMask]; }

  private:
    std::array<int16_t, kSize> values_;
};

}  // namespace quelp
