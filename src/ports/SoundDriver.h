#pragma once
// Port: one wave-in or wave-out device. The core hands the driver buffers it
// owns; the driver fills (input) or plays (output) them in the order they
// were handed over and gives each back through the client's BufferDone, on
// the driver's own thread. Reset gives back every buffer still held, marked
// done. Result codes are the system's device result codes (0 success).

#include <cstdint>
#include <string>

namespace quelp {

namespace soundresult {
inline constexpr int Ok = 0;
inline constexpr int Error = 1;          // unspecified failure
inline constexpr int BadDeviceId = 2;    // device number out of range
inline constexpr int Allocated = 4;      // device already in use
inline constexpr int InvalidHandle = 5;  // device not open
inline constexpr int NoDriver = 6;       // no driver or host interface
inline constexpr int NoMem = 7;          // memory could not be had
inline constexpr int InvalidParam = 11;  // bad buffer or buffer queue full
inline constexpr int BadFormat = 32;     // rate, sample format or channels not supported
inline constexpr int StillPlaying = 33;  // buffer still held by the driver
inline constexpr int Unprepared = 34;    // buffer not prepared
}  // namespace soundresult

// PCM format of a stream; the program always uses 11025 Hz, 16 bits.
struct SoundFormat {
    int channels = 1;  // 1 or 2, interleaved
    int samplesPerSec = 11025;
    int bitsPerSample = 16;
};

// One buffer header. The memory belongs to the caller; `bytes` is the length
// handed over, `bytesRecorded` how much the driver filled (input).
struct SoundBuffer {
    int16_t* data = nullptr;
    uint32_t bytes = 0;
    uint32_t bytesRecorded = 0;
    bool prepared = false;
    bool done = false;    // set by the driver when it gives the buffer back
    bool queued = false;  // held by the driver
};

// Receives the buffers the driver is done with. Called on the driver's own
// thread (or on the caller's thread from Reset): only count and post there.
class SoundDriverClient {
  public:
    virtual void BufferDone(SoundBuffer& buffer) = 0;

  protected:
    ~SoundDriverClient() = default;
};

class SoundDriver {
  public:
    virtual ~SoundDriver() = default;

    // Devices of this direction on the system, numbered 0..count-1.
    virtual int DeviceCount() = 0;
    // Product name of device `device`; false when its capabilities cannot be read.
    virtual bool ProductName(int device, std::string& name) = 0;

    // Opens device `device` (-1 = the system's default device).
    virtual int Open(int device, const SoundFormat& format, SoundDriverClient& client) = 0;
    virtual int Prepare(SoundBuffer& buffer) = 0;
    virtual int Unprepare(SoundBuffer& buffer) = 0;
    // Hands a prepared buffer over: to be filled (input) or played (output;
    // playing starts with the first buffer).
    virtual int Add(SoundBuffer& buffer) = 0;
    // Input: starts recording. Output: nothing to do.
    virtual int Start() = 0;
    virtual int Stop() = 0;
    // Stops and gives back every buffer still held, each through BufferDone.
    virtual int Reset() = 0;
    // Closes the device; buffers still held are dropped without BufferDone.
    virtual int Close() = 0;
};

}  // namespace quelp
