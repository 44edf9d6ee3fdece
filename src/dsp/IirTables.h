#pragma once
// The three 12th-order low-pass IIR tables of the main filter and the sound
// output filter: six second-order sections each, b1 = 2 b0, b2 = b0, a0 = 1,
// unit gain at DC. At 11025 Hz: -3 dB at 16.0 / 40.0 / 158.5 Hz, -40 dB at
// 51.5 / 128.5 / 509.0 Hz.

#include <array>

namespace quelp {

// Six (x0, x1, x2) triples in cascade order.
using IirSections = std::array<std::array<double, 3>, 6>;

struct IirTable {
    double Gain;
    IirSections Numerators;    // b0, b1, b2 per section
    IirSections Denominators;  // a0, a1, a2 per section
};

extern const IirTable Iir100Hz;
extern const IirTable Iir250Hz;
extern const IirTable Iir1000Hz;

}  // namespace quelp
