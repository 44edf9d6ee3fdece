#pragma once
// Live sound input: sixteen buffers of 2048 frames circulate between the
// wave-in driver and the main thread. The driver thread only counts a filled
// buffer and posts WM_BUFFERDONE (WaveInDone); the main thread takes the
// filled buffers in order (InputBufferDone), keeps the chosen channel, hands
// the block on and gives the buffer back to the driver.

#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "audio/SoundCards.h"
#include "dsp/Bins.h"
#include "ports/EventLoop.h"
#include "ports/MainView.h"
#include "ports/SoundDriver.h"

namespace quelp {

// What a live block reaches, owned by other subsystems. Called on the main
// thread only.
class SoundInClient {
  public:
    // The input (re)started: the peak-hold spectrum starts afresh.
    virtual void ClearSpectrumPeak() = 0;
    // The block processor, with the live flag (not while a file decodes).
    virtual void ProcessLiveBlock(std::span<const int16_t> block) = 0;
    // The audio history.
    virtual void StoreHistory(std::span<const int16_t> block) = 0;
    // The wave capture file: whether it is open, a write (false: failed),
    // and the close command after a failed write.
    virtual bool WaveCaptureActive() = 0;
    virtual bool WriteWaveCapture(std::span<const int16_t> block) = 0;
    virtual void CloseWaveCapture() = 0;
    // A buffer could not be given back to the driver: the program ends.
    virtual void EndApplication() = 0;

  protected:
    ~SoundInClient() = default;
};

// Main-window state shared with the sound input.
struct SoundInShared {
    std::atomic<int>& displayHoldOff;       // counted down per filled buffer
    const std::atomic<bool>& shuttingDown;  // no posts, no re-queue once set
    const std::atomic<bool>& fileDecoding;  // live blocks bypass ProcessBlock
};

class SoundIn final : public SoundDriverClient {
  public:
    static constexpr int kBuffers = 16;
    static constexpr int kFrames = kBlockSize;

    SoundIn(SoundDriver& driver, const SoundCardOptions& cards, MainView& view, EventLoop& events,
            SoundInShared shared, SoundInClient& client);
    SoundIn(const SoundIn&) = delete;
    SoundIn& operator=(const SoundIn&) = delete;
    ~SoundIn();

    // Stops the input, keeps `device` (below 0 or above 9: the default
    // device) and opens it again.
    void RestartSoundInput(int device);
    // Opens the stored device and starts recording; reports its own errors.
    void OpenSoundInput();
    // Stops and closes the device; buffers not yet processed are discarded.
    void StopSoundInput();
    // Main thread, on WM_BUFFERDONE (and from the file decode's waiting loop).
    void InputBufferDone();
    // Driver thread: one buffer has been filled.
    void WaveInDone(SoundBuffer& buffer);

    bool IsOpen() const { return open_; }
    int DeviceNumber() const { return device_; }

    // Filled buffers not yet processed; buffers held by the driver ("FrB:").
    std::atomic<int32_t> PendingBuffers{0};
    std::atomic<int32_t> QueuedBuffers{0};

  private:
    void BufferDone(SoundBuffer& buffer) override { WaveInDone(buffer); }
    uint32_t BufferBytes() const;
    int16_t* Area(int i) { return memory_.data() + static_cast<size_t>(i) * kFrames * 2; }
    void ExtractChannel(int16_t* area) const;
    void FailOpen(const char* text, const char* caption);

    SoundDriver& driver_;
    const SoundCardOptions& cards_;
    MainView& view_;
    EventLoop& events_;
    SoundInShared shared_;
    SoundInClient& client_;

    // One block of sixteen 8192-byte areas, allocated once for the whole run.
    std::vector<int16_t> memory_;
    SoundBuffer headers_[kBuffers];
    bool open_ = false;  // stands for the device handle
    int device_ = -1;    // -1 = the system's default device
    int writeIndex_ = 0;
    int readIndex_ = 0;
    bool busy_ = false;
    int32_t lastShown_ = -1;
};

}  // namespace quelp
