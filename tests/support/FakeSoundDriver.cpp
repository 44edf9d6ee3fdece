#include "support/FakeSoundDriver.h"

#include <chrono>

namespace quelp::test {

FakeSoundDriver::~FakeSoundDriver() {
    Join();
}

void FakeSoundDriver::Join() {
    if (thread_.joinable()) thread_.join();
}

bool FakeSoundDriver::ProductName(int device, std::string& name) {
    if (device < 0 || device >= DeviceCount()) return false;
    name = names[static_cast<size_t>(device)];
    return true;
}

SoundResult FakeSoundDriver::Open(int device, const SoundFormat& f, SoundDriverClient& client) {
    calls.push_back("open " + std::to_string(device) + " " + std::to_string(f.channels));
    openedDevice = device;
    format = f;
    if (openResult != SoundResult::Ok) return openResult;
    if (device >= DeviceCount() || DeviceCount() == 0) return SoundResult::BadDeviceId;
    client_ = &client;
    isOpen = true;
    return SoundResult::Ok;
}

SoundResult FakeSoundDriver::Prepare(SoundBuffer& buffer) {
    if (prepares++ == prepareFailsAt) return prepareResult;
    buffer.prepared = true;
    return SoundResult::Ok;
}

SoundResult FakeSoundDriver::Unprepare(SoundBuffer& buffer) {
    if (buffer.queued) {
        ++unprepareFailures;
        return SoundResult::StillPlaying;
    }
    if (unprepareResult != SoundResult::Ok) return unprepareResult;
    buffer.prepared = false;
    return SoundResult::Ok;
}

SoundResult FakeSoundDriver::Add(SoundBuffer& buffer) {
    if (adds++ == addFailsAt) return addResult;
    if (!isOpen) return SoundResult::InvalidHandle;
    if (!buffer.prepared) return SoundResult::Unprepared;
    std::lock_guard lock(mutex_);
    buffer.queued = true;
    buffer.done = false;
    held_.push_back(&buffer);
    return SoundResult::Ok;
}

SoundResult FakeSoundDriver::Start() {
    calls.push_back("start");
    if (startResult != SoundResult::Ok) return startResult;
    started = true;
    return SoundResult::Ok;
}

SoundResult FakeSoundDriver::Stop() {
    calls.push_back("stop");
    if (stopResult != SoundResult::Ok) return stopResult;
    started = false;
    return SoundResult::Ok;
}

SoundResult FakeSoundDriver::Reset() {
    calls.push_back("reset");
    ++resets;
    started = false;
    if (resetOnThreadMs >= 0) {
        CompleteAllOnThread(resetOnThreadMs);
        return resetResult;
    }
    std::lock_guard lock(mutex_);
    while (CompleteLocked({}, false)) {
    }
    return resetResult;
}

SoundResult FakeSoundDriver::Close() {
    calls.push_back("close");
    Join();
    std::lock_guard lock(mutex_);
    for (SoundBuffer* b : held_) b->queued = false;
    held_.clear();
    isOpen = false;
    client_ = nullptr;
    return closeResult;
}

bool FakeSoundDriver::CompleteLocked(std::span<const int16_t> frames, bool take) {
    if (held_.empty() || client_ == nullptr) return false;
    SoundBuffer* b = held_.front();
    held_.pop_front();
    const size_t n = b->bytes / 2;
    if (!frames.empty()) {
        for (size_t i = 0; i < n; ++i) b->data[i] = frames[i % frames.size()];
        b->bytesRecorded = b->bytes;
    }
    if (take) played.insert(played.end(), b->data, b->data + n);
    b->queued = false;
    b->done = true;
    client_->BufferDone(*b);
    return true;
}

bool FakeSoundDriver::CompleteNext(std::span<const int16_t> frames) {
    Join();
    std::lock_guard lock(mutex_);
    return CompleteLocked(frames, true);
}

void FakeSoundDriver::CompleteAllOnThread(int delayMs) {
    Join();
    thread_ = std::thread([this, delayMs] {
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        std::lock_guard lock(mutex_);
        while (CompleteLocked({}, false)) {
        }
    });
}

int FakeSoundDriver::Held() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(held_.size());
}

}  // namespace quelp::test
