#pragma once
// A mono rate converter on libsoxr: high quality (20-bit precision) with a
// linear phase response, so a signal's envelope keeps its shape and the
// timing of every element moves by the same amount (none: the library
// removes its own delay). One thread, whatever the library could use.

#include <span>
#include <string>
#include <vector>

struct soxr;  // the library's converter

namespace quelp {

class SoxrResampler {
  public:
    // `error` is set (and nothing works) when the library refuses the rates.
    SoxrResampler(double inRate, double outRate, std::string& error);
    ~SoxrResampler();
    SoxrResampler(const SoxrResampler&) = delete;
    SoxrResampler& operator=(const SoxrResampler&) = delete;

    // Converts `in` and appends what it yields to `out`; an empty `in` with
    // `end` set drains what the filter still holds. False (with Error()) when
    // the library failed.
    bool Process(std::span<const float> in, bool end, std::vector<float>& out);
    const std::string& Error() const { return error_; }

  private:
    ::soxr* soxr_ = nullptr;
    double ratio_ = 1.0;
    std::string error_;
};

}  // namespace quelp
