#pragma once
// Live sound input: sixteen buffers of 2048 frames circulate between the
// wave-in driver and the main thread. The driver thread only counts a filled
// buffer and posts WM_BUFFERDONE (WaveInDone); the main thread takes the
// filled buffers in order (InputBufferDone), keeps the chosen channel, hands
// the block on and gives the buffer back to the driver.

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "app/QuelpParams.h"
#include "ports/EventLoop.h"
#include "ports/MainView.h"
#include "ports/SoundDriver.h"

namespace quelp {

// What a live block reaches, owned by other subsystems.
struct SoundInHooks {
    // Sets every value of the peak-hold spectrum SpectrumPeak to 0.
    std::function<void()> clearSpectrumPeak;
    // ProcessBlock(block, 0): the block processor, with the live flag.
    std::function<void(std::span<const int16_t> block)> processBlock;
    // Stores the block in the audio history.
    std::function<void(std::span<const int16_t> block)> storeHistory;
    // True while the wave capture file is open.
    std::function<bool()> waveCaptureOpen;
    // Writes the block to the wave capture file; false when the write failed.
    std::function<bool(std::span<const int16_t> block)> writeWaveCapture;
    // The close-wave-capture command, run after a failed write.
    std::function<void()> closeWaveCapture;
    // Ends the application (a buffer could not be given back to the driver).
    std::function<void()> endApplication;
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
    static constexpr int kFrames = 2048;

    SoundIn(SoundDriver& driver, Quelp_Params& params, MainView& view, EventLoop& events,
            SoundInShared shared, SoundInHooks hooks);
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
    Quelp_Params& params_;
    MainView& view_;
    EventLoop& events_;
    SoundInShared shared_;
    SoundInHooks hooks_;

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
