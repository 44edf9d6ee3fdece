#pragma once
// The receiver without a screen: the signal chain, tuning and AFC, the
// detector threshold and squelch, the spectrum arrays, the main decoder and
// the multi-channel decoder, with the parameters they share. It offers one
// operation per thing an operator (or a settings file) can change, a
// read-only status snapshot, and tells its listener what changed; what the
// window makes of a change is the presenters' business.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "adaptive/AdaptiveDecoder.h"
#include "decoder/CharacterTables.h"
#include "decoder/CwDecoder.h"
#include "decoder/DecoderSpeed.h"
#include "decoder/FreqScan.h"
#include "decoder/MainDecoder.h"
#include "dsp/Bins.h"
#include "dsp/DetectorLevels.h"
#include "dsp/DspSound.h"
#include "dsp/Fft.h"
#include "dsp/ReceiveChain.h"
#include "dsp/SineTable.h"
#include "dsp/SpectrumArrays.h"
#include "dsp/Threshold.h"
#include "dsp/Tuning.h"

namespace quelp {

class SoundOutput;

// The parameters the parts of the receiver share, in the units they use.
struct ReceiverParams {
    // The sound card's real rate as calibrated by the operator, in Hz; used
    // in every conversion between samples, hertz and bins.
    double SamplingFreq = 11025.0;
    DetectorLevels Levels;
    DecoderSpeed Speed;
    ChannelReuse Reuse;
    CharsetChoice Text;
};

// What changed inside the receiver, for whoever shows it.
enum class ReceiverChange {
    MainFilter,     // a main filter was selected
    BurstFilter,    // the burst filter's length, shown as a speed
    Frequency,      // the receive frequency, after a click-tune
    Threshold,      // the detector threshold in force (or "automatic")
    AutoThreshold,  // the automatic threshold switched
    Afc,            // the AFC switched
    AutoGoToMax,    // automatic go-to-max switched
    AfcDeviation,   // the local AFC deviation
    AfcLimit,       // the global AFC deviation
    SpeedLimits,    // the speed window's two limits
    SpeedWindow,    // with the lock on, the window was applied
    SpeedLock,      // the speed lock switched
    Speed,          // the sender's measured speed
    GoneToMax,      // go-to-max moved the receive frequency
};

class ReceiverListener {
  public:
    // A decoded character (tree index >= 2) or a word space (0).
    virtual void CharacterDecoded(std::uint32_t code) = 0;
    virtual void ReceiverChanged(ReceiverChange change) = 0;
    // Once per block, after the spectrum, AFC, go-to-max and the
    // multi-channel channels were updated and before the samples run: the
    // moment to draw and to serve the window. `repaint` is 1 for a block
    // from a file, 0 for live input.
    virtual void SpectrumReady(int repaint) = 0;

  protected:
    ~ReceiverListener() = default;
};

// The receiver's state as the status bar and the command-line program show it.
struct ReceiverStatus {
    double SamplingFreq = 0.0;
    int SignalBin = 0;
    int CentreBin = 0;
    int TxBin = 0;
    int ScanStartBin = 0;
    int DisplayCentreBin = 0;
    bool Afc = false;
    bool AutoGoToMax = false;
    int AfcDeviationHz = 0;
    int AfcLimitHz = 0;
    bool AutoThreshold = false;
    double DetectorThreshold = 0.0;
    double MinAutoThreshold = 0.0;
    bool ManualLimit = false;
    bool SquelchEnabled = false;
    double SquelchThreshold = 0.0;
    int MainFilterCode = 0;
    std::int32_t BurstLength = 0;
    bool SpeedLocked = false;
    std::int32_t LowerSpeed = 0;
    std::int32_t HigherSpeed = 0;
    std::optional<SenderSpeed> Speed;  // nothing while the estimates say nothing
    int Charset = 0;
    bool MultiChannel = false;
};

// Which decoder turns the input into text: the main decoder on the
// receive chain's envelope, or the adaptive decoder on the raw samples.
enum class DecoderChoice { Classic, Adaptive };

class Receiver final : private DecoderEvents {
  public:
    static constexpr int kDefaultMainFilter = 140;
    // Blocks that a rig write keeps the peak-hold spectrum from rising: the
    // ones still in flight with the signal at its old place.
    static constexpr int kRigPeakFreezeBlocks = 2;

    explicit Receiver(ReceiverListener& listener);
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    // One block of kBlockSize samples, live (repaint 0) or from a file
    // (repaint 1): spectrum, automatic tuning, squelch, then every sample
    // through the receive chain, the threshold and the decoders. A null block
    // (a failed read) is no audio at all and changes nothing.
    void ProcessBlock(const std::int16_t* block, int repaint);

    // --- reading ----------------------------------------------------------------
    ReceiverStatus Status() const;
    const ReceiverParams& Params() const { return params_; }
    const SpectrumArrays& Spectrum() const { return spectrum_; }
    const Tuning& Tune() const { return tuning_; }
    const ReceiveChain& Chain() const { return chain_; }
    const MainDecoder& Decoder() const { return decoder_; }
    const TFreqScan& FreqScan() const { return freqScan_; }
    const SineTable& Sine() const { return sine_; }
    const CharacterTables& Tables() const { return tables_; }
    // Samples taken in by the block processor since the receiver was made,
    // the one being decoded included: read while a character is decoded, it
    // is the moment in the input that ended the character.
    std::uint64_t SamplesIn() const { return samplesIn_; }
    // The multi-channel window's grid and waterfall; the window edits cells
    // and sizes its pane.
    ScanWindow& ChannelGrid() { return freqScan_.Window(); }
    // The printed text of a decoded character in the table in force.
    std::string_view Character(std::uint32_t code) {
        return tables_.LookupCharacter(code, params_.Text.Charset);
    }

    // --- the decoder -------------------------------------------------------------
    void SelectDecoder(DecoderChoice choice);
    DecoderChoice SelectedDecoder() const { return decoderChoice_; }
    void SetAdaptiveSettings(const AdaptiveSettings& settings) { adaptive_.Configure(settings); }
    const AdaptiveDecoder& Adaptive() const { return adaptive_; }
    // The adaptive decoder's last character with its samples counted as
    // the block processor counts them: the one taken in when SamplesIn()
    // became n is sample n - 1.
    AdaptiveCharacter AdaptiveLastCharacter() const;
    // The input ended (a file): what a decoder still holds back is printed.
    void EndOfInput();

    // --- the rate -----------------------------------------------------------------
    void SetSamplingFreq(double hz) { params_.SamplingFreq = hz; }

    // --- filters --------------------------------------------------------------------
    // Loads the main filter of `code` (aliases 1, 2, 3 = 600, 3500, 20; any
    // other unknown code = 140) into the chain and the channels and keeps its
    // canonical code.
    void SelectMainFilter(int code);
    // The code a later SelectMainFilter loads (settings, before start-up
    // selects it).
    void SetMainFilterCode(int code) { mainFilterCode_ = code; }
    int MainFilterCode() const { return mainFilterCode_; }
    // The chain runs the default filter before any is selected.
    void LoadDefaultFilter();
    // The burst filter for a keying speed: BurstLength = 35000 / lpm
    // rounded (at least 1); a speed below 1 is ignored. Returns whether it
    // was taken.
    bool SelectBurstFilter(std::int32_t lpm);
    // A stored length as it is (no conversion from LPM); nothing is shown.
    void RestoreBurstLength(std::int32_t length);
    std::int32_t BurstLength() const { return decoder_.Burst.BurstLength; }

    // --- tuning -----------------------------------------------------------------------
    // Receive frequency, AFC anchor and mixer at `bin` (limited to the band).
    void SetReceiveBin(int bin);
    // The same from a click on the spectrum: the new frequency is shown.
    void ClickTune(int bin);
    void SetTransmitBin(int bin) { tuning_.SetTransmitBin(bin); }
    void SetDisplayCentreBin(int bin) { tuning_.DisplayCentreBin = bin; }
    // Go-to-max now (the button).
    void GoToMax();
    void AfcStep() { tuning_.AfcStep(); }
    void WheelTune(int step) { tuning_.WheelTune(step); }
    void SetAfc(bool on);
    void SetAutoGoToMax(bool on);
    void SetAfcDeviationHz(int hz);
    void SetAfcLimitHz(int hz);
    // After the rig moved the signal onto the transmit mark: receive
    // frequency, AFC anchor and mixer there, and the new frequency is shown.
    void RetuneToMark();
    // Rig retunes: the peak-hold spectrum is not raised for the next two
    // blocks, and follows the band by `shift` bins, faded.
    void FreezeSpectrumPeak() { spectrum_.PeakFreezeBlocks = kRigPeakFreezeBlocks; }
    void ShiftSpectrumPeak(int shift) { quelp::ShiftSpectrumPeak(spectrum_, shift); }

    // --- threshold and squelch -------------------------------------------------------------
    void SetAutoThreshold(bool on);
    void SetDetectorThreshold(double level) { params_.Levels.DetectorThreshold = level; }
    void SetMinAutoThreshold(double level) { params_.Levels.MinAutoThreshold = level; }
    // Switches held as the settings file stores them (0 off, else on).
    void SetManualLimit(int on) { params_.Levels.EnableManualLimit = on; }
    void SetSquelchEnabled(int on) { params_.Levels.SquelchEnabled = on; }
    void SetSquelchThreshold(double level) { params_.Levels.SquelchThreshold = level; }
    // A level picked on the oscilloscope: the manual threshold, or with the
    // automatic threshold and a fixed limit the limit.
    void PickThresholdLevel(double level);
    // A level picked on the spectrum: the squelch level, while the squelch
    // is enabled or the multi-channel decoder runs. Returns whether it did.
    bool PickSquelchLevel(double level);

    // --- speed -------------------------------------------------------------------------------
    void SetSpeedLimits(std::int32_t low, std::int32_t high) { decoder_.SetSpeedLimits(low, high); }
    bool SettingSpeedLimits() const { return decoder_.SettingSpeedLimits(); }
    void SpeedLockButtonMouseDown(bool ctrlHeld) { decoder_.SpeedLockButtonMouseDown(ctrlHeld); }
    void SpeedLockButtonClick() { decoder_.SpeedLockButtonClick(); }
    // Lock on or off; the window is not applied until SetSpeedLimits.
    void SetSpeedLocked(bool locked) { decoder_.SetSpeedLocked(locked); }
    // The lock as stored (0 off, else on), shown and applied with the next
    // SetSpeedLimits.
    void RestoreSpeedLock(int locked) { params_.Speed.SpeedLocked = locked; }
    // Whether the channels take over the main window's fixed threshold
    // limit and its locked speed window (0 no, else yes).
    void SetReuseThresholdLimit(int on) { params_.Reuse.ReUseThresholdLimit = on; }
    void SetReuseSpeedLimits(int on) { params_.Reuse.ReUseSpeedLimits = on; }
    // The channels take the main speed window, when locked and reused.
    void ApplyChannelSpeedWindow() { freqScan_.ApplySpeedWindow(); }

    // --- multi-channel decoder ----------------------------------------------------------------
    void SetMultiChannel(bool on) { multiChannelOn_ = on; }
    bool MultiChannelOn() const { return multiChannelOn_; }
    void CentreScanGrid() {
        freqScan_.Window().CentreScanGrid(tuning_.TxBin(), tuning_.ScanStartBin());
    }

    // --- character table ------------------------------------------------------------------------
    // The table chosen by a settings file: Russian and Swedish stay; the user
    // table only when its file loads; anything else English, silently.
    void SelectStartupCharset(int charsetValue, const std::string& userCharsetFile);
    // The table chosen on the command line: false, nothing changed, when the
    // user table's file does not load.
    bool UseCharset(int charsetValue, const std::string& userCharsetFile);
    // The setup dialog's choice; true when the user table's file did not
    // load and English was taken instead.
    bool ApplyCharsetChoice(int checkedCharset, bool changed, const std::string& userCharsetEdit);
    // The choice as stored, before start-up resolves it.
    void SetStoredCharset(int charsetValue, const std::string& userCharsetFile);

    // --- the sound output
    // -------------------------------------------------------------------------- Where the raw or
    // filtered input samples go while the output is on (null: nowhere).
    void SetSoundOutput(SoundOutput* output) { soundOutput_ = output; }
    // The output filter, which follows the receive frequency.
    DspSound& OutputFilter() { return dspSound_; }

    // --- start-up and the sound input
    // -----------------------------------------------------------------
    void ClearOscilloscope() { spectrum_.ClearOscilloscope(); }
    void ClearSpectrumPeak() { spectrum_.SpectrumPeak.fill(0.0); }

  private:
    // DecoderEvents
    void CharacterDecoded(std::uint32_t code) override { listener_.CharacterDecoded(code); }
    void SpeedMeasured() override { listener_.ReceiverChanged(ReceiverChange::Speed); }
    void SpeedLimitsChanged() override { listener_.ReceiverChanged(ReceiverChange::SpeedLimits); }
    void SpeedWindowApplied() override;
    void SpeedLockChanged() override { listener_.ReceiverChanged(ReceiverChange::SpeedLock); }

    void FeedSoundOutput(std::int16_t sample);

    ReceiverListener& listener_;
    ReceiverParams params_;
    CharacterTables tables_;
    SineTable sine_;
    ReceiveChain chain_{sine_};
    DspSound dspSound_{sine_, chain_.PhaseStep};
    SpectrumArrays spectrum_;
    Fft fft_{Fft::ForBlock()};
    Threshold threshold_{params_.Levels};
    Tuning tuning_{params_.SamplingFreq, params_.Levels, spectrum_.SpectrumPeak};
    MainDecoder decoder_{params_.Speed, params_.SamplingFreq, *this};
    TFreqScan freqScan_{sine_, params_.Levels, params_.Speed, params_.Reuse, tables_, params_.Text};
    int mainFilterCode_ = kDefaultMainFilter;
    bool multiChannelOn_ = false;
    std::uint64_t samplesIn_ = 0;
    DecoderChoice decoderChoice_ = DecoderChoice::Classic;
    AdaptiveDecoder adaptive_{params_.SamplingFreq, *this};
    // The block processor's count when the adaptive decoder's began: it is
    // fed only while chosen.
    std::int64_t adaptiveBase_ = 0;
    SoundOutput* soundOutput_ = nullptr;
};

}  // namespace quelp
