#pragma once
// The sound driver on PortAudio (ALSA): device numbers are the input-capable
// (or output-capable) devices in PortAudio's enumeration order, -1 its
// default device; the stream runs at the format's rate with 2048 frames per
// callback. The stream callback fills (or plays) the oldest handed-over
// buffer and gives it back; with none handed over, input audio is dropped and
// output plays silence.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ports/SoundDriver.h"

namespace quelp {

class PortAudioDriver final : public SoundDriver {
  public:
    enum class Direction { Input, Output };

    explicit PortAudioDriver(Direction direction);
    PortAudioDriver(const PortAudioDriver&) = delete;
    PortAudioDriver& operator=(const PortAudioDriver&) = delete;
    ~PortAudioDriver() override;

    int DeviceCount() override;
    bool ProductName(int device, std::string& name) override;
    SoundResult Open(int device, const SoundFormat& format, SoundDriverClient& client) override;
    SoundResult Prepare(SoundBuffer& buffer) override;
    SoundResult Unprepare(SoundBuffer& buffer) override;
    SoundResult Add(SoundBuffer& buffer) override;
    SoundResult Start() override;
    SoundResult Stop() override;
    SoundResult Reset() override;
    SoundResult Close() override;

    // Frames of input audio dropped because no buffer was handed over.
    uint64_t DroppedFrames() const { return dropped_.load(std::memory_order_relaxed); }

  private:
    static int StreamCallback(const void* input, void* output, unsigned long frames,
                              const void* timeInfo, unsigned long statusFlags, void* self);
    void Capture(const int16_t* input, size_t bytes);
    void Play(int16_t* output, size_t bytes);
    // Gives back the oldest held buffer; the stream must not be running or
    // this must be the callback.
    void GiveBack(uint32_t filledBytes);
    SoundResult HaltStream();

    Direction direction_;
    bool initialized_ = false;
    std::vector<int> devices_;  // PortAudio device index of each device number
    void* stream_ = nullptr;
    bool running_ = false;
    size_t frameBytes_ = 2;  // bytes per frame of the open stream
    SoundDriverClient* client_ = nullptr;

    // Handed-over buffers, oldest first: the main thread appends (tail), the
    // stream callback takes (head); no locks.
    static constexpr size_t kRing = 32;
    std::array<SoundBuffer*, kRing> ring_{};
    std::atomic<size_t> head_{0};
    std::atomic<size_t> tail_{0};
    uint32_t offset_ = 0;  // bytes done in the oldest buffer
    std::atomic<uint64_t> dropped_{0};
    void* jack_ = nullptr;  // kept open while its messages are silenced
};

}  // namespace quelp
