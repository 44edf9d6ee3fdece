#include "dsp/Threshold.h"

#include "app/UiItem.h"
#include "dsp/LevelScale.h"

namespace quelp {

Threshold::Threshold(Quelp_Params& params, MainView& view, std::atomic<int>& displayHoldOff)
    : params_(params), view_(view), displayHoldOff_(displayHoldOff) {}

double Threshold::AutoThresholdStep(double env) {
    if (++windowCount_ > kWindowSamples) {
        windowCount_ = 0;
        if (lowCount_ != 0) {
            if (params_.EnableManualLimit == 0)
                params_.MinAutoThreshold = lowSum_ / lowCount_ * kNoiseFactor;
            lowSum_ = 0.0;
            lowCount_ = 0;
        }
        historyIndex_ = (historyIndex_ + 1) & 3;
        history_[static_cast<size_t>(historyIndex_)] = windowMax_;
        windowMax_ = 0.0;
        historyMax_ = 0.0;
        for (double h : history_)
            if (h > historyMax_) historyMax_ = h;
    }
    if (env > windowMax_) windowMax_ = env;
    const double reference = historyMax_ > windowMax_ ? historyMax_ : windowMax_;
    if (env < reference * 0.5) {
        lowSum_ += env;
        ++lowCount_;
    }
    const double limit = params_.MinAutoThreshold;
    if (reference < limit) return limit;
    return limit + (reference - limit) * kRise;
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
