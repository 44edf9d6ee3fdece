// The multi-channel decoder's peak search, channel assignment and channels.
#include "decoder/FreqScan.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "dsp/MainFilterTable.h"
#include "support/CwSynth.h"

namespace quelp {
namespace {

using Spectrum = std::array<double, TFreqScan::kSpectrumBins>;

// A peak-hold spectrum with isolated peaks (bin, level) on a zero floor.
Spectrum PeaksAt(std::initializer_list<std::pair<int, double>> peaks) {
    Spectrum s{};
    for (auto [bin, level] : peaks) s[static_cast<size_t>(bin)] = level;
    return s;
}

struct Scan {
    SineTable sine;
    DetectorLevels levels;
    DecoderSpeed speed;
    ChannelReuse reuse;
    CharacterTables tables;
    CharsetChoice charset;
    TFreqScan scan{sine, levels, speed, reuse, tables, charset};

    std::vector<int> Bins() const {
        std::vector<int> bins;
        for (int c = 0; c < TFreqScan::kChannels; ++c) bins.push_back(scan.ChannelBin(c));
        return bins;
    }
    int ActiveChannels() const {
        int n = 0;
        for (int b : Bins()) n += b > 0;
        return n;
    }
    // The samples of a keyed tone on the bin centre, through ScanSample,
    // with the main threshold set by hand.
    void Feed(const std::vector<std::int16_t>& pcm) {
        for (std::int16_t s : pcm) scan.ScanSample(s, false);
    }
};

constexpr int F = TFreqScan::kFreeBin;

std::vector<std::int16_t> Keyed(const std::string& text, double wpm, int bin, double level = 0.3) {
    test::CwSynthOptions o;
    o.signal.text = text;
    o.signal.wpm = wpm;
    o.signal.freqHz = bin * 11025.0 / 2048.0;
    o.signal.level = level;
    o.signal.startSec = 0.3;
    o.tailSec = 1.0;
    return test::ToPcm16(test::SynthesizeCw(o).samples);
}

TEST(FreqScan, NeighbouringPeaksCloserThanNineBinsShareOneChannel) {
    struct Case {
        int gap;
        double second;  // level of the upper peak; the lower one is 1.0
        std::vector<int> positions;
    };
    const std::vector<Case> cases = {
        {8, 1.0, {100}},       // equal: the first one found stays
        {9, 1.0, {100, 109}},  // far enough for two channels
        {8, 2.0, {108}},       // a stronger neighbour replaces it
        {8, 0.5, {100}},
    };
    for (const Case& c : cases) {
        Scan s;
        s.scan.ScanBlock(PeaksAt({{100, 1.0}, {100 + c.gap, c.second}}), 40);
        std::vector<int> got;
        for (int p : s.scan.Peaks().Position)
            if (p > 0) got.push_back(p);
        EXPECT_EQ(got, c.positions) << "gap " << c.gap << " level " << c.second;
        EXPECT_EQ(s.ActiveChannels(), static_cast<int>(c.positions.size()));
    }
}

TEST(FreqScan, KeepsTheFiveStrongestPeaksStrongestFirst) {
    Scan s;
    // The weakest comes first in bin order and must fall out again; a chain
    // of rising neighbours collapses into its strongest member.
    s.scan.ScanBlock(PeaksAt({{50, 0.1},
                              {70, 0.5},
                              {100, 0.9},
                              {130, 0.3},
                              {160, 0.7},
                              {190, 0.2},
                              {250, 0.3},
                              {256, 0.4},
                              {262, 0.6}}),
                     40);
    const auto& p = s.scan.Peaks();
    EXPECT_EQ((std::vector<int>(p.Position.begin(), p.Position.begin() + 5)),
              (std::vector<int>{100, 160, 262, 70, 130}));
    EXPECT_EQ(p.Position[5], TFreqScan::kEmptyPeak);
    EXPECT_EQ(s.Bins(), (std::vector<int>{100, 160, 262, 70, 130}));
}

TEST(FreqScan, PeaksOnlyAboveTheSquelchAndInsideTheBand) {
    Scan s;
    s.levels.SquelchThreshold = 0.5;
    // 0.5 itself is not above; 39 and 338 lie outside the band of 40..336.
    s.scan.ScanBlock(PeaksAt({{39, 9.0}, {100, 0.5}, {200, 0.6}, {336, 0.7}, {338, 9.0}}), 40);
    EXPECT_EQ(s.Bins(), (std::vector<int>{336, 200, F, F, F}));

    // A plateau of equal bins counts once; the flat top offers its first bin.
    s.scan.ScanBlock(PeaksAt({{120, 0.8}, {121, 0.8}}), 40);
    // No channel was near: the nearest unmatched one takes the new peak.
    EXPECT_EQ(s.Bins(), (std::vector<int>{F, 120, F, F, F}));
    EXPECT_EQ(s.scan.Peaks().Position[0], 120);
    EXPECT_EQ(s.scan.Peaks().Position[1], TFreqScan::kEmptyPeak);
}

TEST(FreqScan, NothingAboveTheSquelchFreesEveryChannelAndDecodesNothing) {
    Scan s;
    s.scan.ScanBlock(PeaksAt({{100, 1.0}, {200, 1.0}}), 40);
    ASSERT_EQ(s.ActiveChannels(), 2);
    s.scan.ScanBlock(PeaksAt({{100, 0.004}, {200, 0.005}}), 40);
    EXPECT_EQ(s.ActiveChannels(), 0);
    s.Feed(Keyed("test", 20, 100));
    for (int r = 0; r < ScanWindow::kRows; ++r) EXPECT_EQ(s.scan.Window().Row(r), "") << r;
}

TEST(FreqScan, DriftBelowNineBinsKeepsTheChannelNineReassigns) {
    // A at 100 on channel 0 and B at 140 on channel 1; C arrives at 200. Then
    // A drifts while a stronger newcomer D appears below it at 90: a drift
    // of 8 still matches in the first pass; at 9 the second pass hands A's
    // old channel to D (its nearest unmatched one) and A a free channel.
    for (int drift : {8, 9}) {
        Scan s;
        s.scan.ScanBlock(PeaksAt({{100, 1.0}, {140, 0.5}}), 40);
        ASSERT_EQ(s.Bins(), (std::vector<int>{100, 140, F, F, F}));
        s.scan.ScanBlock(PeaksAt({{100 + drift, 1.0}, {140, 0.5}, {200, 0.4}}), 40);
        ASSERT_EQ(s.Bins(), (std::vector<int>{100 + drift, 140, 200, F, F})) << drift;
        const int a = 100 + 2 * drift;
        s.scan.ScanBlock(PeaksAt({{90, 2.0}, {a, 1.0}, {140, 0.5}, {200, 0.4}}), 40);
        if (drift == 8) {
            EXPECT_EQ(s.Bins(), (std::vector<int>{a, 140, 200, 90, F}));
        } else {
            EXPECT_EQ(s.Bins(), (std::vector<int>{90, 140, 200, a, F}));
        }
        // Phase steps follow the bins, free channels keep theirs.
        EXPECT_EQ(s.scan.Channel(0).PhaseStep, 16 * s.scan.ChannelBin(0));
        EXPECT_EQ(s.scan.Channel(4).PhaseStep, TCwDecoder::kStartPhaseStep);
    }
}

TEST(FreqScan, SixthWeakerSignalGetsNoChannel) {
    Scan s;
    const Spectrum six =
        PeaksAt({{60, 0.1}, {100, 1.0}, {140, 0.9}, {180, 0.8}, {220, 0.7}, {260, 0.6}});
    s.scan.ScanBlock(six, 40);
    s.scan.ScanBlock(six, 40);
    EXPECT_EQ(s.Bins(), (std::vector<int>{100, 140, 180, 220, 260}));
}

TEST(FreqScan, ChannelDecodesIntoTheRowOfItsBand) {
    Scan s;
    // Bin 137: row (137 - 40) / 8 = 12. The channel starts slow (a 2600
    // sample dot) and adapts within the first word.
    s.scan.ScanBlock(PeaksAt({{137, 1.0}}), 40);
    s.Feed(Keyed("paris paris test", 20, 137));
    const std::string_view row = s.scan.Window().Row(12);
    ASSERT_GE(row.size(), 10u) << row;
    EXPECT_EQ(row.substr(row.size() - 10), "aris test ");
    for (int r = 0; r < ScanWindow::kRows; ++r) {
        if (r != 12) {
            EXPECT_EQ(s.scan.Window().Row(r), "") << r;
        }
    }
    EXPECT_NEAR(s.scan.Channel(0).DotLen, 662, 80);
}

TEST(FreqScan, SpeedWindowReachesChannelsOnlyWhenReused) {
    // A 20 WPM sender (662-sample dots) against a lock of 100..200 samples:
    // channels that reuse the lock stay at its upper edge, others follow.
    for (int reuse : {0, 1}) {
        Scan s;
        s.speed.SpeedLocked = 1;
        s.reuse.ReUseSpeedLimits = reuse;
        s.speed.LowerDotLimit = 100;
        s.speed.UpperDotLimit = 200;
        s.scan.ApplySpeedWindow();
        EXPECT_EQ(s.scan.Channel(2).DotLen, reuse ? 200 : 2600);
        EXPECT_EQ(s.scan.Channel(2).DashLen, reuse ? 600 : 1986);
        s.scan.ScanBlock(PeaksAt({{186, 1.0}}), 40);
        s.Feed(Keyed("paris paris", 20, 186));
        if (reuse) {
            EXPECT_EQ(s.scan.Channel(0).DotLen, 200);
        } else {
            EXPECT_NEAR(s.scan.Channel(0).DotLen, 662, 100);
        }
    }
}

TEST(FreqScan, ThresholdRestsOnTheMainLimitOnlyWhenAllThreeAgree) {
    // Silence on an active channel: its own noise floor stays 0, the main
    // limit is 0.02.
    for (int mask = 0; mask < 8; ++mask) {
        Scan s;
        s.levels.MinAutoThreshold = 0.02;
        s.reuse.ReUseThresholdLimit = mask & 1;
        s.levels.EnableManualLimit = (mask >> 1) & 1;
        const bool down = (mask >> 2) & 1;
        s.scan.ScanBlock(PeaksAt({{186, 1.0}}), 40);
        s.scan.ScanSample(0, down);
        EXPECT_EQ(s.scan.Channel(0).ChannelThreshold, mask == 7 ? 0.02 : 0.0) << mask;
    }
}

TEST(FreqScan, ThresholdFollowsTheLastFourWindowPeaks) {
    Scan s;
    s.scan.ScanBlock(PeaksAt({{186, 1.0}}), 40);
    // A long carrier, then silence: a third of the way from the floor (the
    // silence) to the carrier's envelope until four silent windows of 5513
    // samples have pushed it out of the ring.
    s.Feed(Keyed("t", 2, 186));
    const TCwDecoder& c = s.scan.Channel(0);
    const double envelope = 0.3 * 0.9728;
    EXPECT_NEAR(c.ChannelThreshold, 0.33 * envelope, 0.01);
    s.Feed(std::vector<std::int16_t>(2 * 5513, 0));
    EXPECT_NEAR(c.ChannelThreshold, 0.33 * envelope, 0.01);
    s.Feed(std::vector<std::int16_t>(3 * 5513, 0));
    EXPECT_LT(c.ChannelThreshold, 0.001);
}

TEST(FreqScan, FilterAndBurstLengthReachEveryChannel) {
    struct Case {
        int code;
        int kind;
        RateCode rate;
    };
    // Aliases and unknown codes as the main filter menu resolves them.
    const std::vector<Case> cases = {
        {3, 20, RateCode::R306},
        {999, 140, RateCode::R919},
        {2, 3500, RateCode::R11025},
        {251, 251, RateCode::Iir},
    };
    Scan s;
    for (const Case& c : cases) {
        s.scan.SetFilter(c.code);
        for (int ch = 0; ch < TFreqScan::kChannels; ++ch) {
            EXPECT_EQ(s.scan.Channel(ch).FilterKind, c.kind) << c.code;
            EXPECT_EQ(s.scan.Channel(ch).Rate(), c.rate) << c.code;
        }
    }
    for (int ch = 0; ch < TFreqScan::kChannels; ++ch) s.scan.Channel(ch).ResetPhase = false;
    s.scan.SetBurstLength(117);
    for (int ch = 0; ch < TFreqScan::kChannels; ++ch) {
        EXPECT_EQ(s.scan.Channel(ch).Burst.BurstLength, 117);
        EXPECT_TRUE(s.scan.Channel(ch).ResetPhase);
    }
    s.scan.SetBurstLength(0);  // would hold the key down for good
    EXPECT_EQ(s.scan.Channel(0).Burst.BurstLength, 1);
}

}  // namespace
}  // namespace quelp
