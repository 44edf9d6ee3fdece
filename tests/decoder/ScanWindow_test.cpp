// The multi-channel window's data: grid rows, colours, grid centring and the
// waterfall picture.
#include "decoder/ScanWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace quelp {
namespace {

TEST(ScanWindow, HslToRgbBytes) {
    struct Case {
        double l, s, h;
        Rgb rgb;
    };
    const std::vector<Case> cases = {
        {0.35, 0.3, 0.7, {73, 62, 116}},     // waterfall background
        {0.65, 0.99, -0.2, {219, 77, 254}},  // full-scale trace, hue wrapped to 0.8
        {0.65, 0.99, 0.8, {219, 77, 254}},  {0.5, 0.0, 0.3, {128, 128, 128}},  // grey
        {1.7, 0.5, 0.0, {255, 255, 255}},                                      // lightness limited
        {0.5, 1.0, 1.0 / 3, {0, 255, 0}},   {0.5, 1.0, 0.0, {255, 0, 0}},
    };
    for (const Case& c : cases) {
        const Rgb got = HslToRgb(c.l, c.s, c.h);
        EXPECT_EQ(got, c.rgb) << c.l << " " << c.s << " " << c.h << " -> " << int(got.r) << ","
                              << int(got.g) << "," << int(got.b);
    }
    EXPECT_EQ(ScanWindow::Background(), (Rgb{73, 62, 116}));
}

TEST(ScanWindow, RowsKeepTheNewestFiftyCharactersAndStayInsideTheGrid) {
    ScanWindow w;
    std::string sent;
    for (int i = 0; i < 30; ++i) {
        const std::string word = std::to_string(i) + " ";
        sent += word;
        w.AppendToRow(5, word);
        ASSERT_LE(w.Row(5).size(), 50u);
    }
    EXPECT_EQ(w.Row(5), sent.substr(sent.size() - 50));
    // A row beyond the grid goes to the nearest edge row.
    w.AppendToRow(-3, "lo");
    w.AppendToRow(39, "hi");
    w.AppendToRow(1 << 30, "!");
    EXPECT_EQ(w.Row(0), "lo");
    EXPECT_EQ(w.Row(38), "hi!");
    EXPECT_EQ(w.Row(39), "");
    w.SetRow(5, std::string(60, 'x') + "end");
    EXPECT_EQ(w.Row(5).size(), 50u);
    EXPECT_EQ(w.Row(5).substr(47), "end");
}

TEST(ScanWindow, CentreScanGridPutsTheTransmitRowInTheMiddle) {
    struct Case {
        int tx, start, visible, top;
    };
    const std::vector<Case> cases = {
        {200, 40, 16, 12},  // 160 bins above the band start: row 20 - 8
        {100, 40, 16, 0},   // row 7 - 8 is limited to 0
        {335, 40, 16, 23},  // row 36 - 8 = 28: the grid ends at 39 - 16
        {200, 40, 39, 0},
    };
    for (const Case& c : cases) {
        ScanWindow w;
        w.VisibleRows = c.visible;
        w.CentreScanGrid(c.tx, c.start);
        EXPECT_EQ(w.TopRow, c.top) << c.tx;
    }
}

TEST(ScanWindow, WaterfallScrollsLeftAndPaintsTracesAtTheirBins) {
    ScanWindow w;
    const Rgb bg = ScanWindow::Background();
    const Rgb full = HslToRgb(0.65, 0.99, 0.8);
    // Bins 30..34 (band start 30, top row 0): 30 and 31 never scroll, 32
    // scrolls without a trace, 33 carries one. Height 16 leaves one partial
    // pixel row at the bottom.
    w.SetImageSize(4, 16);
    int repaints = 0;
    w.RepaintWaterfall = [&] { ++repaints; };
    const std::vector<ScanWindow::Trace> traces = {{32, 1.0}, {33, 1.0}, {-3000, 1.0}};
    w.DrawWaterfallLine(traces, 30);
    w.DrawWaterfallLine(std::vector<ScanWindow::Trace>{{33, 1e-6}}, 30);
    ASSERT_EQ(w.BitmapWidth(), 4);
    ASSERT_EQ(w.BitmapHeight(), 16);
    EXPECT_EQ(repaints, 2);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 4; ++x) {
            if (x == 3 && y >= 9 && y <= 11) continue;  // the faint second line
            const bool trace = y >= 9 && y <= 11 && x == 2;
            EXPECT_EQ(w.Pixel(x, y), trace ? full : bg) << x << "," << y;
        }
    }
    // A faint trace is practically the background.
    const Rgb faint = w.Pixel(3, 9);
    EXPECT_LE(std::abs(faint.r - bg.r) + std::abs(faint.g - bg.g) + std::abs(faint.b - bg.b), 3);

    // The grid scrolled by one row: the picture starts 8 bins higher.
    w.TopRow = 1;
    w.DrawWaterfallLine(std::vector<ScanWindow::Trace>{{40, 1.0}}, 30);
    EXPECT_EQ(w.Pixel(3, 6), full);
    EXPECT_EQ(w.Pixel(1, 9), full);  // the old trace moved on, rows now belong to bin 41

    // A new size rebuilds the picture in the background colour.
    w.SetImageSize(5, 9);
    w.DrawWaterfallLine(std::vector<ScanWindow::Trace>{}, 30);
    ASSERT_EQ(w.Bitmap().size(), 5u * 9 * 3);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(w.Pixel(x, y), bg);
}

TEST(ScanWindow, TracesOnlyStrictlyInsideTheBand) {
    ScanWindow w;
    w.SetImageSize(2, 3 * 10);
    const Rgb bg = ScanWindow::Background();
    // Band start 550: bins 550..559; 558 scrolls but never gets a trace,
    // 559 is beyond the scrolling band.
    w.DrawWaterfallLine(std::vector<ScanWindow::Trace>{{557, 1.0}, {558, 1.0}, {559, 1.0}}, 550);
    EXPECT_NE(w.Pixel(1, 3 * 7), bg);
    EXPECT_EQ(w.Pixel(1, 3 * 8), bg);
    EXPECT_EQ(w.Pixel(1, 3 * 9), bg);
}

TEST(ScanWindow, ConsoleLinesForNonEmptyRows) {
    ScanWindow w;
    w.AppendToRow(12, "cq test dl1abc");
    w.AppendToRow(0, "e");
    EXPECT_EQ(FormatMultiChannelRows(w, 40, 11025.0),
              "row  0  215-253 Hz: e\n"
              "row 12  732-770 Hz: cq test dl1abc\n");
    EXPECT_EQ(FormatMultiChannelRows(ScanWindow{}, 40, 11025.0), "");
}

}  // namespace
}  // namespace quelp
