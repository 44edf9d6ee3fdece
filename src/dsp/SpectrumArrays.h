#pragma once
// The spectrum and oscilloscope arrays of the block processor, read by the
// displays and the tuning operations, and the per-block smoothing of the
// spectrum. All arrays start at zero.

#include <array>

#include "dsp/Bins.h"

namespace quelp {

struct SpectrumArrays {
    static constexpr int kSize = kBlockSize;
    // One oscilloscope entry per this many input samples (20 ms at 11025 Hz).
    static constexpr int kOscDecimation = 221;

    // Last block's transform, unscaled, all 2048 bins.
    std::array<double, kSize> FftRe{};
    std::array<double, kSize> FftIm{};
    // Smoothed and peak-hold magnitude in units of 2^23 (a full-scale sine
    // centred on a bin reads about 4.0); only bins kFirstBin..kLastBin are maintained.
    std::array<double, kSize> SpectrumAvg{};
    std::array<double, kSize> SpectrumPeak{};
    // Envelope history, newest entry at OscIndex (0..2047).
    std::array<double, kSize> OscRing{};
    int OscIndex = 0;
    int OscCounter = 0;  // samples since the last ring entry, 0..220

    // Blocks during which SpectrumPeak only decays (set to 2 before a rig
    // retune, so the old signal's peak does not come back at the new place).
    // Lives here because the smoothing step reads and counts it.
    int PeakFreezeBlocks = 0;

    // Start-up state of the oscilloscope: ring cleared, index 0.
    void ClearOscilloscope();
    // One envelope value per input sample; every 221st is stored in the ring.
    void RecordOscilloscope(double envelope);
};

// Per-block spectrum update from FftRe/FftIm, bins kFirstBin..kLastBin: peaks decay by
// 0.95, the magnitude (scaled by 2^-23, 0 below an energy of 1e-12) is
// averaged as (2 m + avg) / 3, and the peak follows the average upwards
// unless PeakFreezeBlocks is set; then PeakFreezeBlocks counts down by one.
void SmoothSpectrum(SpectrumArrays& arrays);

// After the rig moved the band by `shift` bins: SpectrumPeak (bins
// kFirstBin..kLastBin) follows the signals to their new place, at a tenth of
// their height so the old picture fades; bins that nothing moved into are 0.
// shift > 0 moves the picture down (value[i] takes value[i + shift]).
void ShiftSpectrumPeak(SpectrumArrays& arrays, int shift);

}  // namespace quelp
