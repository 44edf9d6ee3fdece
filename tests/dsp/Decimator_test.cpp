#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "dsp/Decimator2.h"
#include "dsp/Decimator3.h"

namespace quelp {
namespace {

TEST(Decimator2, ComputesOnEverySecondCall) {
    Decimator2 d;
    EXPECT_EQ(d.Step(1.0), 0.0);
    const double two = 0.00041063658 + 0.00040020444;
    EXPECT_DOUBLE_EQ(d.Step(1.0), two);
    EXPECT_DOUBLE_EQ(d.Step(1.0), two);  // held: nothing computed on odd calls
    EXPECT_NEAR(two, 0.00081084102, 1e-15);
    d.Reset();
    EXPECT_EQ(d.Step(1.0), 0.0);
}

TEST(Decimator2, SettlesAtTheTableSumOnDc) {
    Decimator2 d;
    double out = 0;
    for (int i = 0; i < 200; ++i) out = d.Step(1.0);
    EXPECT_NEAR(out, 0.986425, 1e-6);
}

TEST(Decimator3, ComputesOnEveryThirdCallAndSettles) {
    Decimator3 d;
    EXPECT_EQ(d.Step(1.0), 0.0);
    EXPECT_EQ(d.Step(1.0), 0.0);
    EXPECT_DOUBLE_EQ(d.Step(1.0), -0.00028892587 - 0.0012431135 - 0.0033184787);
    double out = 0;
    for (int i = 3; i < 27; ++i) out = d.Step(1.0);
    EXPECT_NEAR(out, 1.000049, 1e-6);
    for (int i = 27; i < 60; ++i) EXPECT_NEAR(d.Step(1.0), 1.000049, 1e-6);
}

// The doubled delay line must give the textbook circular convolution: run
// both decimators over noise against a plain modulo-indexed reference, well
// past several wraps of the line.
template <typename D>
void ExpectMatchesReference(int due) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    D d;
    std::vector<double> history;
    double expected = 0.0;
    for (int n = 0; n < 400; ++n) {
        const double x = u(rng);
        history.push_back(x);
        if ((n + 1) % due == 0) {
            expected = 0.0;
            for (int k = 0; k < D::kTaps && k <= n; ++k) {
                expected += D::kCoefficients[k] * history[n - k];
            }
        }
        ASSERT_NEAR(d.Step(x), expected, 1e-14) << "sample " << n;
    }
}

TEST(Decimator, DoubledDelayLineMatchesPlainConvolution) {
    ExpectMatchesReference<Decimator2>(2);
    ExpectMatchesReference<Decimator3>(3);
}

}  // namespace
}  // namespace quelp
