#include "decoder/ScanWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "dsp/Bins.h"
#include "dsp/LevelScale.h"

namespace quelp {

namespace {

std::uint8_t ToByte(double v) {
    const double b = std::floor(v * 255.0 + 0.5);
    if (!(b > 0.0)) return 0;  // also NaN
    return b >= 255.0 ? 255 : static_cast<std::uint8_t>(b);
}

double Wrap01(double t) {
    if (!std::isfinite(t)) return 0.0;
    while (t < 0.0) t += 1.0;
    while (t > 1.0) t -= 1.0;
    return t;
}

double HueToChannel(double p, double q, double t) {
    t = Wrap01(t);
    if (t < 1.0 / 6.0) return p + (q - p) * 6.0 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3.0) return p + (q - p) * (2.0 / 3.0 - t) * 6.0;
    return p;
}

double Clamp01(double v) {
    if (!(v > 0.0)) return 0.0;
    return v > 1.0 ? 1.0 : v;
}

}  // namespace

Rgb HslToRgb(double lightness, double saturation, double hue) {
    const double h = Wrap01(hue);
    const double s = Clamp01(saturation);
    const double l = Clamp01(lightness);
    if (s < 1e-8) {
        const std::uint8_t v = ToByte(l);
        return {v, v, v};
    }
    const double q = l < 0.5 ? l * (1.0 + s) : l + s - l * s;
    const double p = 2.0 * l - q;
    return {ToByte(HueToChannel(p, q, h + 1.0 / 3.0)), ToByte(HueToChannel(p, q, h)),
            ToByte(HueToChannel(p, q, h - 1.0 / 3.0))};
}

int WaterfallLevelY(double level) {
    return ValueToY(level, 10000, true);
}

// --- grid ------------------------------------------------------------------------

std::string_view ScanWindow::Row(int row) const {
    if (row < 0 || row >= kRows) return {};
    return rows_[static_cast<size_t>(row)];
}

void ScanWindow::SetRow(int row, std::string_view text) {
    if (row < 0 || row >= kRows) return;
    if (text.size() > kRowChars) text.remove_prefix(text.size() - kRowChars);
    rows_[static_cast<size_t>(row)].assign(text);
}

void ScanWindow::AppendToRow(int row, std::string_view text) {
    std::string& cell = rows_[static_cast<size_t>(std::clamp(row, 0, kRows - 1))];
    cell += text;
    if (cell.size() > kRowChars) cell.erase(0, cell.size() - kRowChars);
}

void ScanWindow::CentreScanGrid(int txBin, int scanStartBin) {
    int top = (txBin - scanStartBin) / kBinsPerRow - VisibleRows / 2;
    // The grid cannot scroll beyond its last page; the waterfall follows the
    // grid's real top row, so both stay aligned.
    top = std::min(top, kRows - VisibleRows);
    TopRow = std::max(top, 0);
}

// --- waterfall --------------------------------------------------------------------

void ScanWindow::SetImageSize(int width, int height) {
    imageWidth_ = std::clamp(width, 0, kMaxSide);
    imageHeight_ = std::clamp(height, 0, kMaxSide);
}

void ScanWindow::RebuildBitmap() {
    bitmapWidth_ = imageWidth_;
    bitmapHeight_ = imageHeight_;
    const Rgb bg = Background();
    bitmap_.resize(static_cast<size_t>(bitmapWidth_) * static_cast<size_t>(bitmapHeight_) * 3);
    for (size_t at = 0; at < bitmap_.size(); at += 3) {
        bitmap_[at] = bg.r;
        bitmap_[at + 1] = bg.g;
        bitmap_[at + 2] = bg.b;
    }
}

Rgb ScanWindow::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= bitmapWidth_ || y >= bitmapHeight_) return {};
    const size_t at =
        (static_cast<size_t>(y) * static_cast<size_t>(bitmapWidth_) + static_cast<size_t>(x)) * 3;
    return {bitmap_[at], bitmap_[at + 1], bitmap_[at + 2]};
}

void ScanWindow::DrawWaterfallLine(std::span<const Trace> channels, int scanStartBin) {
    if (imageWidth_ != bitmapWidth_ || imageHeight_ != bitmapHeight_ || bitmap_.empty()) {
        RebuildBitmap();
    }
    colours_.fill(Background());
    for (const Trace& t : channels) {
        if (t.bin <= kFirstTraceBin || t.bin >= kLastTraceBin) continue;
        const double f = (10000 - WaterfallLevelY(t.level)) * 0.0001;
        colours_[static_cast<size_t>(t.bin)] = HslToRgb(
            kBackgroundLightness + kLightnessPerLevel * f,
            kBackgroundSaturation + kSaturationPerLevel * f, kBackgroundHue + kHuePerLevel * f);
    }

    const int w = bitmapWidth_;
    if (w > 0) {
        const size_t stride = static_cast<size_t>(w) * 3;
        int bin = std::clamp(TopRow, 0, kRows - 1) * kBinsPerRow + scanStartBin;
        for (int y = 0; y < bitmapHeight_ - 2; y += kPixelsPerBin, ++bin) {
            if (bin > kLastTraceBin) break;
            if (bin < kFirstTraceBin) continue;
            std::uint8_t* row = bitmap_.data() + static_cast<size_t>(y) * stride;
            std::memmove(row, row + 3, stride - 3);
            const Rgb c = colours_[static_cast<size_t>(bin)];
            row[stride - 3] = c.r;
            row[stride - 2] = c.g;
            row[stride - 1] = c.b;
            std::memcpy(row + stride, row, stride);
            std::memcpy(row + 2 * stride, row, stride);
        }
    }
    if (RepaintWaterfall) RepaintWaterfall();
}

std::string FormatMultiChannelRows(const ScanWindow& window, int scanStartBin,
                                   double samplingFreq) {
    const auto hz = [samplingFreq](int bin) { return BinToHz(bin, samplingFreq); };
    std::string out;
    for (int r = 0; r < ScanWindow::kRows; ++r) {
        const std::string_view text = window.Row(r);
        if (text.empty()) continue;
        const int first = scanStartBin + ScanWindow::kBinsPerRow * r;
        char head[80];
        std::snprintf(head, sizeof head, "row %2d  %d-%d Hz: ", r, hz(first),
                      hz(first + ScanWindow::kBinsPerRow - 1));
        out += head;
        out += text;
        out += '\n';
    }
    return out;
}

}  // namespace quelp
