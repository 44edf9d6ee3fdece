#include "decoder/MainDecoder.h"

#include <gtest/gtest.h>
#include <atomic>

#include <string>
#include <vector>

#include "decoder/SpeedText.h"
#include "support/FakeMainView.h"

namespace quelp {
namespace {

class MainDecoderTest : public ::testing::Test {
  protected:
    MainDecoderTest() : d(params, view, holdOff) {
        d.EmitCharacter = [this](std::uint32_t code) { emitted.push_back(code); };
        d.SpeedWindowApplied = [this] { ++windowApplied; };
    }

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
    // A mark counted from zero (the very first mark also counts the initial
    // MarkCount of 662).
    void Mark(int n) {
        d.State().MarkCount = 0;
        Feed(true, n);
    }

    Quelp_Params params;
    test::FakeMainView view;
    std::atomic<int> holdOff{7};
    MainDecoder d;
    std::vector<std::uint32_t> emitted;
    int windowApplied = 0;
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

TEST_F(MainDecoderTest, MarkBoundaryBetweenDotAndDash) {
    Unfiltered();
    Mark(1059);  // 662 × 16 / 10: still a dot
    Feed(false, 1);
    EXPECT_EQ(d.State().CharCode, 2u);
    EXPECT_EQ(params.DotLen, (3 * 1059 + 662) / 4);
    EXPECT_EQ(params.DashLen, 1986);

    params.DotLen = 662;
    Feed(false, 2000);  // end the character
    Mark(1060);
    Feed(false, 1);
    EXPECT_EQ(d.State().CharCode, 3u);
    EXPECT_EQ(d.State().LastElement, 1);
    EXPECT_EQ(params.DotLen, (662 + 1060) / 4);
    EXPECT_EQ(params.DashLen, (3 * 1060 + 1986) / 4);
}

TEST_F(MainDecoderTest, GapClassificationUpdatesOneEstimate) {
    Unfiltered();
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
        params.ShortPauseLen = 662;
        params.DotLen = 662;
        d.State() = IntervalState{};
        d.State().SpaceCount = c.gap;
        Feed(true, 1);
        EXPECT_EQ(params.ShortPauseLen, c.shortPause) << c.gap;
        EXPECT_EQ(d.State().CharPauseLen, c.charPause) << c.gap;
        EXPECT_EQ(d.State().WordPauseLen, c.wordPause) << c.gap;
    }
}

TEST_F(MainDecoderTest, CharacterEndsAt993AndWordSpaceAt3310) {
    Unfiltered();
    Mark(662);
    ASSERT_EQ(params.DotLen, 662);
    const int decodedBefore = d.DecodedChars();
    EXPECT_EQ(Feed(false, 992), 0);
    EXPECT_EQ(Feed(false, 1), 1);  // the 993rd key-up sample
    EXPECT_EQ(emitted, std::vector<std::uint32_t>{2});
    EXPECT_EQ(d.DecodedChars(), decodedBefore + 1);
    EXPECT_EQ(Feed(false, 3310 - 993), 3310 - 993);  // exactly 5 dots
    EXPECT_EQ(emitted, (std::vector<std::uint32_t>{2, 0}));
    EXPECT_EQ(d.State().AfterWordSpace, 1);
    EXPECT_EQ(Feed(false, 20000), 0);               // once per key-up interval
    EXPECT_EQ(d.State().SpaceCount, 662 * 25 + 1);  // stops one past 25 dots
}

TEST_F(MainDecoderTest, BurstFilterKeepsTheTiming) {
    ASSERT_EQ(d.Burst.BurstLength, 175);
    d.State().MarkCount = 0;
    d.State().SpaceCount = 5000;  // a word gap before: ShortPauseLen stays 662
    // Both edges come out 174 samples late: the filtered mark is 662 samples
    // long and its first key-up sample is the 175th of the raw gap.
    Feed(true, 662);
    EXPECT_EQ(Feed(false, 174 + 992), 0);
    EXPECT_EQ(Feed(false, 1), 1);
    EXPECT_EQ(emitted, std::vector<std::uint32_t>{2});
    EXPECT_EQ(params.DotLen, 662);
}

TEST_F(MainDecoderTest, ElementsAccumulateAcrossShortGaps) {
    Unfiltered();
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
    Mark(662);
    Feed(false, 4000);  // character and word space
    ASSERT_EQ(emitted, (std::vector<std::uint32_t>{2, 0}));
    Mark(300);                      // below 662 / 2: noise, but DotLen still moves
    EXPECT_EQ(params.DotLen, 662);  // classified at key-up
    Feed(false, 300);
    EXPECT_EQ(d.State().CharCode, 1u);
    EXPECT_EQ(params.DotLen, (3 * 300 + 662) / 4);
    Mark(1986);
    Feed(false, 300);
    const std::int32_t dot = params.DotLen;
    Mark(dot / 2 - 1);  // as short, but inside a character now
    Feed(false, 5000);
    EXPECT_EQ(emitted, (std::vector<std::uint32_t>{2, 0, 6, 0}));  // -. n
}

TEST_F(MainDecoderTest, ThirtyOneElementsThenOverflow) {
    Unfiltered();
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
    EXPECT_EQ(d.DecodedChars(), 1);
    EXPECT_EQ(Feed(false, 3310), 3310 - 993);
    EXPECT_EQ(emitted, std::vector<std::uint32_t>{0});
}

TEST_F(MainDecoderTest, PauseDotsGrowsPerDotAndStopsAboveTen) {
    Unfiltered();
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
    params.DotLen = 1;
    Mark(2);  // a dash of two samples: (1 + 2) / 4 would be 0
    Feed(false, 1);
    EXPECT_EQ(d.State().LastElement, 1);
    EXPECT_EQ(params.DotLen, 1);
    Feed(false, 100);  // the key-up path divides by DotLen
    EXPECT_GE(d.PauseDots(), 0.0);
}

TEST_F(MainDecoderTest, AnEndlessMarkStopsCountingBeforeOverflow) {
    Unfiltered();
    d.State().MarkCount = kMarkCountCap - 2;
    Feed(true, 10);
    EXPECT_EQ(d.State().MarkCount, kMarkCountCap);
    Feed(false, 1);
    EXPECT_EQ(params.DashLen, (3 * kMarkCountCap + 1986) / 4);
    d.UpdateSpeedDisplay();  // all sums stay in range
    EXPECT_EQ(view.Status(panel::Wpm), FormatWpm(60.0 * 11025.0 /
                                                 (10.0 * params.DotLen + 4.0 * params.DashLen +
                                                  9.0 * 662 + 4.0 * 1986 + 4634)) +
                                           " WPM");
}

TEST_F(MainDecoderTest, SpeedDisplayFromPARISTiming) {
    d.UpdateSpeedDisplay();  // T = 33100 at the initial estimates
    EXPECT_EQ(view.Status(panel::Wpm), "20.0 WPM");
    EXPECT_EQ(view.Status(panel::Lpm), "100 LPM");

    // Every fifth character end refreshes the display.
    Unfiltered();
    view.calls.clear();
    for (int i = 0; i < 10; ++i) {
        Mark(662);
        Feed(false, 1500);  // a character gap: ShortPauseLen stays
    }
    int writes = 0;
    for (const auto& call : view.calls) writes += call.rfind("status 5 ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(writes, 2);

    // Nothing is shown from estimates that sum to no time at all.
    view.status.clear();
    params.DotLen = params.DashLen = params.ShortPauseLen = 0;
    d.State().CharPauseLen = d.State().WordPauseLen = 0;
    d.UpdateSpeedDisplay();
    EXPECT_TRUE(view.status.empty());
}

TEST(SpeedText, WpmFormatHasOneDecimalAndNoPadding) {
    const std::pair<double, const char*> cases[] = {
        {19.98, "20.0"}, {5.2, "5.2"}, {60.0, "60.0"},      {100.0, "100.0"}, {2.25, "2.3"},
        {0.46, ".5"},    {0.04, ".0"}, {1234.56, "1234.6"}, {9.96, "10.0"},   {19.949, "19.9"},
    };
    for (const auto& [wpm, text] : cases) EXPECT_EQ(FormatWpm(wpm), text) << wpm;
}

TEST(SpeedText, DotSamplesRoundsAndStaysPositive) {
    EXPECT_EQ(DotSamples(11025.0, 100), 662);
    EXPECT_EQ(DotSamples(11025.0, 150), 441);
    EXPECT_EQ(DotSamples(11025.0, 3000), 22);
    EXPECT_EQ(DotSamples(11025.0, 5), 13230);
    EXPECT_EQ(DotSamples(0.0, 100), 1);
    EXPECT_EQ(DotSamples(11025.0, 0), 1 << 24);
}

TEST_F(MainDecoderTest, SpeedLimitsAndLock) {
    d.SetSpeedLimits(150, 100);  // swapped
    EXPECT_EQ(params.LowerSpeed, 100);
    EXPECT_EQ(params.HigherSpeed, 150);
    EXPECT_EQ(view.texts[UiItem::LowSpeedEdit], "100");
    EXPECT_EQ(view.texts[UiItem::HighSpeedEdit], "150");
    EXPECT_EQ(params.UpperDotLimit, 662);
    EXPECT_EQ(params.LowerDotLimit, 441);
    EXPECT_EQ(windowApplied, 0);  // not locked: limits only

    d.SetSpeedLimits(1, 5000);  // the controls keep 5..3000
    EXPECT_EQ(params.LowerSpeed, 5);
    EXPECT_EQ(params.HigherSpeed, 3000);
    EXPECT_EQ(view.texts[UiItem::HighSpeedEdit], "3000");

    // Turning the lock on with a fast dot raises the estimates into the window.
    params.DotLen = 300;
    params.SpeedLocked = 1;
    d.SetSpeedLimits(100, 150);
    EXPECT_EQ(params.DotLen, 441);
    EXPECT_EQ(params.ShortPauseLen, 441);
    EXPECT_EQ(params.DashLen, 1323);
    EXPECT_EQ(view.Status(panel::Lpm), "100-150");
    EXPECT_EQ(windowApplied, 1);
    // ... and a slow one lowers them.
    params.DotLen = 5000;
    d.SetSpeedLimits(100, 150);
    EXPECT_EQ(params.DotLen, 662);
    EXPECT_EQ(params.DashLen, 1986);
}

TEST_F(MainDecoderTest, LockedEstimatesIgnoreElementsOutsideTheWindow) {
    Unfiltered();
    params.SpeedLocked = 1;
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
        params.DotLen = 662;
        emitted.clear();
        Mark(c.mark);
        Feed(false, 2000);
        EXPECT_EQ(params.DotLen, c.dotAfter) << c.mark;
        ASSERT_EQ(emitted.size(), 1u) << c.mark;  // the element is kept either way
    }
    // Element gaps outside the window do not move ShortPauseLen.
    params.DotLen = 662;
    params.ShortPauseLen = 662;
    Mark(662);
    Feed(false, 400);
    Feed(true, 1);
    EXPECT_EQ(params.ShortPauseLen, 662);
}

TEST_F(MainDecoderTest, CtrlClickCentresTheWindowOnTheCurrentSpeed) {
    d.SetSpeedLimits(100, 150);
    d.SpeedLockButtonMouseDown(true);
    EXPECT_EQ(holdOff, 0);
    EXPECT_EQ(params.SpeedLocked, 1);
    EXPECT_EQ(params.LowerSpeed, 75);
    EXPECT_EQ(params.HigherSpeed, 125);
    EXPECT_EQ(view.texts[UiItem::LowSpeedEdit], "75");
    EXPECT_TRUE(view.down[UiItem::SpeedLockButton]);
    EXPECT_EQ(d.CtrlClickLock, 1);
    EXPECT_EQ(windowApplied, 1);

    // The click that follows keeps the lock instead of toggling it.
    holdOff = 5;
    d.SpeedLockButtonClick();
    EXPECT_EQ(holdOff, 0);
    EXPECT_EQ(params.SpeedLocked, 1);
    EXPECT_EQ(d.CtrlClickLock, 0);
    d.SpeedLockButtonClick();
    EXPECT_EQ(params.SpeedLocked, 0);
    EXPECT_FALSE(view.down[UiItem::SpeedLockButton]);
    d.SpeedLockButtonClick();
    EXPECT_EQ(params.SpeedLocked, 1);
    EXPECT_TRUE(view.down[UiItem::SpeedLockButton]);

    // Without Ctrl the mouse down only clears the hold-off.
    params.SpeedLocked = 0;
    holdOff = 5;
    d.SpeedLockButtonMouseDown(false);
    EXPECT_EQ(holdOff, 0);
    EXPECT_EQ(params.SpeedLocked, 0);
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
        params.SpeedLocked = 0;
        params.DotLen = params.ShortPauseLen = c.dot;
        d.SetSpeedLimits(c.low, c.high);
        d.SpeedLockButtonMouseDown(true);
        EXPECT_EQ(params.LowerSpeed, c.expectLow) << c.dot;
        EXPECT_EQ(params.HigherSpeed, c.expectHigh) << c.dot;
    }
}

// A view whose edits report every text change back, as the window's change
// events do.
class EchoingView : public test::FakeMainView {
  public:
    void SetText(UiItem item, std::string_view text) override {
        FakeMainView::SetText(item, text);
        if (decoder == nullptr) return;
        ++echoes;
        if (item == UiItem::LowSpeedEdit) decoder->LowSpeedEditChange(text);
        if (item == UiItem::HighSpeedEdit) decoder->HighSpeedEditChange(text);
    }
    MainDecoder* decoder = nullptr;
    int echoes = 0;
};

TEST(MainDecoderEdits, TypedLimitsAreAppliedSwappedAndWithoutRecursion) {
    Quelp_Params params;
    EchoingView view;
    std::atomic<int> holdOff{0};
    MainDecoder d(params, view, holdOff);
    view.decoder = &d;

    d.LowSpeedEditChange("200");  // above the higher limit: swapped
    EXPECT_EQ(params.LowerSpeed, 150);
    EXPECT_EQ(params.HigherSpeed, 200);
    EXPECT_EQ(view.texts[UiItem::LowSpeedEdit], "150");
    EXPECT_EQ(view.texts[UiItem::HighSpeedEdit], "200");
    EXPECT_EQ(view.echoes, 2);  // each write came back once and was absorbed

    d.HighSpeedEditExit("abc");  // not a number: the position stays
    EXPECT_EQ(params.HigherSpeed, 200);
    d.HighSpeedEditChange(" 9000 ");
    EXPECT_EQ(params.HigherSpeed, 3000);
    EXPECT_EQ(params.LowerDotLimit, DotSamples(11025.0, 3000));
    d.LowSpeedEditExit("-20");
    EXPECT_EQ(params.LowerSpeed, 5);
}

TEST(SpinControlTest, ArrowsStepByFiveWithinTheRange) {
    test::FakeMainView view;
    SpinControl s(view, UiItem::LowSpeedEdit, 100);
    s.StepUp();
    EXPECT_EQ(s.Position(), 105);
    EXPECT_EQ(view.texts[UiItem::LowSpeedEdit], "105");
    s.SetPosition(7);
    s.StepDown();
    EXPECT_EQ(s.Position(), 5);
    s.SetPosition(2998);
    s.StepUp();
    EXPECT_EQ(s.Position(), 3000);
    EXPECT_FALSE(s.TakeEditText(""));
    EXPECT_FALSE(s.TakeEditText("12x"));
    EXPECT_TRUE(s.TakeEditText("99999999999999999999"));
    EXPECT_EQ(s.Position(), 3000);
}

}  // namespace
}  // namespace quelp
