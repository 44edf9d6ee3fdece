#pragma once
// The filter side of the sound output selection: which table a `SoundFilter`
// code loads into DspSound. The codes are the main filter codes (3500 for the
// 3000 Hz FIR, 101/251/1001 for the IIR sets); 0 is sound off and 9998 the
// unfiltered input, neither of which uses DspSound.

#include "dsp/DspSound.h"

namespace quelp {

namespace sound_filter {
inline constexpr int Off = 0;
inline constexpr int Bypass = 9998;
}  // namespace sound_filter

// Configures `sound` for a filtering code and returns true; returns false and
// leaves `sound` untouched for 0, 9998 and unknown codes (the main filter
// aliases 1, 2 and 3 are not sound filter codes).
bool ApplySoundFilter(DspSound& sound, int code);

}  // namespace quelp
