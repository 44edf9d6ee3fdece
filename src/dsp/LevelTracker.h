#pragma once
// The measuring half of an automatic detector threshold, shared by the main
// receiver and every channel of the multi-channel decoder (they differ only
// in the window length and in where the lower limit comes from).
//
// Envelope values are taken in windows of `windowSamples` + 1 samples. The
// reference level is the strongest value of the current window and of the
// four windows before it, so a single strong burst holds the threshold up for
// four to five windows. Values below half the reference are key-up noise;
// when a window closes, 1.565 times their mean becomes the new noise floor.

#include <algorithm>
#include <array>
#include <cstddef>

namespace quelp {

class LevelTracker {
  public:
    static constexpr double kNoiseFactor = 1.565;  // noise floor over the key-up mean
    static constexpr double kRise = 0.33;          // threshold: fraction of floor..reference

    explicit LevelTracker(int windowSamples) : windowSamples_(windowSamples) {}

    // One envelope value; returns the reference level. `newFloor` turns true
    // when a window closed with key-up samples in it: NoiseFloor() then holds
    // the new estimate.
    double Step(double x, bool& newFloor) {
        newFloor = false;
        if (++windowCount_ > windowSamples_) {
            windowCount_ = 0;
            if (lowCount_ != 0) {
                noiseFloor_ = lowSum_ / lowCount_ * kNoiseFactor;
                newFloor = true;
                lowSum_ = 0.0;
                lowCount_ = 0;
            }
            historyIndex_ = (historyIndex_ + 1) & 3;
            history_[static_cast<std::size_t>(historyIndex_)] = windowMax_;
            windowMax_ = 0.0;
            // Envelopes are never negative, so this is the largest entry
            // counted from 0.
            historyMax_ =
                std::max(std::max(history_[0], history_[1]), std::max(history_[2], history_[3]));
        }
        if (x > windowMax_) windowMax_ = x;
        const double reference = historyMax_ > windowMax_ ? historyMax_ : windowMax_;
        if (x < reference * 0.5) {
            lowSum_ += x;
            ++lowCount_;
        }
        return reference;
    }

    double NoiseFloor() const { return noiseFloor_; }

    // The threshold one third of the way from the floor up to the reference,
    // and never below the floor.
    static double ThresholdFor(double reference, double floor) {
        return reference < floor ? floor : floor + (reference - floor) * kRise;
    }

  private:
    int windowSamples_;
    int windowCount_ = 0;
    double windowMax_ = 0.0;
    std::array<double, 4> history_{};
    int historyIndex_ = 0;
    double historyMax_ = 0.0;
    double lowSum_ = 0.0;
    int lowCount_ = 0;
    double noiseFloor_ = 0.0;
};

}  // namespace quelp
