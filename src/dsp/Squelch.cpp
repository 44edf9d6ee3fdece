#include "dsp/Squelch.h"

#include <cstddef>

namespace quelp {

bool SquelchOpen(const DetectorLevels& levels, const std::array<double, kBlockSize>& spectrumPeak,
                 int signalBin) {
    if (levels.SquelchEnabled == 0) return true;
    if (signalBin < 0 || signalBin >= static_cast<int>(spectrumPeak.size())) return false;
    return spectrumPeak[static_cast<std::size_t>(signalBin)] >= levels.SquelchThreshold;
}

}  // namespace quelp
