#include "dsp/SineTable.h"

#include <cmath>

namespace quelp {

SineTable::SineTable() {
    // The truncated 2 pi rounds to the same 32768 entries as the exact one.
    for (int32_t i = 0; i < kSize; ++i) {
        values_[i] = static_cast<int16_t>(
            std::floor(std::sin(i * 6.28318530716 / kSize) * kAmplitude + 0.5));
    }
}

}  // namespace quelp
