#include "dsp/SoundFilter.h"

#include "dsp/MainFilterTable.h"

namespace quelp {

bool ApplySoundFilter(DspSound& sound, int code) {
    const MainFilterRow* row = FindMainFilter(code);
    if (row == nullptr) return false;
    if (row->Fir != nullptr) {
        sound.SetFir(static_cast<int32_t>(row->Rate), row->Fir->Taps, row->Fir->Coefficients);
    } else {
        sound.SetIir(row->Iir->Numerators, row->Iir->Denominators, row->Iir->Gain);
    }
    return true;
}

}  // namespace quelp
