#include "dsp/DspSound.h"

namespace quelp {

DspSound::DspSound(const SineTable& sine, const int32_t& phaseStep)
    : sine_(sine), phaseStep_(phaseStep) {}

void DspSound::Restart() {
    phase_ = 0;
    heldI_ = 0.0;
    heldQ_ = 0.0;
    gates_ = StageGates{};
}

void DspSound::SetFir(int32_t rateCode, int32_t taps, const double* coefficients) {
    disabled_ = 1;
    stages_.ConfigureFir(taps, coefficients);
    Restart();
    const auto rate = static_cast<RateCode>(rateCode);
    if (rate == RateCode::R306 || rate == RateCode::R919 || rate == RateCode::R2756 ||
        rate == RateCode::R11025) {
        rateCode_ = rate;
        disabled_ = 0;
    } else {
        rateCode_ = RateCode::None;
    }
}

void DspSound::SetIir(const IirSections& numerators, const IirSections& denominators, double gain) {
    disabled_ = 1;
    stages_.ConfigureIir(numerators, denominators, gain);
    rateCode_ = RateCode::Iir;
    Restart();
    disabled_ = 0;
}

}  // namespace quelp
