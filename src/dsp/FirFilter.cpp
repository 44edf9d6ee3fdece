#include "dsp/FirFilter.h"

#include <algorithm>
#include <new>

#include "dsp/DotProduct.h"

namespace quelp {

void FirFilter::Configure(int32_t taps, const double* coefficients) {
    taps_ = 0;  // off while it is reconfigured, and off for good on failure
    coefficients_ = coefficients;
    delay_.reset();
    if (taps < 1 || coefficients == nullptr) return;
    delay_.reset(new (std::nothrow) double[2 * static_cast<size_t>(taps)]);
    if (!delay_) return;
    std::fill_n(delay_.get(), 2 * static_cast<size_t>(taps), 0.0);
    position_ = 0;
    taps_ = taps;
}

double FirFilter::Step(double x) {
    if (taps_ == 0) return 0.0;
    position_ = (position_ == 0 ? taps_ : position_) - 1;
    delay_[position_] = x;
    delay_[position_ + taps_] = x;
    return DotProduct(coefficients_, &delay_[position_], taps_);
}

}  // namespace quelp
