#include "app/QuelpApp.h"

#include "dsp/Squelch.h"

namespace quelp {

QuelpApp::QuelpApp(QuelpPorts ports)
    : ports_(ports),
      decoder_(params_, ports.view, DisplayHoldOff),
      capture_(params_, ports.view, ports.clock, ports.dialogs, ports.captureSink, DisplayHoldOff),
      rxOutput_(params_, tables_, ports.rxMemo, capture_, ports.exchange),
      chain_(sine_),
      filterMenus_(chain_, ports.view, decoder_.Burst.BurstLength),
      dspSound_(sine_, chain_.PhaseStep),
      fft_(Fft::ForBlock()),
      threshold_(params_, ports.view, DisplayHoldOff),
      tuning_(params_, ports.view, spectrum_.SpectrumPeak) {
    decoder_.EmitCharacter = [this](std::uint32_t code) { rxOutput_.EmitCharacter(code); };
    InitHistory();
    InitMultiChannel();
    InitSound();
    ConnectSubsystems();
}

void QuelpApp::ConnectSubsystems() {
    // Live blocks go to the audio history and the wave capture file.
    SoundHistory.storeHistory = [this](std::span<const std::int16_t> b) { StoreHistoryBlock(b); };
    SoundHistory.waveCaptureOpen = [this] { return WaveCaptureOpen(); };
    SoundHistory.writeWaveCapture = [this](std::span<const std::int16_t> b) {
        return WriteWaveCaptureBlock(b);
    };
    SoundHistory.closeWaveCapture = [this] { CloseWaveCaptureFile1Click(); };
    // A file decode keeps pace with the sound output and keeps serving the
    // live input.
    OutputBufferWanted = [this] { return SoundOutputBehind(); };
    ServeInputBuffers = [this] { ServePendingInputBuffers(); };
    RepostInputBuffers = [this] { RepostPendingInputBuffers(); };
}

void QuelpApp::ProcessBlock(const std::int16_t* block, int repaint) {
    // A missing block (a failed read or capture) is no audio at all: nothing
    // runs, and no step of the receiver counts time that did not pass.
    if (block == nullptr) return;

    // 1. The spectrum of the block.
    fft_.Transform(block, spectrum_.FftRe.data(), spectrum_.FftIm.data());

    // 2. AFC, unless wheel tuning asked to hold it for a few blocks.
    tuning_.BlockAfc();

    // 3. Auto go-to-max after a pause of more than 8 dots, on the peaks the
    //    previous block left.
    if (decoder_.PauseDots() > 8.0 && tuning_.AutoGoToMaxDown()) {
        tuning_.GoToMax(decoder_.PauseDots());
    }

    // 4.-5. Smoothed and peak spectra.
    SmoothSpectrum(spectrum_);

    // 6. The multi-channel decoder picks its channels.
    if (MultiChannelOn) {
        freqScan_.ScanBlock(spectrum_.SpectrumPeak, tuning_.ScanStartBin());
    }

    // 7. Draw, and serve the window's messages, unless live capture has
    //    fallen 3 or more blocks behind; blocks from a file always draw.
    const int waiting = PendingBuffers != nullptr ? PendingBuffers->load() : 0;
    if (waiting < 3 || repaint == 1) {
        ports_.view.UpdateDisplays();
        ports_.view.ProcessMessages();
    }

    // 8. The squelch, once per block, on this block's peak spectrum.
    const bool open = SquelchOpen(params_, spectrum_.SpectrumPeak, tuning_.SignalBin());

    // Tuning moves between blocks (AFC, go-to-max, clicks and the wheel during
    // the message pass above); the mixers follow from the next sample on.
    chain_.PhaseStep = tuning_.PhaseStep();

    // 9. Every sample in order.
    const bool autoThreshold = threshold_.AutoDown();
    for (int n = 0; n < kBlockSize; ++n) {
        const std::int16_t s = block[n];
        const double env = chain_.EnvelopeFunction(s * (1.0 / 16384.0));
        FeedSoundOutput(s);
        if (open) {
            if (autoThreshold) params_.DetectorThreshold = threshold_.AutoThresholdStep(env);
            decoder_.DecodeSample(env > params_.DetectorThreshold);
        } else if (decoder_.PauseDots() <= 10.0) {
            decoder_.PauseDots() += 0.2;
        }
        if (MultiChannelOn) {
            freqScan_.ScanSample(s);
        }
        spectrum_.RecordOscilloscope(env);
    }
}

}  // namespace quelp
