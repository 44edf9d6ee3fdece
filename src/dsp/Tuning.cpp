#include "dsp/Tuning.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "dsp/LevelScale.h"

namespace quelp {

SpinEdit::SpinEdit(MainView& view, UiItem edit, int position)
    : view_(view), edit_(edit), position_(std::clamp(position, kMin, kMax)) {}

void SpinEdit::SetPosition(int position) {
    position_ = std::clamp(position, kMin, kMax);
    view_.SetText(edit_, std::to_string(position_));
}

void SpinEdit::EditExit(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const bool whole = error == std::errc() && end == text.data() + text.size() && !text.empty();
    SetPosition(whole && value >= kMin && value <= kMax ? value : position_);
}

Tuning::Tuning(Quelp_Params& params, MainView& view, const std::array<double, 2048>& spectrumPeak)
    : params_(params),
      view_(view),
      spectrumPeak_(spectrumPeak),
      afc_(view, UiItem::AfcEdit, 50),
      afcLimit_(view, UiItem::AfcLimitEdit, 300) {}

void Tuning::SetReceiveBin(int bin) {
    bin = std::clamp(bin, kFirstBin, kLastBin);
    signalBin_ = centreBin_ = bin;
    phaseStep_ = 16 * bin;
}

void Tuning::ClickTune(int bin) {
    SetReceiveBin(bin);
    ShowFrequency();
}

void Tuning::SetTransmitBin(int bin) {
    txBin_ = bin;
    int start = (bin - 148) / 8 * 8;
    if (start < 40) start = 40;
    while (start > 251) start -= 8;
    scanStartBin_ = start;
}

void Tuning::GoToMax(double& pauseDots) {
    int best = signalBin_;
    double value = PeakAt(signalBin_);
    for (int k = kFirstBin; k <= kLastBin; ++k) {
        if (PeakAt(k) > value) {
            best = k;
            value = PeakAt(k);
        }
    }
    pauseDots = 0.0;
    if (params_.SquelchEnabled != 0 && value < params_.SquelchThreshold) return;
    SetReceiveBin(best);
    if (params_.TuneRig != 0 && TuneRigToMark) TuneRigToMark();
}

int Tuning::HzToBin(int hz) const {
    // The calibrated rate is taken from the settings file unchecked; a rate
    // near 0 must not overflow the conversion (any deviation beyond the
    // spectrum's size covers the whole band anyway).
    if (!(params_.SamplingFreq > 0.0)) return 0;
    const double bins = std::floor(hz * 2048.0 / params_.SamplingFreq + 0.5);
    return static_cast<int>(std::min(bins, 4096.0));
}

void Tuning::AfcStep() {
    const int local = HzToBin(afc_.Position());
    const int global = HzToBin(afcLimit_.Position());
    const int low = std::max({signalBin_ - local, centreBin_ - global, kFirstBin});
    const int high = std::min({signalBin_ + local, centreBin_ + global, kLastBin});
    int best = signalBin_;
    double value = PeakAt(signalBin_);
    for (int k = low; k <= high; ++k) {
        if (PeakAt(k) > value) {
            best = k;
            value = PeakAt(k);
        }
    }
    signalBin_ = best;
    phaseStep_ = 16 * best;
}

void Tuning::BlockAfc() {
    if (AfcHoldBlocks > 0) {
        --AfcHoldBlocks;
    } else if (afcDown_) {
        AfcStep();
    }
}

void Tuning::FineTune(int step) {
    // Widen before adding: the wheel's step comes from outside and may be huge.
    const long long next = static_cast<long long>(phaseStep_) + step;
    phaseStep_ = static_cast<int>(std::clamp<long long>(next, kMinPhaseStep, kMaxPhaseStep));
    signalBin_ = centreBin_ = (phaseStep_ + 8) / 16;
}

void Tuning::WheelTune(int step) {
    FineTune(step);
    AfcHoldBlocks = 2;
}

std::string Tuning::FrequencyText(int bin) const {
    // "####": rounded to a whole number, no padding, and no digit at all for 0.
    std::string text = FormatFixed(bin * params_.SamplingFreq / 2048.0, 0);
    if (text == "0") text.clear();
    return text + " Hz";
}

void Tuning::ShowFrequency() {
    view_.SetStatusText(panel::Frequency, FrequencyText(signalBin_));
}

void Tuning::SetAfcDown(bool down) {
    afcDown_ = down;
    view_.SetDown(UiItem::AfcButton, down);
}

void Tuning::SetAutoGoToMaxDown(bool down) {
    autoGoToMaxDown_ = down;
    view_.SetDown(UiItem::AutoGoToMaxButton, down);
}

}  // namespace quelp
