#pragma once
// Where the spectrum picture (FFTBox) and its frequency scale (ScaleImage)
// put things, in whole pixels: ZoomFactor pixels per bin with
// DisplayCentreBin in the middle, the two curves as polylines, the receive,
// AFC and transmit marks, the squelch line, and the scale's ticks and
// labels. A view only draws what these say.

#include <array>
#include <optional>
#include <vector>

#include "dsp/Bins.h"

namespace quelp {

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// x of bin 32 in a spectrum `width` pixels wide: zoom x (W / (2 zoom) -
// centre + 32), integer division, so the centre bin lands in the middle.
int ScaleOffset(int width, int zoom, int centreBin);

// x of a bin.
constexpr int BinToX(int scaleOffset, int zoom, int bin) {
    return scaleOffset + (bin - kFirstBin) * zoom;
}

// The scale image sits one pixel inside its panel's bevel, so its x is one
// less than the spectrum's x above it.
inline constexpr int kScaleImageInset = 1;

// The bin under the pointer at spectrum x: the nearest bin (truncating
// toward zero after adding half a bin), limited to 32..558.
int SpectrumBin(int x, int scaleOffset, int zoom);

// x of a mark on `bin`, or nothing when that lies outside 0..width-1.
std::optional<int> MarkX(int bin, int scaleOffset, int zoom, int width);

// The polyline of one spectrum curve. With bin 32 inside the picture it
// starts there; otherwise at the first visible bin b0 = 32 - offset / zoom,
// placed at x = 0. It stops before x reaches the width or after bin 558.
// The points are appended to `points` after clearing it.
void SpectrumCurve(const std::array<double, kBlockSize>& values, int width, int height,
                   int scaleOffset, int zoom, bool logarithmic, std::vector<PixelPoint>& points);

// What one spectrum repaint shows.
struct SpectrumInputs {
    int Width = 0;
    int Height = 0;
    int Zoom = 1;
    int CentreBin = 295;  // DisplayCentreBin
    bool Logarithmic = true;
    const std::array<double, kBlockSize>* Current = nullptr;  // SpectrumAvg
    const std::array<double, kBlockSize>* Peak = nullptr;     // SpectrumPeak; null: hidden
    int SignalBin = 0;
    std::optional<int> AfcCentreBin;  // CentreBin, while the AFC is on
    int TxBin = 0;
    std::optional<double> SquelchLevel;  // while the squelch or the channels are on
};

// A vertical mark from the bottom row up to `top`.
struct VerticalMark {
    int x = 0;
    int top = 0;
    int bottom = 0;
};

struct SpectrumFrame {
    int ScaleOffset = 0;
    std::vector<PixelPoint> Peak;  // empty while hidden
    std::vector<PixelPoint> Current;
    std::optional<VerticalMark> RxMark;   // whole height
    std::optional<VerticalMark> AfcMark;  // lower third
    std::optional<VerticalMark> TxMark;   // lower quarter, three pixels wide
    std::optional<int> SquelchY;          // from x = 0 to the width
};

// Fills `frame` (its vectors keep their capacity from repaint to repaint).
void PlanSpectrum(const SpectrumInputs& in, SpectrumFrame& frame);

// One tick of the frequency scale, every 100 Hz.
struct ScaleTick {
    int x = 0;
    int length = 5;  // 17 at whole kHz, 10 at the other 500s, else 5
    int hz = 0;
    bool labelled = false;  // the number written at (x + 2, 5)
    bool operator==(const ScaleTick&) const = default;
};

inline constexpr int kScaleLabelTop = 5;
inline constexpr int kScaleFontHeight = 10;

// The ticks of 100 ... 3000 Hz for a spectrum `spectrumWidth` wide, in an
// image `imageWidth` wide. Labels: zoom 1 the thousands, zoom 2 the 500s,
// zoom 3 and more every tick. A rate that is not positive gives no ticks.
void PlanScale(int spectrumWidth, int imageWidth, int zoom, int centreBin, double rate,
               std::vector<ScaleTick>& ticks);

// What the spectrum keeps from one repaint to the next.
class SpectrumRepaints {
  public:
    static constexpr int kHiddenAfterRetune = 3;

    // A rig retune: the next three repaints leave the peak curve out (the
    // old peaks would stand where the signal no longer is).
    void HidePeaks() { peakHideRepaints_ = kHiddenAfterRetune; }
    int PeakHideRepaints() const { return peakHideRepaints_; }
    // Whether this repaint draws the peak curve; a hidden one counts down.
    bool TakePeakCurve();
    // Whether the scale must be drawn again: `dirty` (zoom or rate changed),
    // or another width or centre than at the last drawing. Remembers them
    // and clears `dirty` when it says yes.
    bool ScaleDue(int width, int centreBin, bool& dirty);

  private:
    int peakHideRepaints_ = 0;
    int scaleWidth_ = -1;
    int scaleCentreBin_ = -1;
};

}  // namespace quelp
