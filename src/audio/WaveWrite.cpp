#include "audio/WaveWrite.h"

#include <bit>
#include <cstddef>
#include <ios>
#include <iterator>

namespace quelp {

namespace {

bool PutBytes(std::ofstream& f, const void* p, std::streamsize n) {
    return static_cast<bool>(f.write(static_cast<const char*>(p), n));
}

bool Put16(std::ofstream& f, uint16_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    return PutBytes(f, b, 2);
}

bool Put32(std::ofstream& f, uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 24)};
    return PutBytes(f, b, 4);
}

}  // namespace

TWaveWrite::~TWaveWrite() {
    // A recording still open is finished as well as it can be; a destructor
    // has nobody to tell of a failure.
    static_cast<void>(Close());
}

void TWaveWrite::Abandon() {
    file_.close();
    file_.clear();
}

WaveCreateResult TWaveWrite::Create(const std::string& fileName, uint16_t channels,
                                    uint16_t bitsPerSample, uint32_t sampleRate) {
    if (file_.is_open()) Abandon();
    channels_ = channels;
    sampleRate_ = sampleRate;
    bitsPerSample_ = bitsPerSample;
    blockAlign_ = static_cast<uint16_t>(channels * ((bitsPerSample + 7) / 8));
    bytesPerSec_ = static_cast<uint32_t>(blockAlign_) * sampleRate;
    riffSize_ = 36;
    dataSize_ = 0;
    unflushed_ = 0;

    file_.clear();
    file_.open(fileName, std::ios::binary | std::ios::out | std::ios::trunc);
    if (!file_.is_open()) {
        file_.clear();
        return WaveCreateResult::CannotCreate;
    }
    const bool ok[] = {PutBytes(file_, "RIFF", 4),
                       Put32(file_, riffSize_),
                       PutBytes(file_, "WAVE", 4),
                       PutBytes(file_, "fmt ", 4),
                       Put32(file_, 16),
                       Put16(file_, 1),
                       Put16(file_, channels_),
                       Put32(file_, sampleRate_),
                       Put32(file_, bytesPerSec_),
                       Put16(file_, blockAlign_),
                       Put16(file_, bitsPerSample_),
                       PutBytes(file_, "data", 4),
                       Put32(file_, dataSize_)};
    // One code per field, in the same order.
    static_assert(std::size(ok) ==
                  static_cast<std::size_t>(WaveCreateResult::DataSizeNotWritten) -
                      static_cast<std::size_t>(WaveCreateResult::RiffIdNotWritten) + 1);
    // A failed write leaves the stream failed, so the first false is the field
    // that failed; the later ones were not attempted.
    for (int i = 0; i < static_cast<int>(std::size(ok)); ++i) {
        if (!ok[i]) {
            Abandon();
            return static_cast<WaveCreateResult>(
                static_cast<int>(WaveCreateResult::RiffIdNotWritten) + i);
        }
    }
    return WaveCreateResult::Ok;
}

WaveWriteResult TWaveWrite::Write(const int16_t* samples, uint32_t count) {
    if (!file_.is_open()) return WaveWriteResult::NotOpen;
    const uint64_t n64 = static_cast<uint64_t>(count) * blockAlign_;
    bool ok = true;
    if (bitsPerSample_ == 16 && std::endian::native != std::endian::little) {
        // Samples go out little-endian on any machine.
        char buf[512];
        const uint64_t values = n64 / 2;
        for (uint64_t i = 0; i < values && ok;) {
            uint64_t k = 0;
            for (; k < sizeof buf / 2 && i < values; ++k, ++i) {
                const auto v = static_cast<uint16_t>(samples[i]);
                buf[2 * k] = static_cast<char>(v & 0xFF);
                buf[2 * k + 1] = static_cast<char>(v >> 8);
            }
            ok = PutBytes(file_, buf, static_cast<std::streamsize>(2 * k));
        }
    } else {
        ok = PutBytes(file_, samples, static_cast<std::streamsize>(n64));
    }
    if (!ok) {
        Abandon();
        return WaveWriteResult::WriteFailed;
    }
    const auto n = static_cast<uint32_t>(n64);
    dataSize_ += n;
    riffSize_ = dataSize_ + 36;
    unflushed_ += n;
    if (unflushed_ > kRefreshBytes) {
        unflushed_ -= kRefreshBytes;
        return UpdateHeader() == WaveHeaderResult::Ok ? WaveWriteResult::Ok
                                                      : WaveWriteResult::WriteFailed;
    }
    return WaveWriteResult::Ok;
}

WaveHeaderResult TWaveWrite::UpdateHeader() {
    if (!file_.is_open()) return WaveHeaderResult::NotOpen;
    const std::streamoff here = file_.tellp();
    if (here < 0) {
        Abandon();
        return WaveHeaderResult::PositionUnknown;
    }
    // Seeking writes out the buffered samples, so after the refresh the file
    // on disk holds at least as much as its header says.
    if (!file_.seekp(4)) {
        Abandon();
        return WaveHeaderResult::NotOpen;
    }
    if (!Put32(file_, riffSize_)) {
        Abandon();
        return WaveHeaderResult::RiffSizeNotWritten;
    }
    if (!file_.seekp(40)) {
        Abandon();
        return WaveHeaderResult::DataSizeSeekFailed;
    }
    if (!Put32(file_, dataSize_)) {
        Abandon();
        return WaveHeaderResult::DataSizeNotWritten;
    }
    if (!file_.seekp(here) || !file_.flush()) {
        Abandon();
        return WaveHeaderResult::SeekBackFailed;
    }
    return WaveHeaderResult::Ok;
}

WaveHeaderResult TWaveWrite::Close() {
    if (!file_.is_open()) return WaveHeaderResult::NotOpen;
    const WaveHeaderResult r = UpdateHeader();
    if (r != WaveHeaderResult::Ok) return r;
    file_.close();
    const bool ok = !file_.fail();
    file_.clear();
    return ok ? WaveHeaderResult::Ok : WaveHeaderResult::CloseFailed;
}

}  // namespace quelp
