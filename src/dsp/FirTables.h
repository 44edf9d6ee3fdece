#pragma once
// The ten low-pass tables of the main filter and of the sound output filter.
// All symmetric (coefficient k equals coefficient N-1-k), peak gain 1. The
// values are written by tools/gen_fir_tables.py into FirTables.cpp.

#include <cstdint>

namespace quelp {

// A tap count and the coefficients it covers. Coefficient 0 multiplies the
// newest sample of the delay line.
struct FirTable {
    int32_t Taps;
    const double* Coefficients;
};

// Filter rate and use:  306.25 Hz (after decimation by 36)
extern const FirTable Fir10Hz;  // 279 taps
extern const FirTable Fir20Hz;  // 143 taps
extern const FirTable Fir30Hz;  // 111 taps
// 918.75 Hz (decimation by 12)
extern const FirTable Fir70Hz;   // 141 taps
extern const FirTable Fir140Hz;  // 79 taps
extern const FirTable Fir280Hz;  // 45 taps
// 2756.25 Hz (decimation by 4)
extern const FirTable Fir600Hz;  // 63 taps
// 11025 Hz (full rate)
extern const FirTable Fir1000Hz;  // 137 taps
extern const FirTable Fir2000Hz;  // 71 taps
extern const FirTable Fir3000Hz;  // 61 taps

}  // namespace quelp
