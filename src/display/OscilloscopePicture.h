#pragma once
// The oscilloscope picture (PaintBox1): how far it scrolls at each timer
// tick, and the trace and threshold lines in pixels. The envelope ring has
// one entry per 221 samples (about 50 a second at 11025 Hz); the newest
// drawn entry sits at the right edge.

#include <array>
#include <optional>
#include <vector>

#include "display/SpectrumPicture.h"
#include "dsp/Bins.h"

namespace quelp {

// The ring index up to which the picture has been drawn (OscDrawn), moved on
// at each tick by the step rule.
class OscScroll {
  public:
    // Entries per tick: 1 with the 20 ms timer, 11 with the slow 220 ms one.
    static constexpr int kBase = 1;
    static constexpr int kSlowBase = 11;
    // Behind by more than this: one entry more per tick.
    static constexpr int kBehind = 35;
    // Behind by more than this: catch up at once.
    static constexpr int kFarBehind = 64;

    // The step for `waiting` entries not yet drawn: 0 below the base (nothing
    // to scroll), else the base, one more above 35, all of them above 64.
    static int Step(int waiting, bool slowTimerMode);

    // Moves OscDrawn toward `oscIndex`; false when there was nothing to
    // scroll (draw nothing then).
    bool Advance(int oscIndex, bool slowTimerMode);
    int Drawn() const { return drawn_; }

  private:
    int drawn_ = 0;
};

// The ring entry drawn at x = 0: (OscDrawn - W + 1) mod 2048.
int TraceStart(int oscDrawn, int width);

struct OscilloscopeInputs {
    int Width = 0;
    int Height = 0;
    bool Logarithmic = true;
    const std::array<double, kBlockSize>* Ring = nullptr;  // OscRing
    int Drawn = 0;                                         // OscDrawn
    double Threshold = 0.0;                                // DetectorThreshold
    std::optional<double> AutoLimit;  // the automatic threshold's lower limit, while it is on
};

struct OscilloscopeFrame {
    std::vector<PixelPoint> Trace;  // x = 0 ... W-2
    int ThresholdY = 0;             // from x = 1 to W-1
    std::optional<int> LimitY;
};

void PlanOscilloscope(const OscilloscopeInputs& in, OscilloscopeFrame& frame);

}  // namespace quelp
