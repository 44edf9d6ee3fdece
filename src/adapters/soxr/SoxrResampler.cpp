#include "adapters/soxr/SoxrResampler.h"

#include <soxr.h>

#include <cmath>

namespace quelp {

SoxrResampler::SoxrResampler(double inRate, double outRate, std::string& error) {
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, SOXR_LINEAR_PHASE);
    // One thread: a batch runs one decode per core itself.
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t failure = nullptr;
    soxr_ = soxr_create(inRate, outRate, 1, &failure, &io, &quality, &runtime);
    if (failure != nullptr || soxr_ == nullptr) {
        error_ = failure != nullptr ? failure : "cannot convert the rate";
        error = error_;
        if (soxr_ != nullptr) soxr_delete(soxr_);
        soxr_ = nullptr;
        return;
    }
    ratio_ = outRate / inRate;
}

SoxrResampler::~SoxrResampler() {
    if (soxr_ != nullptr) soxr_delete(soxr_);
}

bool SoxrResampler::Process(std::span<const float> in, bool end, std::vector<float>& out) {
    if (soxr_ == nullptr) return false;
    // Room for what this input yields at the ratio, plus what the filter
    // held back; the loop goes on while the output fills its room.
    const size_t room =
        static_cast<size_t>(std::ceil(static_cast<double>(in.size()) * ratio_)) + 256;
    const float* input = in.data();
    size_t left = in.size();
    for (;;) {
        // Once the last input is in, a null input drains what the filter
        // still holds (the last few milliseconds of the recording, or all of
        // a recording shorter than the filter).
        const bool draining = end && left == 0;
        const size_t at = out.size();
        out.resize(at + room);
        size_t used = 0;
        size_t made = 0;
        const soxr_error_t failure = soxr_process(soxr_, draining ? nullptr : input, left, &used,
                                                  out.data() + at, room, &made);
        out.resize(at + made);
        if (failure != nullptr) {
            error_ = failure;
            return false;
        }
        input += used;
        left -= used;
        // Done when the output had room to spare: all input taken, or all
        // of the filter drained.
        if (left == 0 && made < room && (!end || draining)) return true;
    }
}

}  // namespace quelp
