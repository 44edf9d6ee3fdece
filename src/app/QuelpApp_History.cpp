#include "app/QuelpApp.h"

#include <algorithm>
#include <array>
#include <limits>

namespace quelp {

namespace {

// Every capture file is 16-bit mono at 11025 samples per second.
constexpr std::uint16_t kCaptureChannels = 1;
constexpr std::uint16_t kCaptureBits = 16;
constexpr std::uint32_t kCaptureRate = 11025;

// The header's 32-bit sizes: the riff size (data + 36) must still fit.
constexpr std::uint64_t kMaxCaptureData = std::numeric_limits<std::uint32_t>::max() - 36u;

// Another program's count of seconds, cut to what a history length can hold.
std::int32_t RequestSeconds(std::int64_t seconds) {
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(seconds, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

// --- wave capture file -------------------------------------------------------

void QuelpApp::OpenWaveCaptureFile1Click() {
    displayHoldOff_ = hold_off::kMenuOpen;
    // The dialog runs its own message loop, through which Alt+V can come back.
    if (waveOpening_) return;
    waveOpening_ = true;
    FileDialogRequest request;
    request.title = "Open wave capture file";
    request.filter = "Wave files|*.wav|All files|*.*";
    request.promptOverwrite = true;
    if (const auto path = ports_.dialogs.AskSave(request)) {
        static_cast<void>(OpenWaveCaptureFileByName(*path));
    }
    displayHoldOff_ = hold_off::kNone;
    waveOpening_ = false;
}

bool QuelpApp::OpenWaveCaptureFileByName(const std::string& path) {
    // One capture at a time: an open one is closed first, so its header is
    // completed and its samples are not lost.
    if (waveCapture_ || waveFile_.IsOpen()) static_cast<void>(CloseWaveCaptureFile1Click());
    ports_.view.SetEnabled(UiItem::OpenWaveCaptureFile1, false);
    if (waveFile_.Create(path, kCaptureChannels, kCaptureBits, kCaptureRate) !=
        WaveCreateResult::Ok) {
        ports_.view.ShowMessage("Wave File Open Error!", "File Error");
        ports_.view.SetEnabled(UiItem::OpenWaveCaptureFile1, true);
        return false;
    }
    ports_.view.SetEnabled(UiItem::CloseWaveCaptureFile1, true);
    waveCapture_ = true;
    ShowCaptureState();
    return true;
}

WaveCloseResult QuelpApp::CloseWaveCaptureFile1Click() {
    // The message box below runs a message loop of its own.
    if (waveClosing_) return WaveCloseResult::Busy;
    waveClosing_ = true;
    // A capture whose writer gave up after a failed write is still "on" here,
    // and closing it reports the error; with nothing open there is nothing to
    // report.
    const bool wasOn = waveCapture_ || waveFile_.IsOpen();
    waveCapture_ = false;
    WaveCloseResult result = WaveCloseResult::NothingOpen;
    if (wasOn) {
        if (waveFile_.Close() != WaveHeaderResult::Ok) {
            result = WaveCloseResult::WriteErrors;
            ports_.view.ShowMessage("There was errors in wave capture file!", "File Error");
        } else {
            result = WaveCloseResult::Closed;
            ports_.view.ShowMessage("Wave capture file was closed", "File Closed");
        }
    }
    ports_.view.SetEnabled(UiItem::CloseWaveCaptureFile1, false);
    ports_.view.SetEnabled(UiItem::OpenWaveCaptureFile1, true);
    ShowCaptureState();
    displayHoldOff_ = hold_off::kNone;
    waveClosing_ = false;
    return result;
}

void QuelpApp::ShowCaptureState() {
    capture_.WaveCaptureOn = waveCapture_;
    capture_.ShowCaptureState();
}

// --- live blocks ---------------------------------------------------------------

void QuelpApp::StoreHistory(std::span<const std::int16_t> block) {
    // Live blocks are whole; anything else is stored in whole blocks, the
    // last one padded with silence, so no sample is dropped. Without history
    // (no memory at start-up) there is nowhere to keep them.
    while (block.size() >= static_cast<std::size_t>(kBlockSize)) {
        static_cast<void>(history_.Store(block.data()));
        block = block.subspan(kBlockSize);
    }
    if (!block.empty()) {
        std::array<std::int16_t, kBlockSize> padded{};
        std::copy(block.begin(), block.end(), padded.begin());
        static_cast<void>(history_.Store(padded.data()));
    }
}

bool QuelpApp::WriteWaveCapture(std::span<const std::int16_t> block) {
    if (!waveCapture_) return true;
    // A file whose sizes would no longer fit the header counts as a failed
    // write: the capture then closes with a valid header instead of wrapping.
    const std::uint64_t bytes = std::uint64_t{block.size()} * 2u;
    if (waveFile_.DataSize() + bytes > kMaxCaptureData) return false;
    return waveFile_.Write(block.data(), static_cast<std::uint32_t>(block.size())) ==
           WaveWriteResult::Ok;
}

// --- replay and save -------------------------------------------------------------

void QuelpApp::ReplayButtonClick() {
    historyFiles_.ReplayButtonClick(decodeBusy_);
}

void QuelpApp::SaveButtonClick() {
    historyFiles_.SaveButtonClick();
}

void QuelpApp::ReplayHistory(std::int32_t seconds) {
    // While a decode runs, its file may be the replay's temporary file and
    // its end re-enables the controls: the replay leaves both alone.
    historyFiles_.ReplayHistory(seconds, decodeBusy_);
}

std::string QuelpApp::SaveHistory(std::int32_t seconds, bool decode) {
    // The save goes to a fresh file of its own; only its decode waits for no
    // decode to be running.
    return historyFiles_.SaveHistory(seconds, decode, decodeBusy_);
}

void QuelpApp::HistorySaveRequest(std::int64_t seconds) {
    if (seconds > 0) SaveHistory(RequestSeconds(seconds), false);
}

void QuelpApp::HistoryReplayRequest(std::int64_t seconds) {
    if (seconds > 0) ReplayHistory(RequestSeconds(seconds));
}

void QuelpApp::HistorySaveAndDecodeRequest(std::int64_t seconds) {
    if (seconds > 0) SaveHistory(RequestSeconds(seconds), true);
}

std::string QuelpApp::SaveHistoryUnder(const std::filesystem::path& dir, std::int32_t seconds) {
    std::filesystem::path previous = historyFiles_.BaseDir();
    historyFiles_.SetBaseDir(dir);
    std::string saved = SaveHistory(seconds, false);
    historyFiles_.SetBaseDir(std::move(previous));
    return saved;
}

}  // namespace quelp
