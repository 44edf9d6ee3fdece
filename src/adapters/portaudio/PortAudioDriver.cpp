#include "adapters/portaudio/PortAudioDriver.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <portaudio.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "dsp/Bins.h"

namespace quelp {

namespace {

constexpr unsigned long kFramesPerCallback = kBlockSize;

// ALSA prints every failed probe of a device to stderr; a machine without a
// sound card would get a screenful at each start.
void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}
void SilentJackMessage(const char*) {}

// Probing ALSA's "jack" device loads the JACK client library, which reports
// the absent JACK server on stderr through its own message functions. If the
// library is installed, load it first and point those functions at nothing;
// the ALSA plugin then shares this instance.
void* SilenceJack() {
    void* jack = dlopen("libjack.so.0", RTLD_LAZY | RTLD_GLOBAL);
    if (jack == nullptr) return nullptr;
    using SetFunction = void (*)(void (*)(const char*));
    for (const char* name : {"jack_set_error_function", "jack_set_info_function"}) {
        auto set = reinterpret_cast<SetFunction>(dlsym(jack, name));
        if (set != nullptr) set(SilentJackMessage);
    }
    return jack;
}

SoundResult MapError(PaError error) {
    switch (error) {
        case paNoError:
            return SoundResult::Ok;
        case paInvalidDevice:
        case paBadIODeviceCombination:
            return SoundResult::BadDeviceId;
        case paDeviceUnavailable:
            return SoundResult::Allocated;
        case paNotInitialized:
        case paHostApiNotFound:
        case paInvalidHostApi:
            return SoundResult::NoDriver;
        case paInsufficientMemory:
            return SoundResult::NoMem;
        case paInvalidSampleRate:
        case paSampleFormatNotSupported:
        case paInvalidChannelCount:
            return SoundResult::BadFormat;
        case paUnanticipatedHostError: {
            // ALSA's own error numbers come through as host errors.
            const PaHostErrorInfo* info = Pa_GetLastHostErrorInfo();
            long code = info != nullptr ? info->errorCode : 0;
            if (code == -EBUSY) return SoundResult::Allocated;
            if (code == -ENOENT || code == -ENODEV || code == -ENXIO) {
                return SoundResult::BadDeviceId;
            }
            if (code == -ENOMEM) return SoundResult::NoMem;
            return SoundResult::Error;
        }
        default:
            return SoundResult::Error;
    }
}

}  // namespace

PortAudioDriver::PortAudioDriver(Direction direction) : direction_(direction) {
    snd_lib_error_set_handler(SilentAlsaError);
    jack_ = SilenceJack();
    initialized_ = Pa_Initialize() == paNoError;
    if (!initialized_) return;
    const int count = Pa_GetDeviceCount();
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info == nullptr) continue;
        int channels =
            direction_ == Direction::Input ? info->maxInputChannels : info->maxOutputChannels;
        if (channels > 0) devices_.push_back(i);
    }
}

PortAudioDriver::~PortAudioDriver() {
    Close();
    if (initialized_) Pa_Terminate();
    // The JACK library stays loaded: the ALSA plugin may still refer to it.
}

int PortAudioDriver::DeviceCount() {
    return static_cast<int>(devices_.size());
}

bool PortAudioDriver::ProductName(int device, std::string& name) {
    if (device < 0 || device >= DeviceCount()) return false;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(devices_[static_cast<size_t>(device)]);
    if (info == nullptr || info->name == nullptr) return false;
    name = info->name;
    return true;
}

SoundResult PortAudioDriver::Open(int device, const SoundFormat& format,
                                  SoundDriverClient& client) {
    if (!initialized_) return SoundResult::NoDriver;
    if (stream_ != nullptr) return SoundResult::Allocated;
    if (format.bitsPerSample != 16 || format.channels < 1 || format.channels > 2) {
        return SoundResult::BadFormat;
    }

    PaDeviceIndex index;
    if (device == -1) {
        index = direction_ == Direction::Input ? Pa_GetDefaultInputDevice()
                                               : Pa_GetDefaultOutputDevice();
        if (index == paNoDevice) return SoundResult::BadDeviceId;
    } else if (device >= 0 && device < DeviceCount()) {
        index = devices_[static_cast<size_t>(device)];
    } else {
        return SoundResult::BadDeviceId;
    }
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    if (info == nullptr) return SoundResult::BadDeviceId;

    PaStreamParameters parameters{};
    parameters.device = index;
    parameters.channelCount = format.channels;
    parameters.sampleFormat = paInt16;
    parameters.suggestedLatency = direction_ == Direction::Input ? info->defaultHighInputLatency
                                                                 : info->defaultHighOutputLatency;
    const bool input = direction_ == Direction::Input;

    head_.store(0);
    tail_.store(0);
    offset_ = 0;
    frameBytes_ = sizeof(int16_t) * static_cast<size_t>(format.channels);
    client_ = &client;
    PaStream* stream = nullptr;
    PaError error = Pa_OpenStream(
        &stream, input ? &parameters : nullptr, input ? nullptr : &parameters, format.samplesPerSec,
        kFramesPerCallback, paNoFlag,
        [](const void* in, void* out, unsigned long frames, const PaStreamCallbackTimeInfo* time,
           PaStreamCallbackFlags flags,
           void* self) { return StreamCallback(in, out, frames, time, flags, self); },
        this);
    if (error != paNoError) {
        client_ = nullptr;
        return MapError(error);
    }
    stream_ = stream;
    running_ = false;
    return SoundResult::Ok;
}

SoundResult PortAudioDriver::Prepare(SoundBuffer& buffer) {
    if (buffer.data == nullptr || buffer.bytes == 0) return SoundResult::InvalidParam;
    buffer.prepared = true;
    return SoundResult::Ok;
}

SoundResult PortAudioDriver::Unprepare(SoundBuffer& buffer) {
    if (buffer.queued) return SoundResult::StillPlaying;
    buffer.prepared = false;
    return SoundResult::Ok;
}

SoundResult PortAudioDriver::Add(SoundBuffer& buffer) {
    if (stream_ == nullptr) return SoundResult::InvalidHandle;
    if (!buffer.prepared) return SoundResult::Unprepared;
    const size_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) >= kRing) return SoundResult::InvalidParam;
    buffer.done = false;
    buffer.queued = true;
    buffer.bytesRecorded = 0;
    ring_[tail % kRing] = &buffer;
    tail_.store(tail + 1, std::memory_order_release);
    // Output plays from the first buffer handed over.
    if (direction_ == Direction::Output && !running_) return Start();
    return SoundResult::Ok;
}

SoundResult PortAudioDriver::Start() {
    if (stream_ == nullptr) return SoundResult::InvalidHandle;
    if (running_) return SoundResult::Ok;
    PaError error = Pa_StartStream(static_cast<PaStream*>(stream_));
    if (error != paNoError) return MapError(error);
    running_ = true;
    return SoundResult::Ok;
}

SoundResult PortAudioDriver::HaltStream() {
    if (stream_ == nullptr) return SoundResult::InvalidHandle;
    if (!running_) return SoundResult::Ok;
    // Abort rather than drain: after this the callback runs no more.
    PaError error = Pa_AbortStream(static_cast<PaStream*>(stream_));
    running_ = false;
    return MapError(error);
}

SoundResult PortAudioDriver::Stop() {
    const SoundResult result = HaltStream();
    // A partly recorded buffer is given back with what it holds.
    if (direction_ == Direction::Input && offset_ > 0) GiveBack(offset_);
    return result;
}

SoundResult PortAudioDriver::Reset() {
    const SoundResult result = HaltStream();
    while (head_.load(std::memory_order_acquire) != tail_.load(std::memory_order_acquire)) {
        GiveBack(direction_ == Direction::Input ? offset_ : 0);
    }
    return result;
}

SoundResult PortAudioDriver::Close() {
    if (stream_ == nullptr) return SoundResult::Ok;
    HaltStream();
    PaError error = Pa_CloseStream(static_cast<PaStream*>(stream_));
    stream_ = nullptr;
    // Buffers still held are dropped without being given back.
    for (size_t i = head_.load(); i != tail_.load(); ++i) ring_[i % kRing]->queued = false;
    head_.store(0);
    tail_.store(0);
    offset_ = 0;
    client_ = nullptr;
    return MapError(error);
}

void PortAudioDriver::GiveBack(uint32_t filledBytes) {
    const size_t head = head_.load(std::memory_order_relaxed);
    SoundBuffer* buffer = ring_[head % kRing];
    buffer->bytesRecorded = filledBytes;
    buffer->done = true;
    buffer->queued = false;
    offset_ = 0;
    // The slot is free before the client hears of it, so that the buffer can
    // be handed over again at once.
    head_.store(head + 1, std::memory_order_release);
    if (client_ != nullptr) client_->BufferDone(*buffer);
}

// Runs on PortAudio's thread: copy, count, give back. No locks, no
// allocation, no logging.
int PortAudioDriver::StreamCallback(const void* input, void* output, unsigned long frames,
                                    const void*, unsigned long, void* self) {
    auto* driver = static_cast<PortAudioDriver*>(self);
    const size_t bytes = frames * driver->frameBytes_;
    if (driver->direction_ == Direction::Input) {
        driver->Capture(static_cast<const int16_t*>(input), bytes);
    } else {
        driver->Play(static_cast<int16_t*>(output), bytes);
    }
    return paContinue;
}

void PortAudioDriver::Capture(const int16_t* input, size_t bytes) {
    auto* from = reinterpret_cast<const unsigned char*>(input);
    while (bytes > 0) {
        const size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) {
            dropped_.fetch_add(bytes / frameBytes_, std::memory_order_relaxed);
            return;
        }
        SoundBuffer* buffer = ring_[head % kRing];
        const size_t n = std::min<size_t>(bytes, buffer->bytes - offset_);
        auto* to = reinterpret_cast<unsigned char*>(buffer->data) + offset_;
        if (from != nullptr) {
            std::memcpy(to, from, n);
            from += n;
        } else {
            std::memset(to, 0, n);
        }
        offset_ += static_cast<uint32_t>(n);
        bytes -= n;
        if (offset_ == buffer->bytes) GiveBack(offset_);
    }
}

void PortAudioDriver::Play(int16_t* output, size_t bytes) {
    auto* to = reinterpret_cast<unsigned char*>(output);
    while (bytes > 0) {
        const size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) {
            std::memset(to, 0, bytes);  // nothing handed over: silence
            return;
        }
        SoundBuffer* buffer = ring_[head % kRing];
        const size_t n = std::min<size_t>(bytes, buffer->bytes - offset_);
        std::memcpy(to, reinterpret_cast<const unsigned char*>(buffer->data) + offset_, n);
        to += n;
        offset_ += static_cast<uint32_t>(n);
        bytes -= n;
        if (offset_ == buffer->bytes) GiveBack(0);
    }
}

}  // namespace quelp
