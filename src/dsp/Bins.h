#pragma once
// The receiver's unit of time and of frequency. Audio travels in blocks of
// 2048 samples, and each block's spectrum has 2048 bins: bin k is
// k x SamplingFreq / 2048 Hz (5.383 Hz at 11025 Hz). Only bins 32 to 558
// (about 172 to 3004 Hz) are smoothed, searched, tuned to and shown.

namespace quelp {

// Samples per block, and points of the block's spectrum.
inline constexpr int kBlockSize = 2048;
// The usable band.
inline constexpr int kFirstBin = 32;
inline constexpr int kLastBin = 558;

// floor(hz x 2048 / samplingFreq + 0.5). The calibrated rate comes from a
// settings file unchecked: a rate that is not a positive finite number
// gives 0, and the result is limited to +-2^20 bins (far beyond any
// spectrum), so the conversion never leaves the range of int.
int HzToBin(double hz, double samplingFreq);

// floor(bin x samplingFreq / 2048 + 0.5), limited to the range of int; 0
// when that is not a number.
int BinToHz(int bin, double samplingFreq);

}  // namespace quelp
