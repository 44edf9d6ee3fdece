#include "dsp/Decimator3.h"

namespace quelp {

namespace {
constexpr std::array<double, 14> kHalf = {
    -0.00028892587, -0.0012431135, -0.0033184787, -0.0065777314, -0.010172455,
    -0.011982908,   -0.0087991708, 0.0027573615,  0.024743232,   0.05640933,
    0.09349033,     0.12882953,    0.15434156,    0.16367159};

constexpr std::array<double, Decimator3::kTaps> Mirror() {
    std::array<double, Decimator3::kTaps> all{};
    for (int k = 0; k < Decimator3::kTaps; ++k) {
        all[k] = kHalf[k <= 13 ? k : Decimator3::kTaps - 1 - k];
    }
    return all;
}
}  // namespace

const std::array<double, Decimator3::kTaps> Decimator3::kCoefficients = Mirror();

}  // namespace quelp
