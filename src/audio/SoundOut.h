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

class SoundOut final : public SoundDriverClient {
  public:
    static constexpr int kBuffers = 4;
    static constexpr int kFrames = kBlockSize;

    SoundOut(SoundDriver& driver, const SoundCardOptions& cards, MainView& view);
    SoundOut(const SoundOut&) = delete;
    SoundOut& operator=(const SoundOut&) = delete;
    ~SoundOut();

    // 0 open; -1 no output device; -2 no buffer memory; -3 the device did
    // not open; -4 a header could not be prepared. Reports its own errors.
    int Open(int device);
    // Stops playing, waits until the driver has given back every buffer,
    // closes. Harmless when closed.
    void Close();
    // 0 stored; -1 no free buffer (sample dropped); -2 device closed; -3 a
    // buffer could not be written (the device has been closed).
    int PutSample(int16_t sample);
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
