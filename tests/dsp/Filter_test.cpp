#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "dsp/FirFilter.h"
#include "dsp/IirFilter.h"
#include "dsp/IirTables.h"

namespace quelp {
namespace {

TEST(FirFilter, OffUntilConfiguredAndAfterBadConfiguration) {
    FirFilter f;
    EXPECT_EQ(f.Step(1.0), 0.0);
    const double two[] = {2.0};
    f.Configure(0, two);
    EXPECT_EQ(f.Step(1.0), 0.0);
    f.Configure(1, nullptr);
    EXPECT_EQ(f.Step(1.0), 0.0);
    EXPECT_FALSE(f.Configured());
}

TEST(FirFilter, SingleTapOfTwoDoubles) {
    FirFilter f;
    const double two[] = {2.0};
    f.Configure(1, two);
    for (double x : {1.0, -3.5, 0.25, 1e6}) EXPECT_EQ(f.Step(x), 2.0 * x);
}

TEST(FirFilter, MatchesPlainConvolutionAndRestartsZeroed) {
    // An asymmetric table catches a reversed coefficient order.
    const std::vector<double> h = {0.5, -0.25, 0.125, 1.0, -2.0, 0.75, 3.0};
    const int n = static_cast<int>(h.size());
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    FirFilter f;
    for (int round = 0; round < 2; ++round) {
        f.Configure(n, h.data());  // the second round must not see the first
        std::vector<double> x;
        for (int i = 0; i < 50; ++i) {
            x.push_back(u(rng));
            double expected = 0.0;
            for (int k = 0; k < n && k <= i; ++k) expected += h[k] * x[i - k];
            ASSERT_NEAR(f.Step(x.back()), expected, 1e-14) << "round " << round << " at " << i;
        }
    }
}

TEST(IirFilter, OffUntilConfigured) {
    IirFilter f;
    EXPECT_EQ(f.Step(1.0), 0.0);
    EXPECT_FALSE(f.Configured());
}

TEST(IirFilter, EveryTableSettlesAtOneOnDcAndRestartsOnConfigure) {
    for (const IirTable* t : {&Iir100Hz, &Iir250Hz, &Iir1000Hz}) {
        IirFilter f;
        f.Configure(*t);
        double y = 0.0;
        for (int i = 0; i < 40000; ++i) y = f.Step(1.0);
        EXPECT_NEAR(y, 1.0, 1e-5);  // the tables' own DC gain, within 3e-6
        // From a zeroed state the first output is the product of the b0s.
        f.Configure(*t);
        double first = 1.0;
        for (const auto& b : t->Numerators) first *= b[0];
        EXPECT_NEAR(f.Step(1.0), first, 1e-9 * first) << "state not zeroed";
    }
}

TEST(IirFilter, SectionsWithA0OtherThanOneAreDivided) {
    // The same filter with every section scaled by 2 (a0 = 2) must give the
    // same output as the normalised table.
    IirSections num = Iir250Hz.Numerators;
    IirSections den = Iir250Hz.Denominators;
    for (auto* sections : {&num, &den}) {
        for (auto& s : *sections) {
            for (double& v : s) v *= 2.0;
        }
    }
    IirFilter plain;
    IirFilter scaled;
    plain.Configure(Iir250Hz);
    scaled.Configure(den, num, 1.0);
    for (int n = 0; n < 500; ++n) {
        const double x = std::sin(0.05 * n);
        ASSERT_NEAR(scaled.Step(x), plain.Step(x), 1e-12) << n;
    }
}

}  // namespace
}  // namespace quelp
