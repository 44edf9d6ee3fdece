#pragma once
// The detector threshold: set by hand with the mouse on the oscilloscope, or
// followed automatically (AutoTresholdButton down) by an estimator that sits
// one third of the way from a lower limit up to the strongest envelope of the
// last four to five one-second windows. The lower limit follows 1.565 times
// the mean of the key-up samples unless the operator fixed it
// (EnableManualLimit). Also the squelch level set on the spectrum.
//
// The levels themselves live in Quelp_Params (DetectorThreshold,
// MinAutoThreshold, SquelchThreshold); this class keeps the estimator and the
// down state of AutoTresholdButton, which it shows through the main view.

#include <array>
#include <atomic>

#include "app/QuelpParams.h"
#include "dsp/LevelTracker.h"
#include "ports/MainView.h"

namespace quelp {

class Threshold {
  public:
    // Samples per estimator window, plus one: a window closes on the 11001st
    // sample (about 1 s at 11025 Hz).
    static constexpr int kWindowSamples = 11000;

    // displayHoldOff: the application's count of blocks without repaint; the
    // button and the mouse clear it so the pictures follow at once.
    Threshold(Quelp_Params& params, MainView& view, std::atomic<int>& displayHoldOff);

    // One envelope sample while the squelch is open and the automatic
    // threshold is on; returns the new DetectorThreshold (the caller stores
    // it). May re-estimate MinAutoThreshold when a window closes.
    double AutoThresholdStep(double env);

    bool AutoDown() const { return autoDown_; }
    // Button state without the click action (settings load); shown at once.
    void SetAutoDown(bool down);
    // A click on AutoTresholdButton (or Alt+R): toggles the button, then
    // panel 3 shows "Auto" or the threshold that stays as the manual one.
    void AutoTresholdButtonClick();
    // Panel 3 as the button state says: "Auto" or DetectorThreshold "0.000".
    void ShowThreshold();

    // Mouse on the oscilloscope at pixel row `row` of a box `height` pixels
    // high. pressOrRelease: a button press or release (a drag passes false).
    // With the automatic threshold on, it sets MinAutoThreshold only when
    // EnableManualLimit is 1; otherwise it sets DetectorThreshold.
    void OscilloscopeMouse(int row, int height, bool logarithmic, bool pressOrRelease);
    // Shift-click (or Shift-drag) on the spectrum: sets SquelchThreshold while
    // the squelch is enabled or the multi-channel decoder runs. Returns
    // whether the level was set.
    bool SpectrumSquelchMouse(int row, int height, bool logarithmic, bool multiChannelRunning);

  private:
    Quelp_Params& params_;
    MainView& view_;
    std::atomic<int>& displayHoldOff_;
    bool autoDown_ = true;  // the button is down at start

    // Estimator, never reset during the run.
    LevelTracker levels_{kWindowSamples};
};

}  // namespace quelp
