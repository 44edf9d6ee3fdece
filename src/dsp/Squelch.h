#pragma once
// The squelch: decoding (and the automatic threshold) runs for a block only
// while the peak-hold spectrum at the receive bin reaches the squelch level.

#include <array>

#include "dsp/Bins.h"
#include "dsp/DetectorLevels.h"

namespace quelp {

// Open when the squelch is disabled, or SpectrumPeak[signalBin] is at least
// SquelchThreshold. A bin outside the array reads as silence.
bool SquelchOpen(const DetectorLevels& levels, const std::array<double, kBlockSize>& spectrumPeak,
                 int signalBin);

}  // namespace quelp
