#pragma once
// The detector threshold: set by hand, or followed automatically (the
// automatic threshold on) by an estimator that sits one third of the way
// from a lower limit up to the strongest envelope of the last four to five
// one-second windows. The lower limit follows 1.565 times the mean of the
// key-up samples unless the operator fixed it (EnableManualLimit).
//
// The levels themselves live in DetectorLevels; this class keeps the
// estimator and whether the threshold is automatic.

#include "dsp/DetectorLevels.h"
#include "dsp/LevelTracker.h"

namespace quelp {

class Threshold {
  public:
    // Samples per estimator window, plus one: a window closes on the 11001st
    // sample (about 1 s at 11025 Hz).
    static constexpr int kWindowSamples = 11000;

    explicit Threshold(DetectorLevels& levels) : levels_(levels) {}

    // One envelope sample while the squelch is open and the automatic
    // threshold is on; returns the new DetectorThreshold (the caller stores
    // it). May re-estimate MinAutoThreshold when a window closes.
    double AutoThresholdStep(double env);

    bool AutoDown() const { return autoDown_; }
    void SetAutoDown(bool down) { autoDown_ = down; }

    // What a level picked on the oscilloscope changed.
    enum class PickedLevel {
        None,        // automatic threshold with an estimated limit: nothing
        LowerLimit,  // automatic threshold with a fixed limit: MinAutoThreshold
        Detector,    // manual threshold: DetectorThreshold
    };
    // A level picked with the mouse on the oscilloscope.
    PickedLevel PickLevel(double level);
    // A level picked on the spectrum: sets SquelchThreshold while the squelch
    // is enabled or the multi-channel decoder runs. Returns whether it did.
    bool PickSquelchLevel(double level, bool multiChannelRunning);

  private:
    DetectorLevels& levels_;
    bool autoDown_ = true;  // automatic at start

    // Estimator, never reset during the run.
    LevelTracker tracker_{kWindowSamples};
};

}  // namespace quelp
