#include "dsp/Bins.h"

#include <cmath>
#include <limits>

namespace quelp {

namespace {

constexpr double kBinLimit = 1 << 20;

int LimitedInt(double x, double limit) {
    if (std::isnan(x)) return 0;
    if (x <= -limit) return static_cast<int>(-limit);
    if (x >= limit) return static_cast<int>(limit);
    return static_cast<int>(x);
}

}  // namespace

int HzToBin(double hz, double samplingFreq) {
    if (!(samplingFreq > 0.0) || !std::isfinite(samplingFreq)) return 0;
    return LimitedInt(std::floor(hz * kBlockSize / samplingFreq + 0.5), kBinLimit);
}

int BinToHz(int bin, double samplingFreq) {
    constexpr double kIntLimit = std::numeric_limits<int>::max();
    const double hz = std::floor(bin * samplingFreq / kBlockSize + 0.5);
    if (std::isnan(hz)) return 0;
    if (hz <= -kIntLimit - 1.0) return std::numeric_limits<int>::min();
    if (hz >= kIntLimit) return std::numeric_limits<int>::max();
    return static_cast<int>(hz);
}

}  // namespace quelp
