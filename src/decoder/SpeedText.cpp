#include "decoder/SpeedText.h"

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

std::string FormatWpm(double wpm) {
    if (!std::isfinite(wpm)) return "0.0";
    const bool negative = wpm < 0;
    const double tenths = std::round(std::fabs(wpm) * 10.0);  // half away from zero
    if (tenths >= 9.0e17) return "0.0";
    const auto t = static_cast<long long>(tenths);
    std::string text = negative && t != 0 ? "-" : "";
    if (t / 10 != 0) text += std::to_string(t / 10);
    text += '.';
    text += static_cast<char>('0' + t % 10);
    return text;
}

}  // namespace quelp
