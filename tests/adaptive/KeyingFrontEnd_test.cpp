#include "adaptive/KeyingFrontEnd.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace quelp {
namespace {

// Where, in input samples, the response of each low-pass to a tone burst
// is centred (weighted by its level), and where it was said to be.
struct Centres {
    double matched = 0.0;
    double sharp = 0.0;
};

Centres BurstCentres(double unit, double burstCentre, double burstLength) {
    constexpr double kRate = 11025.0;
    KeyingFrontEnd front(kRate);
    front.SetFrequency(700.0);
    front.SetUnit(unit);
    const auto total = static_cast<int>(burstCentre * 2.0 * kRate);
    double sumM = 0.0;
    double weightM = 0.0;
    double sumS = 0.0;
    double weightS = 0.0;
    for (int n = 0; n < total; ++n) {
        const double t = n / kRate;
        const bool on = std::abs(t - burstCentre) < 0.5 * burstLength;
        const double x = on ? 0.3 * std::sin(2.0 * std::numbers::pi * 700.0 * t) : 0.0;
        std::complex<double> m;
        std::complex<double> s;
        if (!front.Step(x, m, s)) continue;
        // The frame at input sample n stands for n minus the delay.
        const double at = n - front.DelaySamples();
        sumM += at * std::abs(m);
        weightM += std::abs(m);
        sumS += at * std::abs(s);
        weightS += std::abs(s);
    }
    return {sumM / weightM / kRate, sumS / weightS / kRate};
}

TEST(KeyingFrontEnd, BothLowPassesPlaceAnElementWhereItWasKeyed) {
    // The words' times and the edges between frames rest on the delay the
    // front end states and on the two low-passes sharing their middle.
    const struct {
        double unit;  // seconds: 60, 20 and 6 WPM
        double burst;
    } cases[] = {{0.02, 0.06}, {0.06, 0.06}, {0.06, 0.18}, {0.2, 0.2}};
    for (const auto& c : cases) {
        const Centres got = BurstCentres(c.unit, 1.0, c.burst);
        // Within a sample or two of the stage rate (2.3 ms), far under the
        // third of a dot between frames.
        EXPECT_NEAR(got.matched, 1.0, 0.004) << c.unit << " " << c.burst;
        EXPECT_NEAR(got.sharp, 1.0, 0.004) << c.unit << " " << c.burst;
    }
}

}  // namespace
}  // namespace quelp
