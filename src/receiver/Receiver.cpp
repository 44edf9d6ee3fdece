#include "receiver/Receiver.h"

#include <algorithm>

#include "audio/SoundOutput.h"
#include "dsp/MainFilterTable.h"
#include "dsp/Squelch.h"

namespace quelp {

Receiver::Receiver(ReceiverListener& listener) : listener_(listener) {}

void Receiver::FeedSoundOutput(std::int16_t sample) {
    if (soundOutput_ != nullptr && soundOutput_->SoundFilter != SoundOutput::kOff) {
        soundOutput_->FeedSoundOutput(sample);
    }
}

void Receiver::ProcessBlock(const std::int16_t* block, int repaint) {
    // A missing block (a failed read or capture) is no audio at all: nothing
    // runs, and no step of the receiver counts time that did not pass.
    if (block == nullptr) return;

    // 1. The spectrum of the block.
    fft_.Transform(block, spectrum_.FftRe.data(), spectrum_.FftIm.data());

    // 2. AFC, unless wheel tuning asked to hold it for a few blocks.
    tuning_.BlockAfc();

    // 3. Auto go-to-max after a pause of more than 8 dots, on the peaks the
    //    previous block left.
    if (decoder_.PauseDots() > 8.0 && tuning_.AutoGoToMaxOn() &&
        tuning_.GoToMax(decoder_.PauseDots())) {
        listener_.ReceiverChanged(ReceiverChange::GoneToMax);
    }

    // 4.-5. Smoothed and peak spectra.
    SmoothSpectrum(spectrum_);

    // 6. The multi-channel decoder picks its channels.
    if (multiChannelOn_) freqScan_.ScanBlock(spectrum_.SpectrumPeak, tuning_.ScanStartBin());

    // 7. Draw, and serve the window's messages.
    listener_.SpectrumReady(repaint);

    // 8. The squelch, once per block, on this block's peak spectrum.
    const bool open = SquelchOpen(params_.Levels, spectrum_.SpectrumPeak, tuning_.SignalBin());

    // Tuning moves between blocks (AFC, go-to-max, clicks and the wheel during
    // the message pass above); the mixers follow from the next sample on.
    chain_.PhaseStep = tuning_.PhaseStep();

    // 9. Every sample in order. Nothing inside the loop serves the window, so
    //    the threshold's mode holds for the whole block.
    const bool autoThreshold = threshold_.AutoDown();
    double& detectorThreshold = params_.Levels.DetectorThreshold;
    for (int n = 0; n < kBlockSize; ++n) {
        ++samplesIn_;
        const std::int16_t s = block[n];
        const double env = chain_.EnvelopeFunction(s * (1.0 / 16384.0));
        FeedSoundOutput(s);
        if (decoderChoice_ == DecoderChoice::Adaptive) {
            // It keeps its own levels, squelch and timing.
            adaptive_.Sample(s * (1.0 / 32768.0));
        } else if (open) {
            if (autoThreshold) detectorThreshold = threshold_.AutoThresholdStep(env);
            // Key down only strictly above the threshold.
            decoder_.DecodeSample(env > detectorThreshold);
        } else if (decoder_.PauseDots() <= 10.0) {
            decoder_.PauseDots() += 0.2;
        }
        if (multiChannelOn_) freqScan_.ScanSample(s, autoThreshold);
        spectrum_.RecordOscilloscope(env);
    }
}

void Receiver::SelectDecoder(DecoderChoice choice) {
    if (choice == decoderChoice_) return;
    decoderChoice_ = choice;
    adaptive_.Restart();
    adaptiveBase_ = static_cast<std::int64_t>(samplesIn_) - adaptive_.SamplesIn();
}

AdaptiveCharacter Receiver::AdaptiveLastCharacter() const {
    AdaptiveCharacter c = adaptive_.LastCharacter();
    c.firstSample += adaptiveBase_;
    c.endSample += adaptiveBase_;
    return c;
}

void Receiver::EndOfInput() {
    if (decoderChoice_ == DecoderChoice::Adaptive) adaptive_.Finish();
}

ReceiverStatus Receiver::Status() const {
    ReceiverStatus s;
    s.SamplingFreq = params_.SamplingFreq;
    s.SignalBin = tuning_.SignalBin();
    s.CentreBin = tuning_.CentreBin();
    s.TxBin = tuning_.TxBin();
    s.ScanStartBin = tuning_.ScanStartBin();
    s.DisplayCentreBin = tuning_.DisplayCentreBin;
    s.Afc = tuning_.AfcOn();
    s.AutoGoToMax = tuning_.AutoGoToMaxOn();
    s.AfcDeviationHz = tuning_.AfcDeviationHz();
    s.AfcLimitHz = tuning_.AfcLimitHz();
    s.AutoThreshold = threshold_.AutoDown();
    s.DetectorThreshold = params_.Levels.DetectorThreshold;
    s.MinAutoThreshold = params_.Levels.MinAutoThreshold;
    s.ManualLimit = params_.Levels.EnableManualLimit != 0;
    s.SquelchEnabled = params_.Levels.SquelchEnabled != 0;
    s.SquelchThreshold = params_.Levels.SquelchThreshold;
    s.MainFilterCode = mainFilterCode_;
    s.BurstLength = decoder_.Burst.BurstLength;
    s.SpeedLocked = params_.Speed.SpeedLocked != 0;
    s.LowerSpeed = params_.Speed.LowerSpeed;
    s.HigherSpeed = params_.Speed.HigherSpeed;
    s.Speed = MeasuredSpeed(params_.Speed, decoder_.State(), params_.SamplingFreq);
    s.Charset = params_.Text.Charset;
    s.MultiChannel = multiChannelOn_;
    return s;
}

// --- filters ------------------------------------------------------------------

void Receiver::SelectMainFilter(int code) {
    const MainFilterRow& row = ResolveMainFilter(code);
    mainFilterCode_ = row.Code;
    if (row.Fir != nullptr) {
        chain_.LoadFir(*row.Fir, row.Rate);
    } else {
        chain_.LoadIir(*row.Iir);
    }
    freqScan_.SetFilter(row.Code);
    listener_.ReceiverChanged(ReceiverChange::MainFilter);
}

void Receiver::LoadDefaultFilter() {
    const MainFilterRow& row = ResolveMainFilter(kDefaultMainFilter);
    chain_.LoadFir(*row.Fir, row.Rate);
}

bool Receiver::SelectBurstFilter(std::int32_t lpm) {
    if (lpm < 1) return false;  // the length would divide by zero or turn negative
    // Above 70000 LPM the length would round to 0: the shortest is 1.
    const std::int32_t length = std::max<std::int32_t>(1, BurstQuotient(lpm));
    RestoreBurstLength(length);
    listener_.ReceiverChanged(ReceiverChange::BurstFilter);
    return true;
}

void Receiver::RestoreBurstLength(std::int32_t length) {
    decoder_.Burst.BurstLength = length;
    chain_.PhaseResetFlag = 1;
    freqScan_.SetBurstLength(length);
}

// --- tuning ----------------------------------------------------------------------

void Receiver::SetReceiveBin(int bin) {
    tuning_.SetReceiveBin(bin);
    chain_.PhaseStep = tuning_.PhaseStep();
}

void Receiver::ClickTune(int bin) {
    tuning_.SetReceiveBin(bin);
    listener_.ReceiverChanged(ReceiverChange::Frequency);
}

void Receiver::RetuneToMark() {
    SetReceiveBin(tuning_.TxBin());
    listener_.ReceiverChanged(ReceiverChange::Frequency);
}

void Receiver::GoToMax() {
    if (tuning_.GoToMax(decoder_.PauseDots())) {
        listener_.ReceiverChanged(ReceiverChange::GoneToMax);
    }
}

void Receiver::SetAfc(bool on) {
    tuning_.SetAfcOn(on);
    listener_.ReceiverChanged(ReceiverChange::Afc);
}

void Receiver::SetAutoGoToMax(bool on) {
    tuning_.SetAutoGoToMaxOn(on);
    listener_.ReceiverChanged(ReceiverChange::AutoGoToMax);
}

void Receiver::SetAfcDeviationHz(int hz) {
    tuning_.SetAfcDeviationHz(hz);
    listener_.ReceiverChanged(ReceiverChange::AfcDeviation);
}

void Receiver::SetAfcLimitHz(int hz) {
    tuning_.SetAfcLimitHz(hz);
    listener_.ReceiverChanged(ReceiverChange::AfcLimit);
}

// --- threshold and squelch ---------------------------------------------------------

void Receiver::SetAutoThreshold(bool on) {
    threshold_.SetAutoDown(on);
    listener_.ReceiverChanged(ReceiverChange::AutoThreshold);
}

void Receiver::PickThresholdLevel(double level) {
    if (threshold_.PickLevel(level) != Threshold::PickedLevel::None) {
        listener_.ReceiverChanged(ReceiverChange::Threshold);
    }
}

bool Receiver::PickSquelchLevel(double level) {
    return threshold_.PickSquelchLevel(level, multiChannelOn_);
}

// --- speed ------------------------------------------------------------------------------

void Receiver::SpeedWindowApplied() {
    listener_.ReceiverChanged(ReceiverChange::SpeedWindow);
    freqScan_.ApplySpeedWindow();
}

// --- character table ---------------------------------------------------------------------

void Receiver::SetStoredCharset(int charsetValue, const std::string& userCharsetFile) {
    params_.Text.Charset = charsetValue;
    params_.Text.UserCharsetFile = userCharsetFile;
}

void Receiver::SelectStartupCharset(int charsetValue, const std::string& userCharsetFile) {
    params_.Text.UserCharsetFile = userCharsetFile;
    params_.Text.Charset = quelp::SelectStartupCharset(charsetValue, userCharsetFile, tables_);
}

bool Receiver::UseCharset(int charsetValue, const std::string& userCharsetFile) {
    if (charsetValue == charset::User) {
        if (tables_.ReadUserCharset(userCharsetFile) != CharsetResult::Ok) return false;
        params_.Text.UserCharsetFile = userCharsetFile;
    }
    params_.Text.Charset = charsetValue;
    return true;
}

bool Receiver::ApplyCharsetChoice(int checkedCharset, bool changed,
                                  const std::string& userCharsetEdit) {
    return quelp::ApplyCharsetChoice(params_.Text, tables_, checkedCharset, changed,
                                     userCharsetEdit);
}

}  // namespace quelp
