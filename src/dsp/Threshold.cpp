#include "dsp/Threshold.h"

#include "dsp/LevelScale.h"
#include "ports/UiItem.h"

namespace quelp {

Threshold::Threshold(Quelp_Params& params, MainView& view, std::atomic<int>& displayHoldOff)
    : params_(params), view_(view), displayHoldOff_(displayHoldOff) {}

double Threshold::AutoThresholdStep(double env) {
    bool newFloor = false;
    const double reference = levels_.Step(env, newFloor);
    // The lower limit follows the key-up noise unless the operator fixed it.
    if (newFloor && params_.EnableManualLimit == 0) params_.MinAutoThreshold = levels_.NoiseFloor();
    return LevelTracker::ThresholdFor(reference, params_.MinAutoThreshold);
}

void Threshold::SetAutoDown(bool down) {
    autoDown_ = down;
    view_.SetDown(UiItem::AutoTresholdButton, down);
}

void Threshold::AutoTresholdButtonClick() {
    SetAutoDown(!autoDown_);
    displayHoldOff_ = 0;
    ShowThreshold();
}

void Threshold::ShowThreshold() {
    view_.SetStatusText(panel::Threshold,
                        autoDown_ ? std::string("Auto") : FormatLevel(params_.DetectorThreshold));
}

void Threshold::OscilloscopeMouse(int row, int height, bool logarithmic, bool pressOrRelease) {
    const double level = YToValue(row, height, logarithmic);
    if (pressOrRelease) displayHoldOff_ = 0;
    if (autoDown_) {
        if (params_.EnableManualLimit != 0) {
            params_.MinAutoThreshold = level;
            view_.SetStatusText(panel::Threshold, "Auto");
        }
        return;
    }
    params_.DetectorThreshold = level;
    view_.SetStatusText(panel::Threshold, FormatLevel(level));
}

bool Threshold::SpectrumSquelchMouse(int row, int height, bool logarithmic,
                                     bool multiChannelRunning) {
    if (params_.SquelchEnabled == 0 && !multiChannelRunning) return false;
    params_.SquelchThreshold = YToValue(row, height, logarithmic);
    return true;
}

}  // namespace quelp
