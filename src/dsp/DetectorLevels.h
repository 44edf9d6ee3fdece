#pragma once
// The levels that decide what counts as key-down: the detector threshold, the
// lower limit of the automatic threshold and the squelch, with their
// switches. Levels are envelope values, 1.0 about full scale.

namespace quelp {

struct DetectorLevels {
    double DetectorThreshold = 0.1;
    double MinAutoThreshold = 0.001;  // lower limit of the automatic threshold
    double SquelchThreshold = 0.005;  // squelch level
    int SquelchEnabled = 0;
    int EnableManualLimit = 0;  // the lower limit is the operator's, not estimated
};

}  // namespace quelp
