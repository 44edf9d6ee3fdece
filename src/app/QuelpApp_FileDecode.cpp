// Decoding a WAV file: the file's blocks take the place of live input in the
// block processor while the window (or the console) stays responsive.

#include <memory>

#include "app/QuelpApp.h"

namespace quelp {

namespace {
// Clock time per block while pacing: 2048 samples are 185.8 ms of audio, so
// the text builds up a little faster than real time.
constexpr std::int64_t kBlockPaceMs = 150;
// Sleep of one pass of the pacing loop.
constexpr int kPassSleepMs = 20;
}  // namespace

FileDecodeResult QuelpApp::DecodeWaveFile(const std::string& fileName, FileDecodeOptions options) {
    // The decode serves the window's messages, through which a replay or a
    // second "Decode From File" can arrive; one file at a time.
    if (decodeBusy_) return FileDecodeResult::Busy;
    const FileDecodeGuard guard(*this);

    fileDecodeSamples_ = 0;
    if (waveRead_.Open(fileName) != WaveOpenResult::Ok) {
        ports_.view.ShowMessage("File Open Error!", "File Error");
        return FileDecodeResult::OpenError;
    }
    switch (waveRead_.CheckFormat()) {
        case WaveFormatResult::UnsupportedFormat:
            waveRead_.Close();
            ports_.view.ShowMessage("Unsupported audio format!", "File Error");
            return FileDecodeResult::UnsupportedFormat;
        case WaveFormatResult::UnsupportedRate:
            waveRead_.Close();
            ports_.view.ShowMessage("Unsupported sample rate!", "File Error");
            return FileDecodeResult::UnsupportedRate;
        case WaveFormatResult::Ok:
            break;
    }
    RunFileDecode(waveRead_, options);
    return FileDecodeResult::Decoded;
}

FileDecodeResult QuelpApp::DecodeSamples(SampleSource& source, FileDecodeOptions options) {
    if (decodeBusy_) return FileDecodeResult::Busy;
    const FileDecodeGuard guard(*this);
    fileDecodeSamples_ = 0;
    RunFileDecode(source, options);
    return FileDecodeResult::Decoded;
}

QuelpApp::FileDecodeGuard::FileDecodeGuard(QuelpApp& app) : app_(app) {
    app_.decodeBusy_ = true;
    app_.ports_.view.SetEnabled(UiItem::DecodeFromFile1, false);
    app_.ports_.view.SetEnabled(UiItem::ReplayButton, false);
}

// Whatever way the decode ends, live input goes back to the decoder and the
// controls come back.
QuelpApp::FileDecodeGuard::~FileDecodeGuard() {
    app_.fileDecoding_ = false;
    app_.waveRead_.Close();
    app_.ports_.view.SetEnabled(UiItem::DecodeFromFile1, true);
    app_.ports_.view.SetEnabled(UiItem::ReplayButton, true);
    app_.decodeBusy_ = false;
}

void QuelpApp::RunFileDecode(SampleSource& source, const FileDecodeOptions& options) {
    // One block buffer per decode, nothing allocated per block.
    const auto block = std::make_unique<std::int16_t[]>(kBlockSize);
    fileDecoding_ = true;
    displayHoldOff_ = hold_off::kNone;
    std::int64_t deadline = ports_.clock.ElapsedMs();
    for (std::uint64_t n = 0; !shuttingDown_; ++n) {
        deadline += kBlockPaceMs;
        // The last block is padded with silence; nothing is left once less
        // than one frame remains.
        const int withData = source.ReadBlock(block.get());
        if (withData == 0) break;
        fileDecodeSamples_ += static_cast<std::uint64_t>(withData);
        receiver_.ProcessBlock(block.get(), 1);
        if (n == 0 && options.goToMaxAfterFirstBlock) GoToMaxButtonClick();
        PaceFileBlock(deadline);
    }
    // The end of the file: what a decoder still holds back is printed.
    receiver_.EndOfInput();
    fileDecoding_ = false;
    waveRead_.Close();

    // Live buffers that arrived meanwhile are processed at once.
    RepostPendingInputBuffers();
}

void QuelpApp::PaceFileBlock(std::int64_t deadline) {
    if (paceFileDecoding_) {
        // At least one pass per block, so a decode that has fallen behind
        // still serves live input and the window between its blocks.
        do {
            FileDecodeWaitPass(true);
        } while (!shuttingDown_ && ports_.clock.ElapsedMs() < deadline);
    } else {
        FileDecodeWaitPass(false);
    }
    // With the sound output on, the device sets the pace and no output sample
    // is dropped. Closing ends the wait: the device may be gone by then.
    while (!shuttingDown_ && SoundOutputBehind()) FileDecodeWaitPass(true);
}

void QuelpApp::FileDecodeWaitPass(bool sleep) {
    ServePendingInputBuffers();
    ports_.view.ProcessMessages();
    if (sleep) ports_.clock.SleepMs(kPassSleepMs);
}

void QuelpApp::DecodeFromFile1Click() {
    displayHoldOff_ = hold_off::kMenuOpen;
    const FileDialogRequest request{
        "Decode From File", "Wave Files|*.wav|All Files|*.*", "wav", ".", "", false};
    // The decode shows its own failures.
    if (const auto path = ports_.dialogs.AskOpen(request)) static_cast<void>(DecodeWaveFile(*path));
    displayHoldOff_ = hold_off::kNone;
}

}  // namespace quelp
