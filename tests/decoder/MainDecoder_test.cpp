#include "decoder/MainDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quelp {
namespace {

// Records what the decoder reports, in order: each character as '*', a word
// space as '_', a speed report as 'S'.
class RecordingEvents final : public DecoderEvents {
  public:
    void CharacterDecoded(std::uint32_t code) override {
        codes.push_back(code);
        log += code == 0 ? '_' : '*';
    }
    void SpeedMeasured() override { log += 'S'; }
    void SpeedLimitsChanged() override { ++limitsChanged; }
    void SpeedWindowApplied() override { ++windowApplied; }
    void SpeedLockChanged() override { ++lockChanged; }

    std::vector<std::uint32_t> codes;
    std::string log;
    int limitsChanged = 0;
    int windowApplied = 0;
    int lockChanged = 0;
};

class MainDecoderTest : public ::testing::Test {
  protected:
    // Without the burst filter's delay: a burst length of 1 passes the key
    // through unchanged, so sample counts below are the machine's own.
    void Unfiltered() { d.Burst.BurstLength = 1; }

    // Feeds `n` samples of one key state; returns the 1-based sample of the
    // run at which the emitted list first grew, or 0.
    int Feed(bool key, int n) {
        int first = 0;
        for (int i = 1; i <= n; ++i) {
            const std::size_t before = emitted.size();
            d.DecodeSample(key);
            if (first == 0 && emitted.size() != before) first = i;
        }
        return first;
    }
    // A one-sample dot and a character gap, then nothing recorded: the very
    // first mark also counts the counter's start value, every later one
    // counts from zero. The estimates keep their start values.
    void Settle() {
        const std::int32_t burst = d.Burst.BurstLength;
        d.Burst.BurstLength = 1;
        Feed(true, 1);
        Feed(false, 2000);
        d.Burst.BurstLength = burst;
        events = RecordingEvents{};
    }
    // A mark of `n` samples (after Settle).
    void Mark(int n) { Feed(true, n); }

    DecoderSpeed speed;
    double samplingFreq = 11025.0;
    RecordingEvents events;
    std::vector<std::uint32_t>& emitted = events.codes;
    MainDecoder d{speed, samplingFreq, events};
};

TEST_F(MainDecoderTest, BurstFilterDropsShortBurstsAndBridgesShortGaps) {
    BurstFilter f;
    f.BurstLength = 4;
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"111000", "000000"},          // a 3-sample burst never fills the integrator
        {"1111000000", "0001111000"},  // both edges delayed by 3 samples: length kept
        {"11111110011111110000", "00011111111111111110"},  // a 2-sample gap is bridged
    };
    for (const Case& c : cases) {
        f.BurstCount = 0;
        f.BurstKey = 0;
        std::string out;
        for (char k : c.in) out += f.Step(k == '1') ? '1' : '0';
        EXPECT_EQ(out, c.out) << c.in;
    }
}

TEST_F(MainDecoderTest, FirstMarkCountsOnFromTheStartValue662) {
    // The mark counter starts at 662 samples: a first key-down of 397
    // samples is timed as 1059 (still a dot), one of 398 as 1060 (a dash).
    EXPECT_EQ(d.State().MarkCount, 662);
    struct Case {
        int samples;
        std::uint32_t code;
    };
    for (const Case& c : {Case{397, 2}, Case{398, 3}}) {
        DecoderSpeed fresh;
        RecordingEvents heard;
        MainDecoder first(fresh, samplingFreq, heard);
        first.Burst.BurstLength = 1;
        for (int i = 0; i < c.samples; ++i) first.DecodeSample(true);
        for (int i = 0; i < 2000; ++i) first.DecodeSample(false);
        EXPECT_EQ(heard.codes, std::vector<std::uint32_t>{c.code}) << c.samples;
    }
}

TEST_F(MainDecoderTest, MarkBoundaryBetweenDotAndDash) {
    Unfiltered();
    Settle();
    Mark(1059);  // 662 × 16 / 10: still a dot
    Feed(false, 1);
    EXPECT_EQ(d.State().CharCode, 2u);
    EXPECT_EQ(speed.DotLen, (3 * 1059 + 662) / 4);
    EXPECT_EQ(speed.DashLen, 1986);

    speed.DotLen = 662;
    Feed(false, 2000);  // end the character
    Mark(1060);
    Feed(false, 1);
    EXPECT_EQ(d.State().CharCode, 3u);
    EXPECT_EQ(d.State().LastElement, 1);
    EXPECT_EQ(speed.DotLen, (662 + 1060) / 4);
    EXPECT_EQ(speed.DashLen, (3 * 1060 + 1986) / 4);
}

TEST_F(MainDecoderTest, GapClassificationUpdatesOneEstimate) {
    struct Case {
        std::int32_t gap;
        std::int32_t shortPause, charPause, wordPause;
    };
    const Case cases[] = {
        {1124, (3 * 1124 + 662) / 4, 1986, 4634},  // below 662 × 17 / 10
        {1125, 662, (3 * 1125 + 1986) / 4, 4634},  // exactly 17/10: a character gap
        {3309, 662, (3 * 3309 + 1986) / 4, 4634},
        {3310, 662, 1986, (3 * 3310 + 4634) / 4},  // exactly 5 dots: a word gap
        {13239, 662, 1986, (3 * 13239 + 4634) / 4},
        {13240, 662, 1986, 4634},  // 20 dots and more: nothing
    };
    for (const Case& c : cases) {
        // A fresh decoder: its one-sample first mark (timed as 663) and the
        // 662-sample gap before it leave every estimate where it started.
        DecoderSpeed fresh;
        RecordingEvents heard;
        MainDecoder dec(fresh, samplingFreq, heard);
        dec.Burst.BurstLength = 1;
        dec.DecodeSample(true);
        for (int i = 0; i < c.gap; ++i) dec.DecodeSample(false);
        dec.DecodeSample(true);
        EXPECT_EQ(fresh.DotLen, 662) << c.gap;
        EXPECT_EQ(fresh.ShortPauseLen, c.shortPause) << c.gap;
        EXPECT_EQ(dec.State().CharPauseLen, c.charPause) << c.gap;
        EXPECT_EQ(dec.State().WordPauseLen, c.wordPause) << c.gap;
    }
}

TEST_F(MainDecoderTest, CharacterEndsAt993AndWordSpaceAt3310) {
    Unfiltered();
    Settle();
    Mark(662);
    ASSERT_EQ(speed.DotLen, 662);
    const std::int32_t decodedBefore = speed.DecodedChars;
    EXPECT_EQ(Feed(false, 992), 0);
    EXPECT_EQ(Feed(false, 1), 1);  // the 993rd key-up sample
    EXPECT_EQ(emitted, std::vector<std::uint32_t>{2});
    EXPECT_EQ(speed.DecodedChars, decodedBefore + 1);
    EXPECT_EQ(Feed(false, 3310 - 993), 3310 - 993);  // exactly 5 dots
    EXPECT_EQ(emitted, (std::vector<std::uint32_t>{2, 0}));
    EXPECT_EQ(d.State().AfterWordSpace, 1);
    EXPECT_EQ(Feed(false, 20000), 0);               // once per key-up interval
    EXPECT_EQ(d.State().SpaceCount, 662 * 25 + 1);  // stops one past 25 dots
}

TEST_F(MainDecoderTest, SpeedIsReportedEveryFifthCharacterAndAtWordSpacesAfterTheFourth) {
    Unfiltered();
    // Characters end 993 samples into a gap, a word space comes 3310 in.
    auto character = [&](int gap) {
        Feed(true, 662);
        Feed(false, gap);
    };
    for (int i = 0; i < 3; ++i) character(2000);
    character(4000);  // the fourth, then a word space
    character(4000);  // the fifth, then a word space
    for (int i = 0; i < 5; ++i) character(2000);
    EXPECT_EQ(events.log, "****_*S_S*****S");
    EXPECT_EQ(speed.DecodedChars, 10);
}

TEST_F(MainDecoderTest, BurstFilterKeepsTheTiming) {
    ASSERT_EQ(d.Burst.BurstLength, 175);
    Settle();  // a character gap before: ShortPauseLen stays 662
    // Both edges come out 174 samples late: the filtered mark is 662 samples
    // long and its first key-up sample is the 175th of the raw gap.
    Feed(true, 662);
    EXPECT_EQ(Feed(false, 174 + 992), 0);
    EXPECT_EQ(Feed(false, 1), 1);
    EXPECT_EQ(emitted, std::vector<std::uint32_t>{2});
    EXPECT_EQ(speed.DotLen, 662);
    EXPECT_EQ(speed.ShortPauseLen, 662);
}

TEST_F(MainDecoderTest, ElementsAccumulateAcrossShortGaps) {
    Unfiltered();
    Settle();
    Mark(662);
    EXPECT_EQ(Feed(false, 900), 0);
    Mark(662);
    EXPECT_EQ(Feed(false, 400), 0);
    Mark(1986);
    Feed(false, 2000);
    EXPECT_EQ(emitted, std::vector<std::uint32_t>{9});  // ..- u
}

TEST_F(MainDecoderTest, ShortFirstDotAfterAWordSpaceIsDropped) {
    Unfiltered();
    Settle();
    Mark(662);
    Feed(false, 4000);  // character and word space
    ASSERT_EQ(emitted, (std::vector<std::uint32_t>{2, 0}));
    Mark(300);                     // below 662 / 2: noise, but DotLen still moves
    EXPECT_EQ(speed.DotLen, 662);  // classified at key-up
    Feed(false, 300);
    EXPECT_EQ(d.State().CharCode, 1u);
    EXPECT_EQ(speed.DotLen, (3 * 300 + 662) / 4);
    Mark(1986);
    Feed(false, 300);
    const std::int32_t dot = speed.DotLen;
    Mark(dot / 2 - 1);  // as short, but inside a character now
    Feed(false, 5000);
    EXPECT_EQ(emitted, (std::vector<std::uint32_t>{2, 0, 6, 0}));  // -. n
}

TEST_F(MainDecoderTest, ThirtyOneElementsThenOverflow) {
    Unfiltered();
    Settle();
    for (int i = 0; i < 35; ++i) {
        Mark(662);
        Feed(false, 662);
    }
    Feed(false, 1000);
    EXPECT_EQ(emitted, std::vector<std::uint32_t>{0x80000000u});
}

TEST_F(MainDecoderTest, SilenceFromStartCountsAnEmptyCharacterAndAWordSpace) {
    Unfiltered();
    // The key-up interval at start is already 662 samples old.
    EXPECT_EQ(Feed(false, 331), 0);
    EXPECT_EQ(speed.DecodedChars, 1);
    EXPECT_EQ(Feed(false, 3310), 3310 - 993);
    EXPECT_EQ(emitted, std::vector<std::uint32_t>{0});
}

TEST_F(MainDecoderTest, PauseDotsGrowsPerDotAndStopsAboveTen) {
    Unfiltered();
    Settle();
    Mark(662);
    EXPECT_EQ(d.PauseDots(), 0.0);
    Feed(false, 1 + 662);
    EXPECT_NEAR(d.PauseDots(), 1.0, 1e-9);
    Feed(false, 662 * 12);
    EXPECT_GT(d.PauseDots(), 10.0);
    EXPECT_LE(d.PauseDots(), 10.0 + 1.0 / 662 + 1e-9);
}

TEST_F(MainDecoderTest, DotLenNeverReachesZero) {
    Unfiltered();
    Settle();
    speed.DotLen = 1;
    Mark(2);  // a dash of two samples: (1 + 2) / 4 would be 0
    Feed(false, 1);
    EXPECT_EQ(d.State().LastElement, 1);
    EXPECT_EQ(speed.DotLen, 1);
    Feed(false, 100);  // the key-up path divides by DotLen
    EXPECT_GE(d.PauseDots(), 0.0);
}

TEST_F(MainDecoderTest, AnEndlessMarkStopsCountingBeforeOverflow) {
    Unfiltered();
    Settle();
    for (int i = 0; i < kMarkCountCap + 10; ++i) d.DecodeSample(true);
    EXPECT_EQ(d.State().MarkCount, kMarkCountCap);
    Feed(false, 1);
    EXPECT_EQ(speed.DashLen, (3 * kMarkCountCap + 1986) / 4);
    // All sums of the speed stay in range.
    const auto measured = MeasuredSpeed(speed, d.State(), samplingFreq);
    ASSERT_TRUE(measured.has_value());
    EXPECT_DOUBLE_EQ(measured->wpm, 60.0 * 11025.0 /
                                        (10.0 * speed.DotLen + 4.0 * speed.DashLen + 9.0 * 662 +
                                         4.0 * d.State().CharPauseLen + 4634));
}

TEST_F(MainDecoderTest, SpeedFromPARISTiming) {
    // T = 33100 samples at the start values: 20 WPM, 100 LPM.
    const auto start = MeasuredSpeed(speed, d.State(), samplingFreq);
    ASSERT_TRUE(start.has_value());
    EXPECT_NEAR(start->wpm, 19.985, 0.001);
    EXPECT_EQ(start->lpm, 100);

    // Nothing from estimates that sum to no time at all.
    speed.DotLen = speed.DashLen = speed.ShortPauseLen = 0;
    IntervalState none;
    none.CharPauseLen = none.WordPauseLen = 0;
    EXPECT_FALSE(MeasuredSpeed(speed, none, samplingFreq).has_value());
}

TEST(DecoderSpeed, DotSamplesRoundsAndStaysPositive) {
    EXPECT_EQ(DotSamples(11025.0, 100), 662);
    EXPECT_EQ(DotSamples(11025.0, 150), 441);
    EXPECT_EQ(DotSamples(11025.0, 3000), 22);
    EXPECT_EQ(DotSamples(11025.0, 5), 13230);
    EXPECT_EQ(DotSamples(0.0, 100), 1);
    EXPECT_EQ(DotSamples(11025.0, 0), 1 << 24);
}

TEST_F(MainDecoderTest, SpeedLimitsAndLock) {
    d.SetSpeedLimits(150, 100);  // swapped
    EXPECT_EQ(speed.LowerSpeed, 100);
    EXPECT_EQ(speed.HigherSpeed, 150);
    EXPECT_EQ(events.limitsChanged, 1);
    EXPECT_EQ(speed.UpperDotLimit, 662);
    EXPECT_EQ(speed.LowerDotLimit, 441);
    EXPECT_EQ(events.windowApplied, 0);  // not locked: limits only

    d.SetSpeedLimits(1, 5000);  // the controls keep 5..3000
    EXPECT_EQ(speed.LowerSpeed, 5);
    EXPECT_EQ(speed.HigherSpeed, 3000);

    // Turning the lock on with a fast dot raises the estimates into the window.
    speed.DotLen = 300;
    speed.SpeedLocked = 1;
    d.SetSpeedLimits(100, 150);
    EXPECT_EQ(speed.DotLen, 441);
    EXPECT_EQ(speed.ShortPauseLen, 441);
    EXPECT_EQ(speed.DashLen, 1323);
    EXPECT_EQ(events.windowApplied, 1);
    // ... and a slow one lowers them.
    speed.DotLen = 5000;
    d.SetSpeedLimits(100, 150);
    EXPECT_EQ(speed.DotLen, 662);
    EXPECT_EQ(speed.DashLen, 1986);
    EXPECT_EQ(events.limitsChanged, 4);
    EXPECT_EQ(events.lockChanged, 0);
}

TEST_F(MainDecoderTest, LockedEstimatesIgnoreElementsOutsideTheWindow) {
    Unfiltered();
    Settle();
    speed.SpeedLocked = 1;
    d.SetSpeedLimits(100, 150);  // dot limits 441..662
    struct Case {
        int mark;
        std::int32_t dotAfter;
    };
    const Case cases[] = {
        {300, 662},                  // a dot outside: classified, not learnt
        {441, 662},                  // the bounds are outside too
        {500, (3 * 500 + 662) / 4},  // inside
        {1986, 662},                 // a dash at 3 × 662: outside
        {1500, (662 + 1500) / 4},    // inside 1323..1986
    };
    for (const Case& c : cases) {
        speed.DotLen = 662;
        emitted.clear();
        Mark(c.mark);
        Feed(false, 2000);
        EXPECT_EQ(speed.DotLen, c.dotAfter) << c.mark;
        ASSERT_EQ(emitted.size(), 1u) << c.mark;  // the element is kept either way
    }
    // Element gaps outside the window do not move ShortPauseLen.
    speed.DotLen = 662;
    speed.ShortPauseLen = 662;
    Mark(662);
    Feed(false, 400);
    Feed(true, 1);
    EXPECT_EQ(speed.ShortPauseLen, 662);
}

TEST_F(MainDecoderTest, CtrlClickCentresTheWindowOnTheCurrentSpeed) {
    d.SetSpeedLimits(100, 150);
    d.SpeedLockButtonMouseDown(true);
    EXPECT_EQ(speed.SpeedLocked, 1);
    EXPECT_EQ(speed.LowerSpeed, 75);
    EXPECT_EQ(speed.HigherSpeed, 125);
    EXPECT_EQ(events.lockChanged, 1);
    EXPECT_EQ(events.windowApplied, 1);

    // The click that follows keeps the lock instead of toggling it; only the
    // next ones toggle.
    for (int locked : {1, 0, 1}) {
        d.SpeedLockButtonClick();
        EXPECT_EQ(speed.SpeedLocked, locked);
    }
    EXPECT_EQ(events.lockChanged, 4);

    // Without Ctrl the mouse down changes nothing.
    speed.SpeedLocked = 0;
    d.SpeedLockButtonMouseDown(false);
    EXPECT_EQ(speed.SpeedLocked, 0);
    EXPECT_EQ(events.lockChanged, 4);
}

TEST_F(MainDecoderTest, CtrlClickClampsAtTheControlLimits) {
    struct Case {
        std::int32_t dot, low, high;
        std::int32_t expectLow, expectHigh;
    };
    const Case cases[] = {
        {20, 100, 150, 3000, 3000},  // 3308 LPM
        {13230, 5, 3000, 5, 1505},   // 5 LPM, full width: high from the unclamped low
        {662, 100, 100, 100, 100},   // zero width
    };
    for (const Case& c : cases) {
        speed.SpeedLocked = 0;
        speed.DotLen = speed.ShortPauseLen = c.dot;
        d.SetSpeedLimits(c.low, c.high);
        d.SpeedLockButtonMouseDown(true);
        EXPECT_EQ(speed.LowerSpeed, c.expectLow) << c.dot;
        EXPECT_EQ(speed.HigherSpeed, c.expectHigh) << c.dot;
    }
}

}  // namespace
}  // namespace quelp
