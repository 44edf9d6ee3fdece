#pragma once
// General FIR filter over an external coefficient table (not owned). Off, and
// returning exactly 0, until configured; each configure starts from a zeroed
// delay line.

#include <cstdint>
#include <memory>

#include "dsp/FirTables.h"

namespace quelp {

class FirFilter {
  public:
    FirFilter() = default;
    FirFilter(const FirFilter&) = delete;
    FirFilter& operator=(const FirFilter&) = delete;
    FirFilter(FirFilter&&) noexcept = default;
    FirFilter& operator=(FirFilter&&) noexcept = default;

    // Loads `taps` coefficients (coefficient 0 multiplies the newest sample).
    // A tap count below 1, a null table or a failed allocation leave the
    // filter off.
    void Configure(int32_t taps, const double* coefficients);
    void Configure(const FirTable& table) { Configure(table.Taps, table.Coefficients); }

    double Step(double x);

    bool Configured() const { return taps_ > 0; }
    int32_t Taps() const { return taps_; }

  private:
    // The delay line holds 2 * taps values, every sample written at p and at
    // p + taps, filled downwards: the newest `taps` samples always lie
    // contiguous, newest first, from delay_[position_], so the convolution
    // reads straight memory and no sample is ever moved.
    int32_t position_ = 0;
    std::unique_ptr<double[]> delay_;
    const double* coefficients_ = nullptr;
    int32_t taps_ = 0;  // 0 = not configured
};

}  // namespace quelp
