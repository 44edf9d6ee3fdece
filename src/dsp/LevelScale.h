#pragma once
// Mapping between levels (1.0 = full scale) and pixel rows of the spectrum
// and oscilloscope pictures, linear or logarithmic over about 2.5 decades, and
// the fixed-point texts the status bar shows for levels and frequencies.

#include <string>

namespace quelp {

// The logarithmic scale spans exp(-5.75646), about 10^-2.5, from top to
// bottom. The constant is kept as the displays have always used it.
inline constexpr double kLogScaleSpan = 5.75646;

// Pixel row (0 = top) of a level in a picture of the given height.
// Levels at or above 1.0 give the top row, 0 (and on the logarithmic scale
// anything below 1e-10) the bottom row; the result is always within
// 0..height-1, also for negative or non-finite levels and tiny pictures.
int ValueToY(double level, int height, bool logarithmic);

// The level of a pixel row, the inverse of ValueToY; never below 0.
// A picture of height 1 or less has no scale and gives 0.
double YToValue(int row, int height, bool logarithmic);

// Fixed-point text with the given number of decimals, at least one integer
// digit, rounded half away from zero on the value's 15 significant decimal
// digits (so 0.0625 gives "0.063" and 1.0005 gives "1.001" with 3 decimals).
std::string FormatFixed(double value, int decimals);

// A level as panel 3 shows it: "0.000" pattern ("0.100", "1.250").
inline std::string FormatLevel(double level) {
    return FormatFixed(level, 3);
}

}  // namespace quelp
