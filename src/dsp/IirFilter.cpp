#include "dsp/IirFilter.h"

namespace quelp {

void IirFilter::Configure(const IirSections& denominators, const IirSections& numerators,
                          double gain) {
    *this = IirFilter();
    denominators_ = &denominators;
    numerators_ = &numerators;
    gain_ = gain;
}

double IirFilter::Step(double x) {
    if (gain_ < 0.0) return 0.0;
    double v = gain_ * x;
    for (int i = 0; i < 6; ++i) {
        const auto& b = (*numerators_)[i];
        const auto& a = (*denominators_)[i];
        const double y = (v * b[0] + s1_[i]) / a[0];
        s1_[i] = v * b[1] + s2_[i] - y * a[1];
        s2_[i] = v * b[2] - y * a[2];
        v = y;
    }
    return v;
}

}  // namespace quelp
