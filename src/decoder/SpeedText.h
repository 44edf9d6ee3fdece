#pragma once
// Speed arithmetic and texts shared by the decoders and the status bar.

#include <cstdint>
#include <string>

namespace quelp {

// Samples of one dot at `lpm` letters per minute: floor(6 × fs / lpm + 0.5),
// kept within 1..2^24 so that no later product overflows.
std::int32_t DotSamples(double samplingFreq, std::int32_t lpm);

// A speed in words per minute with the display format "###.0": one decimal,
// rounded half away from zero, no padding and no leading zero (19.98 gives
// "20.0", 5.2 gives "5.2", 0.46 gives ".5").
std::string FormatWpm(double wpm);

}  // namespace quelp
