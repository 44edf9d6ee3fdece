#include <gtest/gtest.h>

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
}

}  // namespace
}  // namespace quelp
