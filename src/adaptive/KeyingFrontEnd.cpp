#include "adaptive/KeyingFrontEnd.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quelp {

KeyingFrontEnd::KeyingFrontEnd(double sampleRate)
    : sampleRate_(sampleRate > 0.0 ? sampleRate : 11025.0),
      decimation_(std::max(1, static_cast<int>(std::lround(sampleRate_ / kStageRate)))),
      stageRate_(sampleRate_ / decimation_) {
    SetFrequency(700.0);
    SetUnit(0.06);
}

void KeyingFrontEnd::SetFrequency(double hz) {
    freqHz_ = hz;
    rotation_ = std::polar(1.0, -2.0 * std::numbers::pi * hz / sampleRate_);
}

namespace {

// A raised-cosine window of n taps summing to 1.
std::vector<double> RaisedCosine(int n) {
    std::vector<double> taps(static_cast<std::size_t>(n));
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * (i + 1) / (n + 1));
        taps[static_cast<std::size_t>(i)] = w;
        sum += w;
    }
    for (double& w : taps) w /= sum;
    return taps;
}

}  // namespace

void KeyingFrontEnd::SetUnit(double seconds) {
    unit_ = std::clamp(seconds, 0.005, 1.0);
    const int n =
        std::clamp(static_cast<int>(std::lround(matchedSpan_ * unit_ * stageRate_)), 3, 600);
    taps_ = RaisedCosine(n);
    // An odd difference keeps both middles on the same tap.
    int m = std::clamp(static_cast<int>(std::lround(kSharpSpan * unit_ * stageRate_)), 1, n);
    if ((n - m) % 2 != 0) ++m;
    sharpTaps_ = RaisedCosine(std::min(m, n));
    sharpOffset_ = static_cast<std::size_t>((n - static_cast<int>(sharpTaps_.size())) / 2);
    ring_.assign(taps_.size(), {});
    pos_ = 0;
    frameStep_ = std::max(1, static_cast<int>(std::lround(unit_ * stageRate_ / kFramesPerUnit)));
    sinceFrame_ = 0;
}

bool KeyingFrontEnd::Step(double x, std::complex<double>& frame) {
    std::complex<double> sharp;
    return Step(x, frame, sharp);
}

bool KeyingFrontEnd::Step(double x, std::complex<double>& frame, std::complex<double>& sharp) {
    sum_ += x * osc_;
    osc_ *= rotation_;
    // The recursive oscillator drifts in amplitude by rounding; a division
    // now and then keeps it on the unit circle.
    if (++sinceRenormalise_ >= 1024) {
        sinceRenormalise_ = 0;
        osc_ /= std::abs(osc_);
    }
    if (++summed_ < decimation_) return false;
    ring_[pos_] = sum_ / static_cast<double>(decimation_);
    pos_ = (pos_ + 1) % ring_.size();
    sum_ = {};
    summed_ = 0;
    if (++sinceFrame_ < frameStep_) return false;
    sinceFrame_ = 0;
    std::complex<double> y{};
    const std::size_t n = ring_.size();
    for (std::size_t i = 0; i < n; ++i) y += taps_[i] * ring_[(pos_ + i) % n];
    frame = y;
    std::complex<double> z{};
    for (std::size_t i = 0; i < sharpTaps_.size(); ++i) {
        z += sharpTaps_[i] * ring_[(pos_ + sharpOffset_ + i) % n];
    }
    sharp = z;
    return true;
}

}  // namespace quelp
