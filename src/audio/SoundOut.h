#pragma once
// Sound output device: collects samples into four 2048-frame buffers and
// plays them at 11025 Hz, in mono or on one channel of a stereo device with
// silence on the other. The driver gives played buffers back on its own
// thread (WaveOutDone), which only counts them in FreeBuffers.

#include <atomic>
#include <cstdint>
#include <memory>

#include "audio/SoundCards.h"
#include "dsp/Bins.h"
#include "ports/MainView.h"
#include "ports/SoundDriver.h"

namespace quelp {

// Result of SoundOut::Open, which reports its own errors.
enum class [[nodiscard]] SoundOutOpenResult : int{
    Ok = 0,
    NoDevice = -1,       // no output device
    NoMemory = -2,       // no buffer memory
    NotOpened = -3,      // the device did not open
    PrepareFailed = -4,  // a header could not be prepared
};

// Result of SoundOut::PutSample.
enum class [[nodiscard]] SoundOutPutResult : int{
    Ok = 0,             // stored
    NoFreeBuffer = -1,  // sample dropped
    Closed = -2,        // device closed
    WriteFailed = -3,   // a buffer could not be written (the device has been closed)
};

class SoundOut final : public SoundDriverClient {
  public:
    static constexpr int kBuffers = 4;
    static constexpr int kFrames = kBlockSize;

    SoundOut(SoundDriver& driver, const SoundCardOptions& cards, MainView& view);
    SoundOut(const SoundOut&) = delete;
    SoundOut& operator=(const SoundOut&) = delete;
    ~SoundOut();

    SoundOutOpenResult Open(int device);
    // Stops playing, waits until the driver has given back every buffer,
    // closes. Harmless when closed.
    void Close();
    SoundOutPutResult PutSample(int16_t sample);
    // Driver thread: a buffer has been played.
    void WaveOutDone(SoundBuffer& buffer);

    bool IsOpen() const { return open_; }

    // Buffers not held by the driver, 0..4.
    std::atomic<int32_t> FreeBuffers{kBuffers};

  private:
    void BufferDone(SoundBuffer& buffer) override { WaveOutDone(buffer); }
    void FreeMemory();

    SoundDriver& driver_;
    const SoundCardOptions& cards_;
    MainView& view_;

    int current_ = 0;  // buffer being filled
    int count_ = 0;    // frames already in it
    // The channel layout the buffers were sized for, fixed while open.
    int channel_ = 0;
    std::unique_ptr<int16_t[]> buffers_[kBuffers];
    SoundBuffer headers_[kBuffers];
    bool open_ = false;  // stands for the device handle
};

}  // namespace quelp
