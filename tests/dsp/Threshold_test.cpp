#include "dsp/Threshold.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "dsp/Squelch.h"

namespace quelp {
namespace {

struct ThresholdFixture : ::testing::Test {
    DetectorLevels levels;
    Threshold th{levels};
};

TEST_F(ThresholdFixture, ConstantEnvelopeSitsAThirdAboveTheLimit) {
    for (int n = 0; n < 3 * 11001; ++n) {
        const double t = th.AutoThresholdStep(0.5);
        ASSERT_NEAR(t, 0.16567, 1e-12) << n;  // from the first sample on
    }
    EXPECT_EQ(levels.MinAutoThreshold, 0.001);  // no sample was ever low
}

TEST_F(ThresholdFixture, AlternatingEnvelopeLearnsTheKeyUpLevel) {
    double t = 0;
    for (int n = 0; n < 4 * 11001; ++n) t = th.AutoThresholdStep(n % 2 == 0 ? 1.0 : 0.01);
    EXPECT_NEAR(levels.MinAutoThreshold, 0.01565, 1e-12);
    EXPECT_NEAR(t, 0.01565 + (1.0 - 0.01565) * 0.33, 1e-12);
}

TEST_F(ThresholdFixture, BurstHoldsTheThresholdForItsWindowAndFourMore) {
    levels.EnableManualLimit = 1;  // the limit must not move by itself
    th.AutoThresholdStep(1.0);
    double t = 0;
    // Windows close on calls 11001, 22002, ...; the fifth close drops the burst.
    for (int n = 2; n <= 55004; ++n) t = th.AutoThresholdStep(0.1);
    EXPECT_NEAR(t, 0.001 + 0.999 * 0.33, 1e-12);
    t = th.AutoThresholdStep(0.1);
    EXPECT_NEAR(t, 0.001 + 0.099 * 0.33, 1e-12);
    EXPECT_EQ(levels.MinAutoThreshold, 0.001);
}

TEST_F(ThresholdFixture, SilenceGivesTheLimit) {
    for (int n = 0; n < 12000; ++n) ASSERT_EQ(th.AutoThresholdStep(0.0), 0.001);
}

TEST_F(ThresholdFixture, SquelchLevelFromTheSpectrumOnlyWhileUsed) {
    EXPECT_FALSE(th.PickSquelchLevel(0.5, false));
    EXPECT_EQ(levels.SquelchThreshold, 0.005);
    EXPECT_TRUE(th.PickSquelchLevel(0.5, true));
    EXPECT_EQ(levels.SquelchThreshold, 0.5);
    levels.SquelchEnabled = 1;
    EXPECT_TRUE(th.PickSquelchLevel(0.25, false));
    EXPECT_EQ(levels.SquelchThreshold, 0.25);
}

TEST(Squelch, OpensAtExactlyTheThreshold) {
    DetectorLevels levels;
    std::array<double, kBlockSize> peak{};
    peak[186] = 0.005;
    EXPECT_TRUE(SquelchOpen(levels, peak, 186));  // disabled: always open
    levels.SquelchEnabled = 1;
    EXPECT_TRUE(SquelchOpen(levels, peak, 186));
    peak[186] = std::nextafter(0.005, 0.0);
    EXPECT_FALSE(SquelchOpen(levels, peak, 186));
    EXPECT_FALSE(SquelchOpen(levels, peak, 5000));  // outside the spectrum: silence
}

}  // namespace
}  // namespace quelp
