#include "audio/SoundOut.h"

#include <chrono>
#include <new>
#include <string>
#include <thread>

#include "audio/SoundOpenError.h"

namespace quelp {

namespace {
constexpr const char* kOpenErrorCaption = "Quelp - Output Sound Device Open Error";
}

SoundOut::SoundOut(SoundDriver& driver, const SoundCardOptions& cards, MainView& view)
    : driver_(driver), cards_(cards), view_(view) {}

SoundOut::~SoundOut() {
    Close();
}

void SoundOut::FreeMemory() {
    for (auto& b : buffers_) b.reset();
}

SoundOutOpenResult SoundOut::Open(int device) {
    if (open_) Close();
    current_ = 0;
    FreeBuffers = kBuffers;
    FreeMemory();

    if (driver_.DeviceCount() < 1) {
        view_.ShowMessage("No sound output device", "Error");
        return SoundOutOpenResult::NoDevice;
    }

    channel_ = cards_.OutputCardChannel;
    const int channels = channel_ == 0 ? 1 : 2;
    const size_t samples = static_cast<size_t>(kFrames) * channels;
    for (auto& b : buffers_) {
        b.reset(new (std::nothrow) int16_t[samples]());
        if (!b) {
            FreeMemory();
            view_.ShowMessage("No memory for output buffers", kOpenErrorCaption);
            return SoundOutOpenResult::NoMemory;
        }
    }

    SoundFormat format;
    format.channels = channels;
    SoundResult result = driver_.Open(device, format, *this);
    if (result != SoundResult::Ok) {
        view_.ShowMessage(SoundOpenErrorText(result), kOpenErrorCaption);
        FreeMemory();
        return SoundOutOpenResult::NotOpened;
    }

    for (int i = 0; i < kBuffers; ++i) {
        SoundBuffer& h = headers_[i];
        h.data = buffers_[i].get();
        h.bytes = static_cast<uint32_t>(samples * 2);
        h.bytesRecorded = 0;
        h.done = false;
        result = driver_.Prepare(h);
        if (result != SoundResult::Ok) {
            driver_.Close();
            FreeMemory();
            view_.ShowMessage("Error in Prepare Output Header! (" +
                                  std::to_string(static_cast<int>(result)) + ")",
                              "Error");
            return SoundOutOpenResult::PrepareFailed;
        }
    }

    open_ = true;
    count_ = 0;
    FreeBuffers = kBuffers;
    return SoundOutOpenResult::Ok;
}

void SoundOut::Close() {
    if (open_) {
        open_ = false;
        driver_.Reset();
        // The driver gives the buffers back on its own thread; nothing the
        // main thread must deliver is needed for that.
        while (FreeBuffers.load() < kBuffers)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        for (SoundBuffer& h : headers_) driver_.Unprepare(h);
        driver_.Close();
    }
    current_ = 0;
    FreeBuffers = kBuffers;
    count_ = 0;
    FreeMemory();
}

SoundOutPutResult SoundOut::PutSample(int16_t sample) {
    if (FreeBuffers.load() < 1) return SoundOutPutResult::NoFreeBuffer;
    if (!open_) return SoundOutPutResult::Closed;

    int16_t* frames = buffers_[current_].get();
    switch (channel_) {
        case 0:
            frames[count_] = sample;
            break;
        case 1:
            frames[2 * count_] = sample;
            frames[2 * count_ + 1] = 0;
            break;
        default:
            frames[2 * count_] = 0;
            frames[2 * count_ + 1] = sample;
            break;
    }
    if (++count_ < kFrames) return SoundOutPutResult::Ok;

    count_ = 0;
    SoundBuffer& h = headers_[current_];
    h.data = frames;
    h.bytes = static_cast<uint32_t>(kFrames * (channel_ == 0 ? 2 : 4));
    h.done = false;
    // Counted before the hand-over: the driver may give it back at once.
    FreeBuffers.fetch_sub(1);
    const SoundResult result = driver_.Add(h);
    if (result != SoundResult::Ok) {
        FreeBuffers.fetch_add(1);
        driver_.Close();
        open_ = false;
        view_.ShowMessage(
            "  Error in Out Write! (" + std::to_string(static_cast<int>(result)) + ")", "Error");
        return SoundOutPutResult::WriteFailed;
    }
    current_ = (current_ + 1) % kBuffers;
    return SoundOutPutResult::Ok;
}

void SoundOut::WaveOutDone(SoundBuffer& /*buffer*/) {
    FreeBuffers.fetch_add(1);
}

}  // namespace quelp
