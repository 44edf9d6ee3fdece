#include "adapters/sndfile/SndfileSource.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "dsp/Bins.h"

namespace quelp {

namespace {

// Frames per read, and at most this many samples of all channels at once.
constexpr sf_count_t kReadFrames = 4096;
constexpr sf_count_t kReadSamples = 1 << 20;

// The library keeps the reason of a failed open in one place for the whole
// process (and sets up its decoders on first use): files opened on several
// threads at once take turns.
std::mutex& OpenLock() {
    static std::mutex lock;
    return lock;
}

std::string Trimmed(const char* text) {
    std::string s = text != nullptr ? text : "";
    while (!s.empty() && (s.back() == '.' || s.back() == ' ' || s.back() == '\n')) s.pop_back();
    return s;
}

std::string Subtype(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8:
            return "8-bit";
        case SF_FORMAT_PCM_16:
            return "16-bit";
        case SF_FORMAT_PCM_24:
            return "24-bit";
        case SF_FORMAT_PCM_32:
            return "32-bit";
        case SF_FORMAT_FLOAT:
            return "32-bit float";
        case SF_FORMAT_DOUBLE:
            return "64-bit float";
        case SF_FORMAT_ULAW:
            return "mu-law";
        case SF_FORMAT_ALAW:
            return "A-law";
        case SF_FORMAT_IMA_ADPCM:
            return "IMA ADPCM";
        case SF_FORMAT_MS_ADPCM:
            return "MS ADPCM";
        case SF_FORMAT_GSM610:
            return "GSM 6.10";
        default:
            break;
    }
    SF_FORMAT_INFO info{};
    info.format = format & SF_FORMAT_SUBMASK;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name != nullptr) {
        return info.name;
    }
    char code[32];
    std::snprintf(code, sizeof code, "encoding 0x%04X", static_cast<unsigned>(info.format));
    return code;
}

std::string Container(int format) {
    switch (format & SF_FORMAT_TYPEMASK) {
        case SF_FORMAT_WAV:
            return "WAV";
        case SF_FORMAT_WAVEX:
            return "WAV (extensible)";
        case SF_FORMAT_RF64:
            return "RF64";
        case SF_FORMAT_W64:
            return "Wave64";
        case SF_FORMAT_FLAC:
            return "FLAC";
        case SF_FORMAT_AIFF:
            return "AIFF";
        case SF_FORMAT_RAW:
            return "raw";
        default:
            break;
    }
    SF_FORMAT_INFO info{};
    info.format = format & SF_FORMAT_TYPEMASK;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name != nullptr) {
        return info.name;
    }
    return "file";
}

std::int16_t ToPcm16(float x) {
    const double y = std::floor(static_cast<double>(x) * 32768.0 + 0.5);
    if (!(y > -32768.0)) return y < 0.0 ? -32768 : 0;  // also NaN
    return y >= 32767.0 ? 32767 : static_cast<std::int16_t>(y);
}

}  // namespace

std::string SoundFileInfo::Describe() const {
    std::string text = std::to_string(rate) + " Hz ";
    const int major = format & SF_FORMAT_TYPEMASK;
    const int minor = format & SF_FORMAT_SUBMASK;
    if (major == SF_FORMAT_OGG && minor == SF_FORMAT_VORBIS) return text + "Ogg Vorbis";
    if (major == SF_FORMAT_OGG && minor == SF_FORMAT_OPUS) return text + "Ogg Opus";
    if (major == SF_FORMAT_MPEG) return text + "MP3";
    return text + Subtype(format) + " " + Container(format);
}

// --- a stream that cannot seek back ----------------------------------------------

// The library reads a header, looks back at it and probes other formats
// before it settles; on a pipe that needs the first bytes kept. Seeks ahead
// are served by reading on, up to a limit: a header whose data size says "to
// the end" must not make the library read a live stream to its end first.
class SndfileSource::Stream {
  public:
    static constexpr sf_count_t kKeptBytes = 1 << 20;
    static constexpr sf_count_t kSeekAhead = 1 << 20;

    explicit Stream(ReadFn read) : read_(std::move(read)) {}

    SF_VIRTUAL_IO Io() {
        SF_VIRTUAL_IO io{};
        io.get_filelen = [](void* self) { return static_cast<Stream*>(self)->Length(); };
        io.seek = [](sf_count_t offset, int whence, void* self) {
            return static_cast<Stream*>(self)->Seek(offset, whence);
        };
        io.read = [](void* buffer, sf_count_t count, void* self) {
            return static_cast<Stream*>(self)->Read(buffer, count);
        };
        io.write = [](const void*, sf_count_t, void*) -> sf_count_t { return 0; };
        io.tell = [](void* self) { return static_cast<Stream*>(self)->pos_; };
        return io;
    }

    bool Failed() const { return error_ != 0; }
    int ErrorNumber() const { return error_; }

  private:
    // Unknown until the end: as long as anything could be.
    sf_count_t Length() const { return ended_ ? got_ : SF_COUNT_MAX / 2; }

    sf_count_t Seek(sf_count_t offset, int whence) {
        sf_count_t target = -1;
        if (whence == SEEK_SET) target = offset;
        if (whence == SEEK_CUR) target = pos_ + offset;
        // The end of a stream is not known.
        if (target < 0) return -1;
        if (target == got_ || target < static_cast<sf_count_t>(kept_.size())) {
            pos_ = target;
            return pos_;
        }
        if (target < got_ || target - got_ > kSeekAhead) return -1;
        char skip[4096];
        while (got_ < target) {
            const sf_count_t n = Pull(skip, std::min<sf_count_t>(sizeof skip, target - got_));
            if (n <= 0) break;
        }
        pos_ = got_;
        return pos_ == target ? pos_ : -1;
    }

    sf_count_t Read(void* buffer, sf_count_t count) {
        auto* out = static_cast<char*>(buffer);
        sf_count_t done = 0;
        if (pos_ < static_cast<sf_count_t>(kept_.size())) {
            const sf_count_t n = std::min(count, static_cast<sf_count_t>(kept_.size()) - pos_);
            std::memcpy(out, kept_.data() + pos_, static_cast<std::size_t>(n));
            pos_ += n;
            done += n;
        }
        // Past the kept bytes the position is always the stream's own.
        while (done < count && pos_ == got_) {
            const sf_count_t n = Pull(out + done, count - done);
            if (n <= 0) break;
            pos_ = got_;
            done += n;
        }
        return done;
    }

    // Reads on from the stream, keeping what falls within the kept bytes.
    sf_count_t Pull(char* into, sf_count_t count) {
        if (ended_) return 0;
        const std::int64_t n = read_(into, static_cast<std::size_t>(count));
        if (n <= 0) {
            ended_ = true;
            if (n < 0) error_ = errno != 0 ? errno : EIO;
            return 0;
        }
        if (got_ < kKeptBytes) {
            const sf_count_t keep = std::min<sf_count_t>(n, kKeptBytes - got_);
            kept_.insert(kept_.end(), into, into + keep);
        }
        got_ += n;
        return n;
    }

    ReadFn read_;
    std::vector<char> kept_;
    sf_count_t got_ = 0;  // bytes read from the stream so far
    sf_count_t pos_ = 0;  // where the library reads next
    bool ended_ = false;
    int error_ = 0;
};

// --- the source ----------------------------------------------------------------

SndfileSource::SndfileSource() = default;

SndfileSource::~SndfileSource() {
    Close();
}

void SndfileSource::Close() {
    if (file_ != nullptr) sf_close(file_);
    file_ = nullptr;
    stream_.reset();
    resampler_.reset();
    info_ = {};
    ready_.clear();
    readyAt_ = 0;
    ended_ = false;
    readError_.clear();
}

namespace {

SF_INFO RawInfo(std::optional<int> rawRate) {
    SF_INFO info{};
    if (rawRate) {
        info.samplerate = *rawRate;
        info.channels = 1;
        info.format = SF_FORMAT_RAW | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE;
    }
    return info;
}

}  // namespace

bool SndfileSource::OpenFile(const std::string& path, ChannelChoice channel,
                             std::optional<int> rawRate, std::string& error) {
    Close();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error = "not a regular file";
        return false;
    }
    SF_INFO info = RawInfo(rawRate);
    const std::lock_guard lock(OpenLock());
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        error = Trimmed(sf_strerror(nullptr));
        return false;
    }
    info_.frames = static_cast<std::uint64_t>(std::max<sf_count_t>(info.frames, 0));
    // Ogg says nothing of its length until it is read.
    if (info.frames == SF_COUNT_MAX) info_.frames.reset();
    return Finish(file, channel, error);
}

bool SndfileSource::OpenStream(int fd, ChannelChoice channel, std::optional<int> rawRate,
                               std::string& error) {
    Close();
    stream_ = std::make_unique<Stream>([fd](void* buffer, std::size_t size) -> std::int64_t {
        for (;;) {
            errno = 0;
            const ssize_t n = ::read(fd, buffer, size);
            if (n >= 0 || errno != EINTR) return n;
        }
    });
    SF_VIRTUAL_IO io = stream_->Io();
    SF_INFO info = RawInfo(rawRate);
    const std::lock_guard lock(OpenLock());
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, stream_.get());
    if (file == nullptr) {
        error = stream_->Failed() ? std::strerror(stream_->ErrorNumber())
                                  : Trimmed(sf_strerror(nullptr));
        stream_.reset();
        return false;
    }
    return Finish(file, channel, error);
}

bool SndfileSource::OpenBytes(std::string_view bytes, ChannelChoice channel,
                              std::optional<int> rawRate, std::string& error) {
    Close();
    stream_ = std::make_unique<Stream>([bytes](void* buffer, std::size_t size) mutable {
        const std::size_t n = std::min(size, bytes.size());
        if (n == 0) return std::int64_t{0};
        std::memcpy(buffer, bytes.data(), n);
        bytes.remove_prefix(n);
        return static_cast<std::int64_t>(n);
    });
    SF_VIRTUAL_IO io = stream_->Io();
    SF_INFO info = RawInfo(rawRate);
    const std::lock_guard lock(OpenLock());
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, stream_.get());
    if (file == nullptr) {
        error = Trimmed(sf_strerror(nullptr));
        stream_.reset();
        return false;
    }
    return Finish(file, channel, error);
}

bool SndfileSource::Finish(SNDFILE* file, ChannelChoice channel, std::string& error) {
    SF_INFO info{};
    sf_command(file, SFC_GET_CURRENT_SF_INFO, &info, sizeof info);
    file_ = file;
    info_.rate = info.samplerate;
    info_.channels = info.channels;
    info_.format = info.format;
    channel_ = channel;
    std::string refused;
    if (info.channels < 1) {
        refused = "no channels";
    } else if (info.samplerate < kMinRate || info.samplerate > kMaxRate) {
        refused = std::string("rate outside ") + std::to_string(kMinRate) + " to " +
                  std::to_string(kMaxRate) + " Hz";
    } else if (info.samplerate != kOutputRate) {
        resampler_.emplace(info.samplerate, kOutputRate, refused);
    }
    if (!refused.empty()) {
        // What the header said stays readable for the message.
        const SoundFileInfo header = info_;
        Close();
        info_ = header;
        error = refused;
        return false;
    }
    const sf_count_t frames =
        std::max<sf_count_t>(1, std::min(kReadFrames, kReadSamples / info.channels));
    frames_.resize(static_cast<std::size_t>(frames * info.channels));
    return true;
}

std::optional<std::uint64_t> SndfileSource::OutputSamples() const {
    if (!info_.frames || info_.rate <= 0) return std::nullopt;
    return static_cast<std::uint64_t>(
        std::ceil(static_cast<double>(*info_.frames) * kOutputRate / info_.rate));
}

void SndfileSource::Append(const float* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) ready_.push_back(ToPcm16(samples[i]));
}

void SndfileSource::Fill(std::size_t want) {
    // What was handed out already goes before more is added.
    if (readyAt_ > 0) {
        ready_.erase(ready_.begin(), ready_.begin() + static_cast<std::ptrdiff_t>(readyAt_));
        readyAt_ = 0;
    }
    const auto channels = static_cast<std::size_t>(info_.channels);
    const auto capacity = static_cast<sf_count_t>(frames_.size() / channels);
    while (ready_.size() < want && !ended_ && file_ != nullptr) {
        const sf_count_t got = sf_readf_float(file_, frames_.data(), capacity);
        if (got < capacity) {
            ended_ = true;
            if (sf_error(file_) != SF_ERR_NO_ERROR) {
                readError_ = Trimmed(sf_strerror(file_));
            } else if (stream_ && stream_->Failed()) {
                readError_ = std::strerror(stream_->ErrorNumber());
            }
        }
        const auto n = static_cast<std::size_t>(std::max<sf_count_t>(got, 0));
        mono_.resize(n);
        const std::size_t pick = channel_ == ChannelChoice::Second && channels > 1 ? 1 : 0;
        for (std::size_t i = 0; i < n; ++i) {
            const float* frame = frames_.data() + i * channels;
            if (channel_ == ChannelChoice::Mix && channels > 1) {
                double sum = 0.0;
                for (std::size_t c = 0; c < channels; ++c) sum += frame[c];
                mono_[i] = static_cast<float>(sum / static_cast<double>(channels));
            } else {
                mono_[i] = frame[pick];
            }
        }
        if (!resampler_) {
            Append(mono_.data(), mono_.size());
            continue;
        }
        converted_.clear();
        if (!resampler_->Process(mono_, ended_, converted_)) {
            readError_ = resampler_->Error();
            ended_ = true;
        }
        Append(converted_.data(), converted_.size());
    }
}

int SndfileSource::ReadBlock(std::int16_t* block) {
    if (ready_.size() - readyAt_ < static_cast<std::size_t>(kBlockSize)) Fill(kBlockSize);
    const std::size_t left = ready_.size() - readyAt_;
    if (left == 0) return 0;
    const std::size_t n = std::min<std::size_t>(left, kBlockSize);
    std::copy_n(ready_.begin() + static_cast<std::ptrdiff_t>(readyAt_), n, block);
    std::fill(block + n, block + kBlockSize, std::int16_t{0});
    readyAt_ += n;
    return static_cast<int>(n);
}

}  // namespace quelp
