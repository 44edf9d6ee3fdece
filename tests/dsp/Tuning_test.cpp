#include "dsp/Tuning.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

#include "support/FakeMainView.h"

namespace quelp {
namespace {

struct TuningFixture : ::testing::Test {
    Quelp_Params params;
    test::FakeMainView view;
    std::array<double, 2048> peak{};
    Tuning tuning{params, view, peak};
    double pauseDots = 10.0;

    void Ramp(bool upwards) {
        for (int k = 0; k < 2048; ++k) peak[static_cast<size_t>(k)] = upwards ? k : 2048 - k;
    }
};

TEST_F(TuningFixture, StartState) {
    EXPECT_EQ(tuning.SignalBin(), 186);
    EXPECT_EQ(tuning.CentreBin(), 186);
    EXPECT_EQ(tuning.PhaseStep(), 2976);
    EXPECT_EQ(tuning.TxBin(), 186);
    EXPECT_EQ(tuning.ScanStartBin(), 40);
    EXPECT_EQ(tuning.DisplayCentreBin, 295);
    EXPECT_EQ(tuning.Afc().Position(), 50);
    EXPECT_EQ(tuning.AfcLimit().Position(), 300);
    EXPECT_TRUE(tuning.AfcDown());
    EXPECT_FALSE(tuning.AutoGoToMaxDown());
}

TEST_F(TuningFixture, GoToMaxKeepsTheCurrentBinOnTiesAndSnapsTheAnchor) {
    tuning.SetReceiveBin(100);
    peak[105] = 1.0;
    tuning.AfcStep();  // receive bin moves, anchor stays
    ASSERT_EQ(tuning.SignalBin(), 105);
    ASSERT_EQ(tuning.CentreBin(), 100);
    peak.fill(1.0);
    tuning.GoToMax(pauseDots);
    EXPECT_EQ(tuning.SignalBin(), 105);
    EXPECT_EQ(tuning.CentreBin(), 105);
    EXPECT_EQ(tuning.PhaseStep(), 16 * 105);
    EXPECT_EQ(pauseDots, 0.0);
}

TEST_F(TuningFixture, GoToMaxSearchesOnlyTheBandAndPrefersTheLowerBin) {
    peak[20] = peak[600] = 100.0;  // outside the band: never chosen
    peak[558] = 1.0;
    tuning.GoToMax(pauseDots);
    EXPECT_EQ(tuning.SignalBin(), 558);
    peak[300] = peak[400] = 5.0;
    tuning.GoToMax(pauseDots);
    EXPECT_EQ(tuning.SignalBin(), 300);
}

TEST_F(TuningFixture, GoToMaxRefusedBySquelchStillClearsThePause) {
    params.SquelchEnabled = 1;
    params.SquelchThreshold = 0.5;
    int rigCalls = 0;
    tuning.TuneRigToMark = [&] { ++rigCalls; };
    params.TuneRig = 2;
    peak[300] = 0.4;
    tuning.GoToMax(pauseDots);
    EXPECT_EQ(tuning.SignalBin(), 186);
    EXPECT_EQ(pauseDots, 0.0);
    EXPECT_EQ(rigCalls, 0);
    peak[300] = 0.5;  // at the level: retunes, and the rig follows
    tuning.GoToMax(pauseDots);
    EXPECT_EQ(tuning.SignalBin(), 300);
    EXPECT_EQ(rigCalls, 1);
    params.TuneRig = 0;
    tuning.GoToMax(pauseDots);
    EXPECT_EQ(rigCalls, 1);
}

TEST_F(TuningFixture, AfcWalksWithinLocalAndGlobalDeviations) {
    tuning.SetReceiveBin(100);
    tuning.Afc().SetPosition(10);  // 2 bins; the global 300 Hz is 56 bins
    Ramp(true);
    tuning.AfcStep();
    EXPECT_EQ(tuning.SignalBin(), 102);
    EXPECT_EQ(tuning.PhaseStep(), 1632);
    for (int i = 0; i < 100; ++i) tuning.AfcStep();
    EXPECT_EQ(tuning.SignalBin(), 156);
    EXPECT_EQ(tuning.CentreBin(), 100);
    Ramp(false);
    for (int i = 0; i < 100; ++i) tuning.AfcStep();
    EXPECT_EQ(tuning.SignalBin(), 44);
}

TEST_F(TuningFixture, AfcStopsAtTheBandEdge) {
    tuning.SetReceiveBin(40);  // local 50 Hz = 9 bins, but not below 32
    Ramp(false);
    peak[31] = 1e9;
    tuning.AfcStep();
    EXPECT_EQ(tuning.SignalBin(), 32);
}

TEST_F(TuningFixture, AfcSurvivesAnUncheckedSamplingRate) {
    Ramp(true);
    for (double rate : {1e-300, 0.0, -11025.0}) {
        params.SamplingFreq = rate;
        tuning.SetReceiveBin(300);
        tuning.AfcStep();
        EXPECT_GE(tuning.SignalBin(), 300);
        EXPECT_LE(tuning.SignalBin(), 558);
    }
    EXPECT_EQ(tuning.FrequencyText(186), "-1001 Hz");
}

TEST_F(TuningFixture, AfcWithAnEmptyRangeMovesNothing) {
    tuning.SetReceiveBin(100);
    Ramp(true);
    tuning.AfcStep();
    ASSERT_EQ(tuning.SignalBin(), 109);
    tuning.Afc().SetPosition(5);  // 1 bin each: 108..110 and 99..101 do not meet
    tuning.AfcLimit().SetPosition(5);
    Ramp(false);
    tuning.AfcStep();
    EXPECT_EQ(tuning.SignalBin(), 109);
}

TEST_F(TuningFixture, WheelHoldsAfcForTwoBlocks) {
    tuning.WheelTune(16);  // one bin up
    EXPECT_EQ(tuning.SignalBin(), 187);
    Ramp(true);
    tuning.BlockAfc();
    tuning.BlockAfc();
    EXPECT_EQ(tuning.SignalBin(), 187);
    tuning.BlockAfc();
    EXPECT_EQ(tuning.SignalBin(), 196);
    tuning.SetAfcDown(false);
    tuning.BlockAfc();
    EXPECT_EQ(tuning.SignalBin(), 196);
}

TEST_F(TuningFixture, FineTuneRoundsToTheNearestBinWithinLimits) {
    struct Case {
        int step, phase, bin;
    };
    for (const Case& c :
         {Case{7, 2983, 186}, Case{8, 2984, 187}, Case{-100000, 544, 34}, Case{100000, 8896, 556},
          Case{INT_MIN, 544, 34}, Case{INT_MAX, 8896, 556}}) {
        tuning.SetReceiveBin(186);
        tuning.FineTune(c.step);
        EXPECT_EQ(tuning.PhaseStep(), c.phase) << c.step;
        EXPECT_EQ(tuning.SignalBin(), c.bin) << c.step;
        EXPECT_EQ(tuning.CentreBin(), c.bin) << c.step;
    }
}

TEST_F(TuningFixture, ClickTuneLimitsToTheBandAndShowsTheFrequency) {
    tuning.ClickTune(186);
    EXPECT_EQ(view.Status(panel::Frequency), "1001 Hz");
    tuning.ClickTune(600);
    EXPECT_EQ(tuning.SignalBin(), 558);
    EXPECT_EQ(tuning.PhaseStep(), 8928);
    EXPECT_EQ(view.Status(panel::Frequency), "3004 Hz");
    tuning.ClickTune(-3);
    EXPECT_EQ(tuning.SignalBin(), 32);
    EXPECT_EQ(tuning.FrequencyText(0), " Hz");  // "####" writes no digit for 0
}

TEST_F(TuningFixture, TransmitMarkSetsTheScanBand) {
    for (auto [bin, start] : {std::pair{300, 152}, {186, 40}, {557, 248}, {32, 40}}) {
        tuning.SetTransmitBin(bin);
        EXPECT_EQ(tuning.TxBin(), bin);
        EXPECT_EQ(tuning.ScanStartBin(), start) << bin;
    }
}

TEST_F(TuningFixture, AfcEditsKeepTheValueInForceOnBadText) {
    SpinEdit& afc = tuning.Afc();
    struct Case {
        const char* text;
        int position;
    };
    for (const Case& c : {Case{"100", 100}, Case{" 20 ", 20}, Case{"3001", 20}, Case{"4", 20},
                          Case{"abc", 20}, Case{"", 20}, Case{"12x", 20}, Case{"3000", 3000}}) {
        afc.EditExit(c.text);
        EXPECT_EQ(afc.Position(), c.position) << c.text;
        EXPECT_EQ(view.texts.at(UiItem::AfcEdit), std::to_string(c.position));
    }
    afc.Up();
    EXPECT_EQ(afc.Position(), 3000);
    tuning.AfcLimit().SetPosition(7);
    tuning.AfcLimit().Down();
    EXPECT_EQ(tuning.AfcLimit().Position(), 5);
    EXPECT_EQ(view.texts.at(UiItem::AfcLimitEdit), "5");
}

TEST_F(TuningFixture, ButtonsToggleAndShowTheirState) {
    tuning.AfcButtonClick();
    EXPECT_FALSE(tuning.AfcDown());
    EXPECT_FALSE(view.down.at(UiItem::AfcButton));
    tuning.AutoGoToMaxButtonClick();
    EXPECT_TRUE(view.down.at(UiItem::AutoGoToMaxButton));
    peak[250] = 1.0;
    tuning.GoToMaxButtonClick(pauseDots);
    EXPECT_EQ(tuning.SignalBin(), 250);
}

}  // namespace
}  // namespace quelp
