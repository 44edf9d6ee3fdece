#pragma once
// The main decoder's speed: the speed window of the lock and the running
// estimates of the sender's timing, in samples. The channels of the
// multi-channel decoder read the window when they are to reuse it.

#include <cstdint>
#include <optional>

#include "decoder/IntervalMachine.h"

namespace quelp {

struct DecoderSpeed {
    std::int32_t SpeedLocked = 0;      // speed lock on (1) or off (0)
    std::int32_t LowerSpeed = 100;     // speed window, LPM (5..3000)
    std::int32_t HigherSpeed = 150;    // speed window, LPM (5..3000)
    std::int32_t UpperDotLimit = 662;  // longest dot accepted while locked, samples
    std::int32_t LowerDotLimit = 441;  // shortest dot accepted while locked, samples
    std::int32_t DotLen = 662;         // dot-length estimate, samples
    std::int32_t DashLen = 1986;       // dash-length estimate, samples
    std::int32_t ShortPauseLen = 662;  // element-gap estimate, samples
    std::int32_t DecodedChars = 0;     // character ends since start
};

// Samples of one dot at `lpm` letters per minute: floor(6 x fs / lpm + 0.5),
// kept within 1..2^24 so that no later product overflows.
std::int32_t DotSamples(double samplingFreq, std::int32_t lpm);

// The speed the estimates stand for, from the timing of PARIS with its word
// space (10 dots, 4 dashes, 9 element gaps, 4 character gaps, 1 word gap):
// words per minute, and letters per minute as shown (5 x WPM, rounded by
// adding 0.5 and truncating). Nothing while that timing is not positive.
struct SenderSpeed {
    double wpm = 0.0;
    long long lpm = 0;
};
std::optional<SenderSpeed> MeasuredSpeed(const DecoderSpeed& speed, const IntervalState& state,
                                         double samplingFreq);

}  // namespace quelp
