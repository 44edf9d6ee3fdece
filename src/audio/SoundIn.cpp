#include "audio/SoundIn.h"

#include <chrono>
#include <string>
#include <thread>

#include "audio/SoundOpenError.h"

namespace quelp {

namespace {
constexpr const char* kOpenErrorCaption = "Quelp - Device Open Error";
}

SoundIn::SoundIn(SoundDriver& driver, const SoundCardOptions& cards, MainView& view,
                 EventLoop& events, SoundInShared shared, SoundInClient& client)
    : driver_(driver),
      cards_(cards),
      view_(view),
      events_(events),
      shared_(shared),
      client_(client),
      memory_(static_cast<size_t>(kBuffers) * kFrames * 2, 0) {}

SoundIn::~SoundIn() {
    // The driver must not call back into a destroyed object.
    if (open_) StopSoundInput();
}

uint32_t SoundIn::BufferBytes() const {
    // Always 2048 frames: one or two 16-bit channels.
    return cards_.InputCardChannel == 0 ? kFrames * 2 : kFrames * 4;
}

void SoundIn::RestartSoundInput(int device) {
    StopSoundInput();
    if (device < 0) device = -1;
    device_ = device;
    OpenSoundInput();
}

void SoundIn::FailOpen(const char* text, const char* caption) {
    driver_.Close();
    open_ = false;
    view_.ShowMessage(text, caption);
}

void SoundIn::OpenSoundInput() {
    QueuedBuffers = 0;
    PendingBuffers = 0;
    writeIndex_ = 0;
    readIndex_ = 0;

    SoundFormat format;
    format.channels = cards_.InputCardChannel == 0 ? 1 : 2;
    const SoundResult result = driver_.Open(device_, format, *this);
    if (result != SoundResult::Ok) {
        open_ = false;
        if (driver_.DeviceCount() < 1) {
            view_.ShowMessage("No sound input device", "Error");
        } else {
            view_.ShowMessage(SoundOpenErrorText(result), kOpenErrorCaption);
        }
        return;
    }
    open_ = true;

    client_.ClearSpectrumPeak();

    for (int i = 0; i < kBuffers; ++i) {
        SoundBuffer& h = headers_[i];
        h.data = Area(i);
        h.bytes = BufferBytes();
        h.bytesRecorded = 0;
        h.done = false;
        if (driver_.Prepare(h) != SoundResult::Ok) {
            FailOpen("  Error in Prepare Header! ", "Error");
            return;
        }
        // Counted before the hand-over so that a fast driver never drives
        // the count below zero.
        QueuedBuffers.fetch_add(1);
        if (driver_.Add(h) != SoundResult::Ok) {
            QueuedBuffers.fetch_sub(1);
            FailOpen("  Error in AddBuffer! ", "Error");
            return;
        }
        writeIndex_ = (writeIndex_ + 1) % kBuffers;
    }

    if (driver_.Start() != SoundResult::Ok) FailOpen("  Error in Start! \n", "Error");
}

void SoundIn::WaveInDone(SoundBuffer& /*buffer*/) {
    PendingBuffers.fetch_add(1);
    QueuedBuffers.fetch_sub(1);
    int hold = shared_.displayHoldOff.load();
    while (hold > 0 && !shared_.displayHoldOff.compare_exchange_weak(hold, hold - 1)) {
    }
    if (!shared_.shuttingDown.load()) events_.Post(WM_BUFFERDONE);
}

void SoundIn::ExtractChannel(int16_t* area) const {
    // In place: frame k's sample moves to value k; reading index 2k (or
    // 2k + 1) never reads a value already overwritten.
    if (cards_.InputCardChannel == 1) {
        for (int k = 1; k < kFrames; ++k) area[k] = area[2 * k];
    } else if (cards_.InputCardChannel == 2) {
        for (int k = 0; k < kFrames; ++k) area[k] = area[2 * k + 1];
    }
}

void SoundIn::InputBufferDone() {
    if (busy_ || shared_.shuttingDown.load() || !open_) return;
    busy_ = true;

    while (PendingBuffers.load() > 0) {
        int32_t queued = QueuedBuffers.load();
        if (queued != lastShown_) {
            view_.SetStatusText(panel::FreeBuffers, "FrB: " + std::to_string(queued));
            lastShown_ = queued;
        }
        PendingBuffers.fetch_sub(1);

        int16_t* area = Area(readIndex_);
        ExtractChannel(area);
        std::span<const int16_t> block(area, kFrames);
        if (!shared_.fileDecoding) client_.ProcessLiveBlock(block);
        client_.StoreHistory(block);
        if (client_.WaveCaptureActive() && !client_.WriteWaveCapture(block)) {
            view_.ShowMessage("Wave capture file write error!", "File Error");
            client_.CloseWaveCapture();
        }
        readIndex_ = (readIndex_ + 1) % kBuffers;

        // The message box above runs a nested message loop, which may have
        // stopped the input (setup dialog): nothing may go back to a closed
        // device then.
        if (!open_) break;
        if (shared_.shuttingDown.load()) continue;

        QueuedBuffers.fetch_add(1);
        SoundBuffer& h = headers_[writeIndex_];
        h.data = Area(writeIndex_);
        h.bytes = BufferBytes();
        h.bytesRecorded = 0;
        h.done = false;
        if (driver_.Add(h) != SoundResult::Ok) {
            driver_.Close();
            view_.ShowMessage("  Error in AddBuffer! ", "Error");
            open_ = false;
            busy_ = false;
            client_.EndApplication();
            return;
        }
        writeIndex_ = (writeIndex_ + 1) % kBuffers;
    }

    busy_ = false;
}

void SoundIn::StopSoundInput() {
    if (open_) {
        // Cleared first, so that InputBufferDone ignores the buffers that
        // come back.
        open_ = false;
        // Teardown: whatever these report, the buffers come back and the
        // device closes.
        driver_.Stop();
        driver_.Reset();
        while (QueuedBuffers.load() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (SoundBuffer& h : headers_) driver_.Unprepare(h);
        driver_.Close();
    }
    PendingBuffers = 0;
    QueuedBuffers = 0;
    writeIndex_ = 0;
    readIndex_ = 0;
}

}  // namespace quelp
