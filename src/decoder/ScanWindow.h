#pragma once
// The multi-channel window without its widgets: the text grid, one row per
// band of 8 bins, and the waterfall pane as a 24-bit picture in which every
// active channel paints its trace at its bin, three pixel rows per bin, one
// column per line. The Qt window shows these; the command-line decoder prints
// the grid.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dsp/Bins.h"

namespace quelp {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// Colour of a lightness, saturation and hue, each 0..1 (the hue wraps, the
// others are limited).
Rgb HslToRgb(double lightness, double saturation, double hue);

// The waterfall's level scale: 0 at full scale (1.0 and above) to 9999 about
// 50 dB below it and weaker.
int WaterfallLevelY(double level);

class ScanWindow {
  public:
    static constexpr int kRows = 39;
    static constexpr int kRowChars = 50;  // a row keeps its newest 50 characters
    static constexpr int kBinsPerRow = 8;
    static constexpr int kPixelsPerBin = 3;
    // Only channels strictly inside this band paint a trace; only bins from
    // the first up to the last scroll.
    static constexpr int kFirstTraceBin = kFirstBin;
    static constexpr int kLastTraceBin = kLastBin;
    static constexpr int kColourBins = 590;
    // A bitmap side is limited so that a runaway size cannot exhaust memory.
    static constexpr int kMaxSide = 16384;

    // Trace colours: the background, and the change per unit of level
    // fraction (full scale: hue 0.8, saturation 0.99, lightness 0.65).
    static constexpr double kBackgroundHue = 0.7;
    static constexpr double kBackgroundSaturation = 0.3;
    static constexpr double kBackgroundLightness = 0.35;
    static constexpr double kHuePerLevel = -0.9;
    static constexpr double kSaturationPerLevel = 0.69;
    static constexpr double kLightnessPerLevel = 0.3;

    static Rgb Background() {
        return HslToRgb(kBackgroundLightness, kBackgroundSaturation, kBackgroundHue);
    }

    // --- the text grid -------------------------------------------------------
    // Row text (empty for a row outside the grid).
    std::string_view Row(int row) const;
    // The operator's edit of a cell (cut to the newest 50 characters).
    void SetRow(int row, std::string_view text);
    // Appends decoded text; a row outside the grid goes to the nearest edge
    // row, so no decoded text is lost.
    void AppendToRow(int row, std::string_view text);

    // First row shown and the number of rows the grid has room for (set by
    // the window from its height).
    int TopRow = 0;
    int VisibleRows = 19;
    // Puts the row of the transmit mark in the middle of the visible rows.
    void CentreScanGrid(int txBin, int scanStartBin);

    // --- the waterfall ---------------------------------------------------------
    struct Trace {
        int bin;       // channel bin, or the free mark (never inside the band)
        double level;  // channel envelope, 1.0 about full scale
    };

    // Size of the waterfall pane; the next line rebuilds the picture when it
    // differs from the picture's size.
    void SetImageSize(int width, int height);
    int ImageWidth() const { return imageWidth_; }
    int ImageHeight() const { return imageHeight_; }

    // Scrolls the picture one column left and paints the traces of this
    // moment at the right edge, starting at the grid's top row.
    void DrawWaterfallLine(std::span<const Trace> channels, int scanStartBin);

    // The picture: rows top down, 3 bytes per pixel in red, green, blue order,
    // no padding.
    int BitmapWidth() const { return bitmapWidth_; }
    int BitmapHeight() const { return bitmapHeight_; }
    const std::vector<std::uint8_t>& Bitmap() const { return bitmap_; }
    Rgb Pixel(int x, int y) const;

    // Repaint of the pane after a line (the Qt window's).
    std::function<void()> RepaintWaterfall;

  private:
    void RebuildBitmap();

    std::array<std::string, kRows> rows_;
    int imageWidth_ = 90;
    int imageHeight_ = kRows * 24;
    int bitmapWidth_ = 0;
    int bitmapHeight_ = 0;
    std::vector<std::uint8_t> bitmap_;
    std::array<Rgb, kColourBins> colours_{};
};

// The grid as text lines for a console: one line per non-empty row,
// "row 12  732-770 Hz: cq test dl1abc", with the row's bins scanStartBin + 8r
// to + 7 in whole hertz.
std::string FormatMultiChannelRows(const ScanWindow& window, int scanStartBin, double samplingFreq);

}  // namespace quelp
