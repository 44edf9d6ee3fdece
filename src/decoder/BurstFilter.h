#pragma once
// The burst filter: an integrating debouncer on the key state. A key-down
// burst shorter than BurstLength samples never fills the integrator and is
// dropped; a key-up gap shorter than BurstLength inside a full mark never
// drains it and is bridged. Both edges are delayed alike, so interval lengths
// are kept.

#include <cstdint>

namespace quelp {

// The burst filter's length for a keying speed of `lpm` letters per minute,
// and back: 35000 / n rounded, in integer arithmetic. 35000 is a fixed count,
// it does not follow the sampling rate. Both want n >= 1.
inline std::int32_t BurstQuotient(std::int32_t n) {
    return (n / 2 + 35000) / n;
}

struct BurstFilter {
    // Integrator length in samples: (35000 + L/2) / L for a burst-filter
    // speed of L LPM; written by the burst-filter menu and the settings.
    std::int32_t BurstLength = 175;
    std::int32_t BurstCount = 0;  // 0..BurstLength
    std::int32_t BurstKey = 0;    // filtered key, 0 or 1

    bool Step(bool key) {
        if (key) {
            if (BurstCount < BurstLength) ++BurstCount;
        } else if (BurstCount > 0) {
            --BurstCount;
        }
        if (BurstCount >= BurstLength) {
            BurstKey = 1;
        } else if (BurstCount == 0) {
            BurstKey = 0;
        }
        return BurstKey != 0;
    }
};

}  // namespace quelp
