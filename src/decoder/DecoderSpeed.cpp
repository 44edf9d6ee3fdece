#include "decoder/DecoderSpeed.h"

#include <cmath>

namespace quelp {

std::int32_t DotSamples(double samplingFreq, std::int32_t lpm) {
    constexpr double kMaxDot = 1 << 24;
    if (lpm <= 0) return static_cast<std::int32_t>(kMaxDot);
    const double dot = std::floor(6.0 * samplingFreq / lpm + 0.5);
    if (!(dot >= 1.0)) return 1;  // NaN and rates below one sample
    if (dot > kMaxDot) return static_cast<std::int32_t>(kMaxDot);
    return static_cast<std::int32_t>(dot);
}

std::optional<SenderSpeed> MeasuredSpeed(const DecoderSpeed& speed, const IntervalState& state,
                                         double samplingFreq) {
    const std::int64_t t = 10LL * speed.DotLen + 4LL * speed.DashLen + 9LL * speed.ShortPauseLen +
                           4LL * state.CharPauseLen + state.WordPauseLen;
    if (t <= 0) return std::nullopt;
    SenderSpeed s;
    s.wpm = 60.0 * samplingFreq / static_cast<double>(t);
    const double lpm = s.wpm * 5.0 + 0.5;
    s.lpm = lpm >= 0.0 && lpm < 1e15 ? static_cast<long long>(lpm) : 0;  // truncation
    return s;
}

}  // namespace quelp
