#include "dsp/SpectrumArrays.h"

#include <algorithm>
#include <cmath>

namespace quelp {

void SpectrumArrays::ClearOscilloscope() {
    OscRing.fill(0.0);
    OscIndex = 0;
    OscCounter = 0;
}

void SpectrumArrays::RecordOscilloscope(double envelope) {
    if (++OscCounter < kOscDecimation) return;
    OscCounter = 0;
    OscIndex = (OscIndex + 1) & (kSize - 1);
    OscRing[static_cast<size_t>(OscIndex)] = envelope;
}

void SmoothSpectrum(SpectrumArrays& a) {
    constexpr double kScale = 1.1920928955078125e-07;  // 2^-23
    const bool frozen = a.PeakFreezeBlocks > 0;
    for (size_t k = kFirstBin; k <= kLastBin; ++k) {
        a.SpectrumPeak[k] *= 0.95;
        const double r = a.FftRe[k] * kScale, i = a.FftIm[k] * kScale;
        const double e = r * r + i * i;
        const double m = e > 1e-12 ? std::sqrt(e) : 0.0;
        a.SpectrumAvg[k] = (2.0 * m + a.SpectrumAvg[k]) / 3.0;
        if (!frozen && a.SpectrumAvg[k] > a.SpectrumPeak[k]) a.SpectrumPeak[k] = a.SpectrumAvg[k];
    }
    if (a.PeakFreezeBlocks > 0) --a.PeakFreezeBlocks;
}

void ShiftSpectrumPeak(SpectrumArrays& a, int shift) {
    if (shift == 0) return;
    // Beyond the band's width every bin empties; the limit keeps the index
    // sums below within int.
    shift = std::clamp(shift, -kBlockSize, kBlockSize);
    auto& peak = a.SpectrumPeak;
    // Walk away from the side the values come from, so each source is read
    // before it is overwritten.
    if (shift > 0) {
        for (int i = kFirstBin; i <= kLastBin; ++i) {
            const bool inside = i <= kLastBin - shift;
            peak[static_cast<size_t>(i)] =
                inside ? peak[static_cast<size_t>(i + shift)] * 0.1 : 0.0;
        }
    } else {
        for (int i = kLastBin; i >= kFirstBin; --i) {
            const bool inside = i >= kFirstBin - shift;
            peak[static_cast<size_t>(i)] =
                inside ? peak[static_cast<size_t>(i + shift)] * 0.1 : 0.0;
        }
    }
}

}  // namespace quelp
