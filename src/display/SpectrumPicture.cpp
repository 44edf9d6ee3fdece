#include "display/SpectrumPicture.h"

#include <algorithm>
#include <cmath>

#include "dsp/LevelScale.h"

namespace quelp {

int ScaleOffset(int width, int zoom, int centreBin) {
    return zoom * (width / (2 * zoom) - centreBin + kFirstBin);
}

int SpectrumBin(int x, int scaleOffset, int zoom) {
    // Widened: a pointer far outside a panned picture must not overflow.
    const long long bin = (static_cast<long long>(x) - scaleOffset + zoom / 2) / zoom + kFirstBin;
    return static_cast<int>(std::clamp<long long>(bin, kFirstBin, kLastBin));
}

std::optional<int> MarkX(int bin, int scaleOffset, int zoom, int width) {
    const int x = BinToX(scaleOffset, zoom, bin);
    if (x < 0 || x >= width) return std::nullopt;
    return x;
}

void SpectrumCurve(const std::array<double, kBlockSize>& values, int width, int height,
                   int scaleOffset, int zoom, bool logarithmic, std::vector<PixelPoint>& points) {
    points.clear();
    int bin = kFirstBin;
    int x = scaleOffset;
    if (scaleOffset <= 0) {
        bin = kFirstBin - scaleOffset / zoom;
        x = 0;
    }
    for (; x < width && bin <= kLastBin; ++bin, x += zoom) {
        points.push_back({x, ValueToY(values[static_cast<std::size_t>(bin)], height, logarithmic)});
    }
}

void PlanSpectrum(const SpectrumInputs& in, SpectrumFrame& frame) {
    const int offset = ScaleOffset(in.Width, in.Zoom, in.CentreBin);
    frame.ScaleOffset = offset;
    if (in.Peak != nullptr) {
        SpectrumCurve(*in.Peak, in.Width, in.Height, offset, in.Zoom, in.Logarithmic, frame.Peak);
    } else {
        frame.Peak.clear();
    }
    if (in.Current != nullptr) {
        SpectrumCurve(*in.Current, in.Width, in.Height, offset, in.Zoom, in.Logarithmic,
                      frame.Current);
    } else {
        frame.Current.clear();
    }
    const int bottom = in.Height - 1;
    const auto mark = [&](int bin, int top) -> std::optional<VerticalMark> {
        const std::optional<int> x = MarkX(bin, offset, in.Zoom, in.Width);
        if (!x) return std::nullopt;
        return VerticalMark{*x, top, bottom};
    };
    frame.RxMark = mark(in.SignalBin, 0);
    frame.AfcMark = in.AfcCentreBin ? mark(*in.AfcCentreBin, 2 * in.Height / 3) : std::nullopt;
    frame.TxMark = mark(in.TxBin, in.Height - in.Height / 4);
    frame.SquelchY = in.SquelchLevel
                         ? std::optional<int>(ValueToY(*in.SquelchLevel, in.Height, in.Logarithmic))
                         : std::nullopt;
}

void PlanScale(int spectrumWidth, int imageWidth, int zoom, int centreBin, double rate,
               std::vector<ScaleTick>& ticks) {
    ticks.clear();
    if (!(rate > 0.0) || !std::isfinite(rate)) return;
    const int offset = ScaleOffset(spectrumWidth, zoom, centreBin);
    for (int hz = 100; hz <= 3000; hz += 100) {
        const double x = (hz * static_cast<double>(kBlockSize) / rate - kFirstBin) * zoom + offset;
        const double d = std::floor(x + 0.5) - 1.0;
        if (d >= imageWidth) break;
        if (d < 0) continue;
        ScaleTick tick;
        tick.x = static_cast<int>(d);
        tick.hz = hz;
        tick.length = hz % 1000 == 0 ? 17 : hz % 500 == 0 ? 10 : 5;
        tick.labelled = zoom >= 3 || (zoom == 2 && hz % 500 == 0) || hz % 1000 == 0;
        ticks.push_back(tick);
    }
}

bool SpectrumRepaints::TakePeakCurve() {
    if (peakHideRepaints_ <= 0) return true;
    --peakHideRepaints_;
    return false;
}

bool SpectrumRepaints::ScaleDue(int width, int centreBin, bool& dirty) {
    if (!dirty && width == scaleWidth_ && centreBin == scaleCentreBin_) return false;
    scaleWidth_ = width;
    scaleCentreBin_ = centreBin;
    dirty = false;
    return true;
}

}  // namespace quelp
