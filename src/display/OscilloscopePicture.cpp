#include "display/OscilloscopePicture.h"

#include <algorithm>

#include "dsp/LevelScale.h"

namespace quelp {

namespace {
constexpr int kRing = kBlockSize;

int Wrap(long long index) {
    return static_cast<int>(((index % kRing) + kRing) % kRing);
}
}  // namespace

int OscScroll::Step(int waiting, bool slowTimerMode) {
    const int base = slowTimerMode ? kSlowBase : kBase;
    if (waiting < base) return 0;
    if (waiting > kFarBehind) return waiting;
    return waiting > kBehind ? base + 1 : base;
}

bool OscScroll::Advance(int oscIndex, bool slowTimerMode) {
    const int step = Step(Wrap(static_cast<long long>(oscIndex) - drawn_), slowTimerMode);
    if (step == 0) return false;
    drawn_ = Wrap(static_cast<long long>(drawn_) + step);
    return true;
}

int TraceStart(int oscDrawn, int width) {
    return Wrap(static_cast<long long>(oscDrawn) - width + 1);
}

void PlanOscilloscope(const OscilloscopeInputs& in, OscilloscopeFrame& frame) {
    frame.Trace.clear();
    if (in.Ring != nullptr && in.Width > 0) {
        const int last = std::max(0, in.Width - 2);
        int index = TraceStart(in.Drawn, in.Width);
        for (int x = 0; x <= last; ++x) {
            frame.Trace.push_back({x, ValueToY((*in.Ring)[static_cast<std::size_t>(index)],
                                               in.Height, in.Logarithmic)});
            index = (index + 1) & (kRing - 1);
        }
    }
    frame.ThresholdY = ValueToY(in.Threshold, in.Height, in.Logarithmic);
    frame.LimitY = in.AutoLimit
                       ? std::optional<int>(ValueToY(*in.AutoLimit, in.Height, in.Logarithmic))
                       : std::nullopt;
}

}  // namespace quelp
