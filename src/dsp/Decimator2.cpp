#include "dsp/Decimator2.h"

namespace quelp {

namespace {
constexpr std::array<double, 23> kHalf = {
    0.00041063658, 0.00040020444, -0.0014690721, -0.0046244896, -0.0048873265, 0.00057075169,
    0.0064849067,  0.0034999371,  -0.0072838126, -0.010484073,  0.0032609865,  0.017545124,
    0.0073308048,  -0.02042501,   -0.024496589,  0.013398095,   0.045762697,   0.010940839,
    -0.066633815,  -0.069373038,  0.081944411,   0.30510648,    0.41246774};

constexpr std::array<double, Decimator2::kTaps> Mirror() {
    std::array<double, Decimator2::kTaps> all{};
    for (int k = 0; k < Decimator2::kTaps; ++k) {
        all[k] = kHalf[k <= 22 ? k : Decimator2::kTaps - 1 - k];
    }
    return all;
}
}  // namespace

const std::array<double, Decimator2::kTaps> Decimator2::kCoefficients = Mirror();

}  // namespace quelp
