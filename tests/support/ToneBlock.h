#pragma once
// One block of a sine centred on a bin (a whole number of cycles, so blocks
// in a row join without a phase jump), plus optional uniform noise.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "dsp/Bins.h"

namespace quelp::test {

inline std::vector<std::int16_t> ToneBlock(int bin, double amplitude, double noise = 0.0,
                                           std::uint32_t seed = 1) {
    std::vector<std::int16_t> block(kBlockSize);
    for (int n = 0; n < kBlockSize; ++n) {
        seed = seed * 1664525u + 1013904223u;
        const double u = static_cast<double>(seed >> 8) / (1u << 24) - 0.5;
        const double v =
            amplitude * std::sin(2.0 * std::numbers::pi * bin * n / kBlockSize) + 2.0 * noise * u;
        block[static_cast<std::size_t>(n)] =
            static_cast<std::int16_t>(std::clamp(std::lround(v), -32767L, 32767L));
    }
    return block;
}

}  // namespace quelp::test
