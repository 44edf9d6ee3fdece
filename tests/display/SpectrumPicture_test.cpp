// The spectrum picture's geometry on the figures the window is known by: a
// 571-pixel spectrum centred on bin 295, zoomed 1:1 and 20:1, and its scale.

#include "display/SpectrumPicture.h"

#include <gtest/gtest.h>

#include "dsp/LevelScale.h"

namespace quelp {
namespace {

std::array<double, kBlockSize> Ramp() {
    std::array<double, kBlockSize> values{};
    for (int b = 0; b < kBlockSize; ++b) values[static_cast<std::size_t>(b)] = b / 600.0;
    return values;
}

TEST(SpectrumPicture, ZoomOneShowsTheWholeBandFromX22) {
    EXPECT_EQ(ScaleOffset(571, 1, 295), 22);  // 1 x (285 - 295 + 32)
    const auto values = Ramp();
    std::vector<PixelPoint> curve;
    SpectrumCurve(values, 571, 50, 22, 1, false, curve);
    ASSERT_EQ(curve.size(), 527u);  // bins 32 ... 558
    EXPECT_EQ(curve.front(), (PixelPoint{22, ValueToY(32 / 600.0, 50, false)}));
    EXPECT_EQ(curve.back(), (PixelPoint{548, ValueToY(558 / 600.0, 50, false)}));
    EXPECT_EQ(MarkX(558, 22, 1, 571), 548);
}

TEST(SpectrumPicture, ZoomTwentyStartsAtTheFirstVisibleBin) {
    const int offset = ScaleOffset(571, 20, 295);
    EXPECT_EQ(offset, -4980);  // 20 x (14 - 295 + 32)
    const auto values = Ramp();
    std::vector<PixelPoint> curve;
    SpectrumCurve(values, 571, 50, offset, 20, true, curve);
    ASSERT_EQ(curve.size(), 29u);  // bins 281 ... 309 at x = 0, 20, ... 560
    EXPECT_EQ(curve.front(), (PixelPoint{0, ValueToY(281 / 600.0, 50, true)}));
    EXPECT_EQ(curve.back().x, 560);
    EXPECT_EQ(MarkX(295, offset, 20, 571), 280);
    EXPECT_EQ(MarkX(32, offset, 20, 571), std::nullopt);   // left of the picture
    EXPECT_EQ(MarkX(310, offset, 20, 571), std::nullopt);  // x = 580
    // Panned so far that no bin is left in the picture: no curve.
    SpectrumCurve(values, 571, 50, ScaleOffset(571, 20, 1000), 20, true, curve);
    EXPECT_TRUE(curve.empty());
}

TEST(SpectrumPicture, PointerToBin) {
    struct Case {
        int x, offset, zoom, bin;
    };
    for (const Case& c : {
             Case{22, 22, 1, 32},
             Case{290, 22, 1, 300},
             Case{0, 22, 1, 32},     // left of the band
             Case{570, 22, 1, 558},  // right of it
             Case{281, -768, 4, 294},
             Case{282, -768, 4, 295},  // half a bin rounds up
             Case{-5000, 22, 1, 32},
             Case{2'000'000'000, -2'000'000'000, 1, 558},
         }) {
        EXPECT_EQ(SpectrumBin(c.x, c.offset, c.zoom), c.bin) << c.x << " zoom " << c.zoom;
    }
}

TEST(SpectrumPicture, MarksAndTheSquelchLine) {
    const auto values = Ramp();
    SpectrumInputs in;
    in.Width = 571;
    in.Height = 50;
    in.Current = &values;
    in.Peak = nullptr;  // hidden after a retune
    in.SignalBin = 250;
    in.AfcCentreBin = 240;
    in.TxBin = 186;
    in.SquelchLevel = 1.0;
    SpectrumFrame frame;
    PlanSpectrum(in, frame);
    EXPECT_TRUE(frame.Peak.empty());
    EXPECT_EQ(frame.Current.size(), 527u);
    ASSERT_TRUE(frame.RxMark && frame.AfcMark && frame.TxMark);
    EXPECT_EQ(frame.RxMark->x, 240);
    EXPECT_EQ(frame.RxMark->top, 0);
    EXPECT_EQ(frame.RxMark->bottom, 49);
    EXPECT_EQ(frame.AfcMark->x, 230);
    EXPECT_EQ(frame.AfcMark->top, 33);  // the lower third
    EXPECT_EQ(frame.TxMark->x, 176);
    EXPECT_EQ(frame.TxMark->top, 38);  // the lower quarter
    EXPECT_EQ(frame.SquelchY, 0);
    in.AfcCentreBin.reset();
    in.SquelchLevel.reset();
    PlanSpectrum(in, frame);
    EXPECT_FALSE(frame.AfcMark);
    EXPECT_FALSE(frame.SquelchY);
}

TEST(SpectrumPicture, ScaleTicksAndLabelsByZoom) {
    std::vector<ScaleTick> ticks;
    PlanScale(571, 569, 1, 295, 11025.0, ticks);
    ASSERT_EQ(ticks.size(), 30u);
    EXPECT_EQ(ticks[0], (ScaleTick{8, 5, 100, false}));
    EXPECT_EQ(ticks[1], (ScaleTick{26, 5, 200, false}));
    EXPECT_EQ(ticks[4], (ScaleTick{82, 10, 500, false}));  // a 500 unlabelled at 1:1
    EXPECT_EQ(ticks[9], (ScaleTick{175, 17, 1000, true}));
    EXPECT_EQ(ticks[29], (ScaleTick{546, 17, 3000, true}));

    PlanScale(571, 569, 2, 295, 11025.0, ticks);
    for (const ScaleTick& t : ticks) EXPECT_EQ(t.labelled, t.hz % 500 == 0) << t.hz;

    // 4:1 shows 1300 ... 1900 Hz, every tick written.
    PlanScale(571, 569, 4, 295, 11025.0, ticks);
    ASSERT_EQ(ticks.size(), 7u);
    EXPECT_EQ(ticks.front(), (ScaleTick{69, 5, 1300, true}));
    EXPECT_EQ(ticks.back().hz, 1900);

    // Another rate moves the ticks; no rate, no scale.
    PlanScale(571, 569, 1, 295, 8000.0, ticks);
    EXPECT_EQ(ticks[9].x, 245);  // 1000 Hz is bin 256: 256 - 32 + 22, less 1
    PlanScale(571, 569, 1, 295, 0.0, ticks);
    EXPECT_TRUE(ticks.empty());
}

TEST(SpectrumPicture, PeaksHiddenForThreeRepaintsAndTheScaleRedrawnOnChange) {
    SpectrumRepaints r;
    EXPECT_TRUE(r.TakePeakCurve());
    r.HidePeaks();
    EXPECT_FALSE(r.TakePeakCurve());
    EXPECT_FALSE(r.TakePeakCurve());
    EXPECT_FALSE(r.TakePeakCurve());
    EXPECT_TRUE(r.TakePeakCurve());

    bool dirty = false;
    EXPECT_TRUE(r.ScaleDue(571, 295, dirty));  // never drawn
    EXPECT_FALSE(r.ScaleDue(571, 295, dirty));
    dirty = true;  // a new zoom or rate, same width and centre
    EXPECT_TRUE(r.ScaleDue(571, 295, dirty));
    EXPECT_FALSE(dirty);
    EXPECT_TRUE(r.ScaleDue(600, 295, dirty));
    EXPECT_TRUE(r.ScaleDue(600, 294, dirty));
    EXPECT_FALSE(r.ScaleDue(600, 294, dirty));
}

}  // namespace
}  // namespace quelp
