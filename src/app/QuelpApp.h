#pragma once
// The application object: owns the subsystems for the whole run (the
// non-visual half of the main window). The Qt window and the command-line
// decoder both drive this one object; every operation they offer is a member
// function here or on a subsystem it owns.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "app/Clock.h"
#include "app/FileDialogs.h"
#include "app/MainView.h"
#include "app/QuelpParams.h"
#include "audio/WaveRead.h"
#include "decoder/CharacterTables.h"
#include "decoder/MainDecoder.h"
#include "dsp/DspSound.h"
#include "dsp/Fft.h"
#include "dsp/FilterMenus.h"
#include "dsp/ReceiveChain.h"
#include "dsp/SineTable.h"
#include "dsp/SpectrumArrays.h"
#include "dsp/Threshold.h"
#include "dsp/Tuning.h"
#include "integration/ExchangeLibrary.h"
#include "text/CaptureSink.h"
#include "text/ReceiveText.h"
#include "text/ReceiveTextOutput.h"
#include "text/TextCapture.h"

namespace quelp {

// The outside world as the core sees it.
struct QuelpPorts {
    MainView& view;
    Clock& clock;
    FileDialogs& dialogs;
    ReceiveText& rxMemo;
    // The text capture file; null: every open fails with the usual message.
    CaptureSink* captureSink = nullptr;
    // The exchange library; null: not available, characters are not passed.
    ExchangeLibrary* exchange = nullptr;
};

class QuelpApp {
  public:
    static constexpr int kBlockSize = 2048;

    explicit QuelpApp(QuelpPorts ports);
    QuelpApp(const QuelpApp&) = delete;
    QuelpApp& operator=(const QuelpApp&) = delete;

    Quelp_Params& Params() { return params_; }
    const Quelp_Params& Params() const { return params_; }

    CharacterTables& Tables() { return tables_; }
    MainDecoder& Decoder() { return decoder_; }
    TextCapture& Capture() { return capture_; }
    ReceiveTextOutput& RxOutput() { return rxOutput_; }
    ReceiveChain& Chain() { return chain_; }
    FilterMenus& Filters() { return filterMenus_; }
    DspSound& SoundFilterChain() { return dspSound_; }
    SpectrumArrays& Spectrum() { return spectrum_; }
    const SpectrumArrays& Spectrum() const { return spectrum_; }
    Threshold& Detector() { return threshold_; }
    Tuning& Tune() { return tuning_; }
    const SineTable& Sine() const { return sine_; }

    // One block of 2048 samples, live (repaint 0) or from a file (repaint 1):
    // spectrum, automatic tuning, squelch, then every sample through the
    // receive chain, the threshold and the decoder.
    void ProcessBlock(const std::int16_t* block, int repaint);

    // Go-to-max from the button (and from the registered message).
    void GoToMaxButtonClick() { tuning_.GoToMax(decoder_.PauseDots()); }

    // --- decoding a WAV file (QuelpApp_FileDecode.cpp) ----------------------

    // Results of DecodeWaveFile.
    enum class FileDecodeResult {
        Decoded,            // the whole file (or up to shut-down) went through
        Busy,               // another decode was running: nothing done
        OpenError,          // "File Open Error!"
        UnsupportedFormat,  // "Unsupported audio format!"
        UnsupportedRate,    // "Unsupported sample rate!"
    };

    // Decodes a WAV file block by block through ProcessBlock, paced at
    // 150 ms per block (about 1.24 times real time) or, with the sound output
    // on, by the output device. Serves the window's messages meanwhile, so it
    // may be asked again from inside: that request has no effect. Returns
    // when the file is done or the program starts to close.
    FileDecodeResult DecodeWaveFile(const std::string& fileName);
    // File -> "Decode From File".
    void DecodeFromFile1Click();

    // A decode is running (guards re-entry; replay and save-and-decode read it).
    bool DecodeBusy = false;
    // Off: files are decoded as fast as the processor allows (the same blocks
    // in the same order, no sleeping); the command-line decoder turns it off.
    bool PaceFileDecoding = true;
    // Samples (at 11025 Hz) that carried file data in the last decode.
    std::uint64_t FileDecodeSamples = 0;

    // Hooks the sound subsystem fills (empty: no sound devices):
    // true while the sound output is on and has no free buffer, so the
    // decode waits for the device instead of dropping output samples;
    std::function<bool()> OutputBufferWanted;
    // runs InputBufferDone when filled live input buffers are waiting;
    std::function<void()> ServeInputBuffers;
    // after a decode: posts one WM_BUFFERDONE per input buffer still pending,
    // so live processing resumes at once.
    std::function<void()> RepostInputBuffers;
    // After each block of a file went through ProcessBlock (0 = the file's
    // first block); the command-line decoder tunes here.
    std::function<void(std::uint64_t block)> FileBlockProcessed;

    // --- start-up, shut-down and the settings file (QuelpApp_Startup.cpp) ---

    // --- wave capture, audio history, replay and save (QuelpApp_History.cpp)

    // --- multi-channel decoder (QuelpApp_MultiChannel.cpp) ------------------

    // --- sound input and output (QuelpApp_Sound.cpp) -------------------------

    // Captured blocks waiting to be processed; the block processor skips
    // drawing while 3 or more wait. The sound input keeps it.
    std::atomic<int>* PendingBuffers = nullptr;

    // Count of input buffers during which the displays are not repainted;
    // counted down by the sound driver's thread.
    std::atomic<int> DisplayHoldOff{0};
    // Closing has begun (read by the sound driver's thread).
    std::atomic<bool> ShuttingDown{false};
    // A WAV file is being decoded: live blocks bypass the block processor.
    std::atomic<bool> FileDecoding{false};
    // The multi-channel decoder runs.
    bool MultiChannelOn = false;

  private:
    // The sample that the sound output plays (raw or filtered); nothing while
    // sound is off.
    void FeedSoundOutput(std::int16_t /*sample*/) {}

    QuelpPorts ports_;
    Quelp_Params params_;
    CharacterTables tables_;
    MainDecoder decoder_;
    TextCapture capture_;
    ReceiveTextOutput rxOutput_;
    SineTable sine_;
    ReceiveChain chain_;
    FilterMenus filterMenus_;
    DspSound dspSound_;
    SpectrumArrays spectrum_;
    Fft fft_;
    Threshold threshold_;
    Tuning tuning_;

    // --- decoding a WAV file ---------------------------------------------------
    // Waits out one block's pace: at least one pass, then until the clock
    // reaches `deadline`; then, with the sound output on, until it has a free
    // buffer.
    void PaceFileBlock(std::int64_t deadline);
    // One pass of the pacing loop: live input, window messages, 20 ms.
    void FileDecodeWaitPass(bool sleep);

    TWaveRead waveRead_;

    // --- start-up, shut-down and the settings file -----------------------------

    // --- wave capture, audio history, replay and save ------------------------

    // --- multi-channel decoder -------------------------------------------------

    // --- sound input and output -------------------------------------------------
};

}  // namespace quelp
