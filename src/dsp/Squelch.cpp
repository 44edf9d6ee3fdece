#include "dsp/Squelch.h"

namespace quelp {

bool SquelchOpen(const Quelp_Params& params, const std::array<double, 2048>& spectrumPeak,
                 int signalBin) {
    if (params.SquelchEnabled == 0) return true;
    if (signalBin < 0 || signalBin >= static_cast<int>(spectrumPeak.size())) return false;
    return spectrumPeak[static_cast<size_t>(signalBin)] >= params.SquelchThreshold;
}

}  // namespace quelp
