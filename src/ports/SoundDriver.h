#pragma once
// Port: one wave-in or wave-out device. The core hands the driver buffers it
// owns; the driver fills (input) or plays (output) them in the order they
// were handed over and gives each back through the client's BufferDone, on
// the driver's own thread. Reset gives back every buffer still held, marked
// done. Results are the system's device result codes (0 success).

#include <cstdint>
#include <string>

namespace quelp {

// Not [[nodiscard]] as a type. Open, Prepare, Add and Start are, one by one:
// when they fail the device does not run. Stop, Reset, Unprepare and Close
// are teardown; their results only tell what went wrong, since the buffers
// come back and the device closes whatever they report.
enum class SoundResult : int {
    Ok = 0,
    Error = 1,          // unspecified failure
    BadDeviceId = 2,    // device number out of range
    Allocated = 4,      // device already in use
    InvalidHandle = 5,  // device not open
    NoDriver = 6,       // no driver or host interface
    NoMem = 7,          // memory could not be had
    InvalidParam = 11,  // bad buffer or buffer queue full
    BadFormat = 32,     // rate, sample format or channels not supported
    StillPlaying = 33,  // buffer still held by the driver
    Unprepared = 34,    // buffer not prepared
};

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
    [[nodiscard]] virtual SoundResult Open(int device, const SoundFormat& format,
                                           SoundDriverClient& client) = 0;
    [[nodiscard]] virtual SoundResult Prepare(SoundBuffer& buffer) = 0;
    virtual SoundResult Unprepare(SoundBuffer& buffer) = 0;
    // Hands a prepared buffer over: to be filled (input) or played (output;
    // playing starts with the first buffer).
    [[nodiscard]] virtual SoundResult Add(SoundBuffer& buffer) = 0;
    // Input: starts recording. Output: nothing to do.
    [[nodiscard]] virtual SoundResult Start() = 0;
    virtual SoundResult Stop() = 0;
    // Stops and gives back every buffer still held, each through BufferDone,
    // whatever the result says (it tells whether stopping the device failed).
    virtual SoundResult Reset() = 0;
    // Closes the device; buffers still held are dropped without BufferDone.
    // The device is closed whatever the result says.
    virtual SoundResult Close() = 0;
};

}  // namespace quelp
