#include "dsp/IirFilter.h"

namespace quelp {

void IirFilter::Configure(const IirSections& denominators, const IirSections& numerators,
                          double gain) {
    *this = IirFilter();
    denominators_ = &denominators;
    numerators_ = &numerators;
    gain_ = gain;
    unitA0_ = true;
    for (const auto& a : denominators) unitA0_ = unitA0_ && a[0] == 1.0;
}

double IirFilter::Step(double x) {
    if (gain_ < 0.0) return 0.0;
    double v = gain_ * x;
    for (int i = 0; i < 6; ++i) {
        const auto& b = (*numerators_)[i];
        const auto& a = (*denominators_)[i];
        // Division by 1.0 is exact, so the normalised sections skip it: the
        // divisions in series are what limits this filter's speed.
        const double y = unitA0_ ? v * b[0] + s1_[i] : (v * b[0] + s1_[i]) / a[0];
        s1_[i] = v * b[1] + s2_[i] - y * a[1];
        s2_[i] = v * b[2] - y * a[2];
        v = y;
    }
    return v;
}

}  // namespace quelp
