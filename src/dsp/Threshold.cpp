#include "dsp/Threshold.h"

namespace quelp {

double Threshold::AutoThresholdStep(double env) {
    bool newFloor = false;
    const double reference = tracker_.Step(env, newFloor);
    // The lower limit follows the key-up noise unless the operator fixed it.
    if (newFloor && levels_.EnableManualLimit == 0)
        levels_.MinAutoThreshold = tracker_.NoiseFloor();
    return LevelTracker::ThresholdFor(reference, levels_.MinAutoThreshold);
}

Threshold::PickedLevel Threshold::PickLevel(double level) {
    if (autoDown_) {
        if (levels_.EnableManualLimit == 0) return PickedLevel::None;
        levels_.MinAutoThreshold = level;
        return PickedLevel::LowerLimit;
    }
    levels_.DetectorThreshold = level;
    return PickedLevel::Detector;
}

bool Threshold::PickSquelchLevel(double level, bool multiChannelRunning) {
    if (levels_.SquelchEnabled == 0 && !multiChannelRunning) return false;
    levels_.SquelchThreshold = level;
    return true;
}

}  // namespace quelp
