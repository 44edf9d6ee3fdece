#include "dsp/Threshold.h"

#include <gtest/gtest.h>
#include <atomic>

#include <array>
#include <cmath>

#include "dsp/Squelch.h"
#include "support/FakeMainView.h"

namespace quelp {
namespace {

struct ThresholdFixture : ::testing::Test {
    Quelp_Params params;
    test::FakeMainView view;
    std::atomic<int> holdOff{22};
    Threshold th{params, view, holdOff};
};

TEST_F(ThresholdFixture, ConstantEnvelopeSitsAThirdAboveTheLimit) {
    for (int n = 0; n < 3 * 11001; ++n) {
        const double t = th.AutoThresholdStep(0.5);
        ASSERT_NEAR(t, 0.16567, 1e-12) << n;  // from the first sample on
    }
    EXPECT_EQ(params.MinAutoThreshold, 0.001);  // no sample was ever low
}

TEST_F(ThresholdFixture, AlternatingEnvelopeLearnsTheKeyUpLevel) {
    double t = 0;
    for (int n = 0; n < 4 * 11001; ++n) t = th.AutoThresholdStep(n % 2 == 0 ? 1.0 : 0.01);
    EXPECT_NEAR(params.MinAutoThreshold, 0.01565, 1e-12);
    EXPECT_NEAR(t, 0.01565 + (1.0 - 0.01565) * 0.33, 1e-12);
}

TEST_F(ThresholdFixture, BurstHoldsTheThresholdForItsWindowAndFourMore) {
    params.EnableManualLimit = 1;  // the limit must not move by itself
    th.AutoThresholdStep(1.0);
    double t = 0;
    // Windows close on calls 11001, 22002, ...; the fifth close drops the burst.
    for (int n = 2; n <= 55004; ++n) t = th.AutoThresholdStep(0.1);
    EXPECT_NEAR(t, 0.001 + 0.999 * 0.33, 1e-12);
    t = th.AutoThresholdStep(0.1);
    EXPECT_NEAR(t, 0.001 + 0.099 * 0.33, 1e-12);
    EXPECT_EQ(params.MinAutoThreshold, 0.001);
}

TEST_F(ThresholdFixture, SilenceGivesTheLimit) {
    for (int n = 0; n < 12000; ++n) ASSERT_EQ(th.AutoThresholdStep(0.0), 0.001);
}

TEST_F(ThresholdFixture, ButtonToggleShowsAutoOrTheKeptThreshold) {
    EXPECT_TRUE(th.AutoDown());
    params.DetectorThreshold = 0.0625;
    th.AutoTresholdButtonClick();
    EXPECT_FALSE(th.AutoDown());
    EXPECT_FALSE(view.down.at(UiItem::AutoTresholdButton));
    EXPECT_EQ(view.Status(panel::Threshold), "0.063");
    EXPECT_EQ(holdOff, 0);
    EXPECT_EQ(params.DetectorThreshold, 0.0625);  // kept as the manual threshold
    th.AutoTresholdButtonClick();
    EXPECT_TRUE(view.down.at(UiItem::AutoTresholdButton));
    EXPECT_EQ(view.Status(panel::Threshold), "Auto");
}

TEST_F(ThresholdFixture, OscilloscopeMouseSetsWhatTheModeAllows) {
    // Auto on, limit estimated: nothing changes.
    th.OscilloscopeMouse(25, 101, false, true);
    EXPECT_EQ(params.MinAutoThreshold, 0.001);
    EXPECT_EQ(params.DetectorThreshold, 0.1);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(holdOff, 0);  // a press still releases the displays
    // Auto on, manual limit: the limit moves, the panel says "Auto".
    params.EnableManualLimit = 1;
    th.OscilloscopeMouse(25, 101, false, false);
    EXPECT_DOUBLE_EQ(params.MinAutoThreshold, 0.75);
    EXPECT_EQ(view.Status(panel::Threshold), "Auto");
    // Auto off: the threshold itself, on the logarithmic scale too.
    th.SetAutoDown(false);
    holdOff = 5;
    th.OscilloscopeMouse(100, 101, true, false);  // a drag leaves the hold-off
    EXPECT_DOUBLE_EQ(params.DetectorThreshold, std::exp(-5.75646));
    EXPECT_EQ(view.Status(panel::Threshold), "0.003");
    EXPECT_EQ(holdOff, 5);
}

TEST_F(ThresholdFixture, SquelchLevelFromTheSpectrumOnlyWhileUsed) {
    EXPECT_FALSE(th.SpectrumSquelchMouse(50, 101, false, false));
    EXPECT_EQ(params.SquelchThreshold, 0.005);
    EXPECT_TRUE(th.SpectrumSquelchMouse(50, 101, false, true));
    EXPECT_DOUBLE_EQ(params.SquelchThreshold, 0.5);
    params.SquelchEnabled = 1;
    EXPECT_TRUE(th.SpectrumSquelchMouse(75, 101, false, false));
    EXPECT_DOUBLE_EQ(params.SquelchThreshold, 0.25);
}

TEST(Squelch, OpensAtExactlyTheThreshold) {
    Quelp_Params params;
    std::array<double, 2048> peak{};
    peak[186] = 0.005;
    EXPECT_TRUE(SquelchOpen(params, peak, 186));  // disabled: always open
    params.SquelchEnabled = 1;
    EXPECT_TRUE(SquelchOpen(params, peak, 186));
    peak[186] = std::nextafter(0.005, 0.0);
    EXPECT_FALSE(SquelchOpen(params, peak, 186));
    EXPECT_FALSE(SquelchOpen(params, peak, 5000));  // outside the spectrum: silence
}

}  // namespace
}  // namespace quelp
