#pragma once
// The receiver's tuning, in bins of the 2048-point spectrum (bin k is
// k x SamplingFreq / 2048 Hz), and the three automatic ways of moving it:
// go-to-max (strongest peak of the band), AFC (follow the signal within a
// local and a global deviation) and fine tuning between bin centres. Also
// the transmit mark, the display centre and the AFC / go-to-max controls of
// the main window, whose state this class keeps and shows through MainView.

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "app/QuelpParams.h"
#include "ports/MainView.h"
#include "ports/UiItem.h"

namespace quelp {

// An edit box with its up-down control: the position is the value in force
// (range 5..3000, step 5); the edit's text is rewritten from the position
// when the edit loses the focus.
class SpinEdit {
  public:
    static constexpr int kMin = 5;
    static constexpr int kMax = 3000;
    static constexpr int kStep = 5;

    SpinEdit(MainView& view, UiItem edit, int position);

    int Position() const { return position_; }
    // Sets the position (limited to the range) and shows it in the edit.
    void SetPosition(int position);
    // The arrows: one step up or down, stopping at the ends (no wrap).
    void Up() { SetPosition(position_ + kStep); }
    void Down() { SetPosition(position_ - kStep); }
    // Leaving the edit with the text typed into it: a whole number within the
    // range becomes the position; anything else (out of range, empty, not a
    // number) keeps the position in force. The text is rewritten either way.
    void EditExit(std::string_view text);

  private:
    MainView& view_;
    UiItem edit_;
    int position_;
};

class Tuning {
  public:
    static constexpr int kFirstBin = 32;
    static constexpr int kLastBin = 558;
    static constexpr int kStartBin = 186;
    // Fine tuning keeps the mixer between the centres of bins 34 and 556.
    static constexpr int kMinPhaseStep = 544;
    static constexpr int kMaxPhaseStep = 8896;

    // spectrumPeak: the block processor's peak-hold spectrum, searched by
    // GoToMax and AfcStep.
    Tuning(Quelp_Params& params, MainView& view, const std::array<double, 2048>& spectrumPeak);

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
    // mixer all at bin b (limited to 32..558; a stored bin outside the band
    // would make the peak searches read outside the spectrum).
    void SetReceiveBin(int bin);
    // A click on the spectrum: SetReceiveBin, then panel 2 shows it at once.
    void ClickTune(int bin);
    // The transmit mark at bin b, and the multi-channel band derived from it:
    // (b - 148) / 8 x 8, at least 40, then lowered by 8 while above 251.
    void SetTransmitBin(int bin);

    // --- automatic tuning --------------------------------------------------
    // Jumps to the strongest peak of bins 32..558 (the current bin wins ties,
    // then the lower bin). Always clears pauseDots. With the squelch enabled
    // and the strongest peak below the squelch level it does not retune.
    // After a retune with rig tuning on, TuneRigToMark runs.
    void GoToMax(double& pauseDots);
    // One AFC step: the strongest peak within the local deviation of the
    // receive bin and the global deviation of the anchor; the anchor stays.
    void AfcStep();
    // The block processor's AFC step: count AfcHoldBlocks down, or run
    // AfcStep once while AfcButton is down.
    void BlockAfc();
    // PhaseStep + step (1/32768 cycle per sample), limited to 544..8896;
    // receive bin and anchor follow to the nearest bin.
    void FineTune(int step);
    // The wheel's tuning: FineTune, then AFC holds off for two blocks.
    void WheelTune(int step);

    // Rig control's "bring the signal to the transmit mark"; GoToMax calls it
    // after a retune while Quelp_Params::TuneRig is not 0. Rig control shows
    // its own failure message and switches rig tuning off.
    std::function<void()> TuneRigToMark;

    // --- status panel 2 ----------------------------------------------------
    // Frequency of a bin as the status bar shows it: "####" pattern plus
    // " Hz" (e.g. "1001 Hz").
    std::string FrequencyText(int bin) const;
    // Panel 2 := FrequencyText(SignalBin()).
    void ShowFrequency();

    // --- controls ------------------------------------------------------------
    bool AfcDown() const { return afcDown_; }
    bool AutoGoToMaxDown() const { return autoGoToMaxDown_; }
    // Button states without click action (settings load); shown at once.
    void SetAfcDown(bool down);
    void SetAutoGoToMaxDown(bool down);
    // Clicks (and Alt+F, Alt+A): toggle the button.
    void AfcButtonClick() { SetAfcDown(!afcDown_); }
    void AutoGoToMaxButtonClick() { SetAutoGoToMaxDown(!autoGoToMaxDown_); }
    // GoToMaxButton (and Alt+G): GoToMax once.
    void GoToMaxButtonClick(double& pauseDots) { GoToMax(pauseDots); }
    // Local (AfcEdit) and global (AfcLimitEdit) AFC deviation in Hz.
    SpinEdit& Afc() { return afc_; }
    SpinEdit& AfcLimit() { return afcLimit_; }
    const SpinEdit& Afc() const { return afc_; }
    const SpinEdit& AfcLimit() const { return afcLimit_; }

  private:
    int HzToBin(int hz) const;
    double PeakAt(int bin) const { return spectrumPeak_[static_cast<size_t>(bin)]; }

    Quelp_Params& params_;
    MainView& view_;
    const std::array<double, 2048>& spectrumPeak_;
    int signalBin_ = kStartBin;
    int centreBin_ = kStartBin;
    int phaseStep_ = 16 * kStartBin;
    int txBin_ = kStartBin;
    int scanStartBin_ = 40;
    bool afcDown_ = true;
    bool autoGoToMaxDown_ = false;
    SpinEdit afc_;
    SpinEdit afcLimit_;
};

}  // namespace quelp
