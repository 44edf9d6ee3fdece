#pragma once
// The receiver's tuning, in bins of the block's spectrum, and the three
// automatic ways of moving it: go-to-max (strongest peak of the band), AFC
// (follow the signal within a local and a global deviation) and fine tuning
// between bin centres. Also the transmit mark and the display centre.

#include <array>
#include <cstddef>

#include "dsp/Bins.h"
#include "dsp/DetectorLevels.h"

namespace quelp {

// The first bin of the multi-channel decoder's band below a transmit mark:
// (txBin - 148) / 8 x 8 (truncating), at least 40, then lowered by 8 while
// above 251.
int ScanStartBinFor(int txBin);

class Tuning {
  public:
    static constexpr int kStartBin = 186;
    // Fine tuning keeps the mixer between the centres of bins 34 and 556.
    static constexpr int kMinPhaseStep = 544;
    static constexpr int kMaxPhaseStep = 8896;
    // The AFC deviations in hertz: range and step of their spin controls,
    // and where they start.
    static constexpr int kMinDeviationHz = 5;
    static constexpr int kMaxDeviationHz = 3000;
    static constexpr int kStartDeviationHz = 50;
    static constexpr int kStartLimitHz = 300;

    // samplingFreq: the calibrated rate, read at every conversion.
    // levels: the squelch, which go-to-max respects.
    // spectrumPeak: the block processor's peak-hold spectrum, searched by
    // GoToMax and AfcStep.
    Tuning(const double& samplingFreq, const DetectorLevels& levels,
           const std::array<double, kBlockSize>& spectrumPeak);

    // --- tuning state -------------------------------------------------------
    int SignalBin() const { return signalBin_; }  // receive bin
    int CentreBin() const { return centreBin_; }  // anchor of the global AFC deviation
    // Mixer phase increment per sample, in 1/32768 cycle (16 per bin).
    int PhaseStep() const { return phaseStep_; }
    int TxBin() const { return txBin_; }  // transmit mark
    // First bin of the multi-channel decoder's band, derived from TxBin.
    int ScanStartBin() const { return scanStartBin_; }
    // Bin shown at the middle of the spectrum picture (panned by Alt-drag).
    int DisplayCentreBin = 295;
    // Blocks during which the block processor skips AFC (set by wheel
    // tuning so that AFC does not pull the signal straight back).
    int AfcHoldBlocks = 0;

    // Click tuning, rig retuning and the settings: receive, AFC anchor and
    // mixer all at bin b (limited to the band; a stored bin outside it would
    // make the peak searches read outside the spectrum).
    void SetReceiveBin(int bin);
    // The transmit mark at bin b, and the multi-channel band derived from it.
    void SetTransmitBin(int bin);

    // --- automatic tuning --------------------------------------------------
    // Jumps to the strongest peak of the band (the current bin wins ties,
    // then the lower bin). Always clears pauseDots. With the squelch enabled
    // and the strongest peak below the squelch level it does not retune.
    // Returns whether it retuned.
    bool GoToMax(double& pauseDots);
    // One AFC step: the strongest peak within the local deviation of the
    // receive bin and the global deviation of the anchor; the anchor stays.
    void AfcStep();
    // The block processor's AFC step: count AfcHoldBlocks down, or run
    // AfcStep once while the AFC is on.
    void BlockAfc();
    // PhaseStep + step (1/32768 cycle per sample), limited to 544..8896;
    // receive bin and anchor follow to the nearest bin.
    void FineTune(int step);
    // The wheel's tuning: FineTune, then AFC holds off for two blocks.
    void WheelTune(int step);

    // --- switches and deviations -------------------------------------------
    bool AfcOn() const { return afcOn_; }
    bool AutoGoToMaxOn() const { return autoGoToMaxOn_; }
    void SetAfcOn(bool on) { afcOn_ = on; }
    void SetAutoGoToMaxOn(bool on) { autoGoToMaxOn_ = on; }
    // Local and global AFC deviation in hertz, kept within 5..3000.
    int AfcDeviationHz() const { return afcHz_; }
    int AfcLimitHz() const { return afcLimitHz_; }
    void SetAfcDeviationHz(int hz);
    void SetAfcLimitHz(int hz);

  private:
    double PeakAt(int bin) const { return spectrumPeak_[static_cast<std::size_t>(bin)]; }

    const double& samplingFreq_;
    const DetectorLevels& levels_;
    const std::array<double, kBlockSize>& spectrumPeak_;
    int signalBin_ = kStartBin;
    int centreBin_ = kStartBin;
    int phaseStep_ = 16 * kStartBin;
    int txBin_ = kStartBin;
    int scanStartBin_ = 40;
    bool afcOn_ = true;
    bool autoGoToMaxOn_ = false;
    int afcHz_ = kStartDeviationHz;
    int afcLimitHz_ = kStartLimitHz;
};

}  // namespace quelp
