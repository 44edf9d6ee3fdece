// The oscilloscope's scrolling and trace: how many ring entries a tick
// draws, and where the trace starts and stops.

#include "display/OscilloscopePicture.h"

#include <gtest/gtest.h>

namespace quelp {
namespace {

TEST(OscilloscopePicture, StepRule) {
    struct Case {
        int waiting;
        bool slow;
        int step;
    };
    for (const Case& c : {
             Case{0, false, 0},
             Case{1, false, 1},
             Case{35, false, 1},
             Case{36, false, 2},
             Case{64, false, 2},
             Case{65, false, 65},  // catch up at once
             Case{10, true, 0},
             Case{11, true, 11},
             Case{36, true, 12},
             Case{65, true, 65},
         }) {
        EXPECT_EQ(OscScroll::Step(c.waiting, c.slow), c.step) << c.waiting << " slow " << c.slow;
    }
}

TEST(OscilloscopePicture, ScrollFollowsTheRingAcrossItsEnd) {
    OscScroll scroll;
    EXPECT_FALSE(scroll.Advance(0, false));    // nothing new
    EXPECT_TRUE(scroll.Advance(2047, false));  // far behind: at once
    EXPECT_EQ(scroll.Drawn(), 2047);
    EXPECT_TRUE(scroll.Advance(3, false));  // 4 new, across the end
    EXPECT_EQ(scroll.Drawn(), 0);
    EXPECT_FALSE(scroll.Advance(5, true));  // 5 new: too few for the slow timer
    EXPECT_EQ(scroll.Drawn(), 0);
}

TEST(OscilloscopePicture, TraceStartsOneWidthBackAndStopsShortOfTheEdge) {
    EXPECT_EQ(TraceStart(100, 571), 1578);  // (100 - 570) mod 2048
    std::array<double, kBlockSize> ring{};
    ring[1578] = 1.0;  // at x = 0
    ring[99] = 0.5;    // at x = 569 = W - 2, the last point
    OscilloscopeInputs in;
    in.Width = 571;
    in.Height = 101;
    in.Logarithmic = false;
    in.Ring = &ring;
    in.Drawn = 100;
    in.Threshold = 0.25;
    OscilloscopeFrame frame;
    PlanOscilloscope(in, frame);
    ASSERT_EQ(frame.Trace.size(), 570u);
    EXPECT_EQ(frame.Trace.front(), (PixelPoint{0, 0}));
    EXPECT_EQ(frame.Trace.back(), (PixelPoint{569, 50}));
    EXPECT_EQ(frame.ThresholdY, 75);
    EXPECT_FALSE(frame.LimitY);

    // Wider than the ring: it wraps and older entries come again.
    in.Width = 3000;
    PlanOscilloscope(in, frame);
    EXPECT_EQ(frame.Trace[10].y, frame.Trace[10 + kBlockSize].y);
}

}  // namespace
}  // namespace quelp
