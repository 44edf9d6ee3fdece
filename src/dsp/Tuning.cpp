#include "dsp/Tuning.h"

#include <algorithm>

namespace quelp {

int ScanStartBinFor(int txBin) {
    int start = (txBin - 148) / 8 * 8;
    if (start < 40) start = 40;
    while (start > 251) start -= 8;
    return start;
}

Tuning::Tuning(const double& samplingFreq, const DetectorLevels& levels,
               const std::array<double, kBlockSize>& spectrumPeak)
    : samplingFreq_(samplingFreq), levels_(levels), spectrumPeak_(spectrumPeak) {}

void Tuning::SetReceiveBin(int bin) {
    bin = std::clamp(bin, kFirstBin, kLastBin);
    signalBin_ = centreBin_ = bin;
    phaseStep_ = 16 * bin;
}

void Tuning::SetTransmitBin(int bin) {
    txBin_ = bin;
    scanStartBin_ = ScanStartBinFor(bin);
}

bool Tuning::GoToMax(double& pauseDots) {
    int best = signalBin_;
    double value = PeakAt(signalBin_);
    for (int k = kFirstBin; k <= kLastBin; ++k) {
        if (PeakAt(k) > value) {
            best = k;
            value = PeakAt(k);
        }
    }
    pauseDots = 0.0;
    if (levels_.SquelchEnabled != 0 && value < levels_.SquelchThreshold) return false;
    SetReceiveBin(best);
    return true;
}

void Tuning::AfcStep() {
    const int local = HzToBin(afcHz_, samplingFreq_);
    const int global = HzToBin(afcLimitHz_, samplingFreq_);
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
    } else if (afcOn_) {
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

void Tuning::SetAfcDeviationHz(int hz) {
    afcHz_ = std::clamp(hz, kMinDeviationHz, kMaxDeviationHz);
}

void Tuning::SetAfcLimitHz(int hz) {
    afcLimitHz_ = std::clamp(hz, kMinDeviationHz, kMaxDeviationHz);
}

}  // namespace quelp
