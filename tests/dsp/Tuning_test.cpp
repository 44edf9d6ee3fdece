#include "dsp/Tuning.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace quelp {
namespace {

struct TuningFixture : ::testing::Test {
    double samplingFreq = 11025.0;
    DetectorLevels levels;
    std::array<double, kBlockSize> peak{};
    Tuning tuning{samplingFreq, levels, peak};
    double pauseDots = 10.0;

    void Ramp(bool upwards) {
        for (int k = 0; k < kBlockSize; ++k) {
            peak[static_cast<size_t>(k)] = upwards ? k : kBlockSize - k;
        }
    }
};

TEST_F(TuningFixture, StartState) {
    EXPECT_EQ(tuning.SignalBin(), 186);
    EXPECT_EQ(tuning.CentreBin(), 186);
    EXPECT_EQ(tuning.PhaseStep(), 2976);
    EXPECT_EQ(tuning.TxBin(), 186);
    EXPECT_EQ(tuning.ScanStartBin(), 40);
    EXPECT_EQ(tuning.DisplayCentreBin, 295);
    EXPECT_EQ(tuning.AfcDeviationHz(), 50);
    EXPECT_EQ(tuning.AfcLimitHz(), 300);
    EXPECT_TRUE(tuning.AfcOn());
    EXPECT_FALSE(tuning.AutoGoToMaxOn());
}

TEST_F(TuningFixture, GoToMaxKeepsTheCurrentBinOnTiesAndSnapsTheAnchor) {
    tuning.SetReceiveBin(100);
    peak[105] = 1.0;
    tuning.AfcStep();  // receive bin moves, anchor stays
    ASSERT_EQ(tuning.SignalBin(), 105);
    ASSERT_EQ(tuning.CentreBin(), 100);
    peak.fill(1.0);
    EXPECT_TRUE(tuning.GoToMax(pauseDots));
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
    levels.SquelchEnabled = 1;
    levels.SquelchThreshold = 0.5;
    peak[300] = 0.4;
    EXPECT_FALSE(tuning.GoToMax(pauseDots));
    EXPECT_EQ(tuning.SignalBin(), 186);
    EXPECT_EQ(pauseDots, 0.0);
    peak[300] = 0.5;  // at the level: retunes
    EXPECT_TRUE(tuning.GoToMax(pauseDots));
    EXPECT_EQ(tuning.SignalBin(), 300);
}

TEST_F(TuningFixture, AfcWalksWithinLocalAndGlobalDeviations) {
    tuning.SetReceiveBin(100);
    tuning.SetAfcDeviationHz(10);  // 2 bins; the global 300 Hz is 56 bins
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
        samplingFreq = rate;
        tuning.SetReceiveBin(300);
        tuning.AfcStep();
        EXPECT_GE(tuning.SignalBin(), 300);
        EXPECT_LE(tuning.SignalBin(), 558);
    }
}

TEST_F(TuningFixture, AfcWithAnEmptyRangeMovesNothing) {
    tuning.SetReceiveBin(100);
    Ramp(true);
    tuning.AfcStep();
    ASSERT_EQ(tuning.SignalBin(), 109);
    tuning.SetAfcDeviationHz(5);  // 1 bin each: 108..110 and 99..101 do not meet
    tuning.SetAfcLimitHz(5);
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
    tuning.SetAfcOn(false);
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

TEST_F(TuningFixture, ReceiveBinIsLimitedToTheBand) {
    tuning.SetReceiveBin(600);
    EXPECT_EQ(tuning.SignalBin(), 558);
    EXPECT_EQ(tuning.PhaseStep(), 8928);
    tuning.SetReceiveBin(-3);
    EXPECT_EQ(tuning.SignalBin(), 32);
    EXPECT_EQ(tuning.CentreBin(), 32);
}

TEST_F(TuningFixture, TransmitMarkSetsTheScanBand) {
    for (auto [bin, start] : {std::pair{300, 152}, {186, 40}, {557, 248}, {32, 40}}) {
        tuning.SetTransmitBin(bin);
        EXPECT_EQ(tuning.TxBin(), bin);
        EXPECT_EQ(tuning.ScanStartBin(), start) << bin;
        EXPECT_EQ(ScanStartBinFor(bin), start) << bin;
    }
}

TEST_F(TuningFixture, AfcDeviationsStayWithinTheirRange) {
    struct Case {
        int hz, kept;
    };
    for (const Case& c : {Case{4, 5}, Case{5, 5}, Case{3000, 3000}, Case{3005, 3000}}) {
        tuning.SetAfcDeviationHz(c.hz);
        tuning.SetAfcLimitHz(c.hz);
        EXPECT_EQ(tuning.AfcDeviationHz(), c.kept) << c.hz;
        EXPECT_EQ(tuning.AfcLimitHz(), c.kept) << c.hz;
    }
}

}  // namespace
}  // namespace quelp
