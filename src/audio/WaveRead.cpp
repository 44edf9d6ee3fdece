#include "audio/WaveRead.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace quelp {

namespace {

// The format record holds the first 20 bytes of "fmt "; longer chunks (the
// extensible layout) are read that far and the rest skipped.
constexpr uint32_t kFormatRecordBytes = 20;

uint16_t Le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct ChunkHeader {
    std::array<char, 4> id{};
    uint32_t size = 0;
    uint64_t dataStart = 0;  // offset of the chunk's first data byte
};

bool IdIs(const std::array<char, 4>& id, const char* want) {
    return std::memcmp(id.data(), want, 4) == 0;
}

// Reads the chunk header at `pos` if a whole one lies before `end`.
bool ReadHeader(std::istream& in, uint64_t pos, uint64_t end, ChunkHeader& chunk) {
    if (pos + 8 > end) return false;
    in.clear();
    in.seekg(static_cast<std::streamoff>(pos));
    unsigned char raw[8];
    if (!in.read(reinterpret_cast<char*>(raw), 8)) return false;
    std::memcpy(chunk.id.data(), raw, 4);
    chunk.size = Le32(raw + 4);
    chunk.dataStart = pos + 8;
    return true;
}

// Offset of the byte after a chunk, padding included.
uint64_t ChunkEnd(const ChunkHeader& chunk) {
    return chunk.dataStart + chunk.size + (chunk.size & 1u);
}

// Searches [pos, end) for a chunk with the given id. Every step advances by at
// least the 8 header bytes, so a corrupt size can only end the search early.
bool FindChunk(std::istream& in, uint64_t pos, uint64_t end, const char* id, ChunkHeader& found) {
    ChunkHeader chunk;
    while (ReadHeader(in, pos, end, chunk)) {
        if (IdIs(chunk.id, id)) {
            found = chunk;
            return true;
        }
        pos = ChunkEnd(chunk);
    }
    return false;
}

int16_t Saturate(double y) {
    const double r = std::floor(y + 0.5);
    if (r > 32767.0) return 32767;
    if (r < -32768.0) return -32768;
    return static_cast<int16_t>(r);
}

}  // namespace

WaveOpenResult TWaveRead::Open(const std::string& fileName) {
    Close();
    // A FIFO or a device has no size to walk the chunks by, and opening a
    // FIFO would wait for a writer that may never come.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec)) return WaveOpenResult::CannotOpen;
    auto file = std::make_unique<std::ifstream>(fileName, std::ios::binary);
    if (!file->is_open()) return WaveOpenResult::CannotOpen;
    return Open(std::unique_ptr<std::istream>(std::move(file)));
}

WaveOpenResult TWaveRead::Open(std::unique_ptr<std::istream> in) {
    Close();
    format_ = WaveFormat{};
    if (!in || !*in) return WaveOpenResult::CannotOpen;
    in_ = std::move(in);
    return Walk();
}

WaveOpenResult TWaveRead::Fail(WaveOpenResult code) {
    Close();
    return code;
}

WaveOpenResult TWaveRead::Walk() {
    std::istream& in = *in_;
    in.seekg(0, std::ios::end);
    const std::streamoff endPos = in.tellg();
    if (endPos < 0) return Fail(WaveOpenResult::CannotOpen);
    const auto fileEnd = static_cast<uint64_t>(endPos);

    // The outer chunk: skip any top-level chunk that is not RIFF/WAVE.
    ChunkHeader riff;
    uint64_t pos = 0;
    bool haveRiff = false;
    while (ReadHeader(in, pos, fileEnd, riff)) {
        char form[4];
        // A size of 0 is what a recorder that died leaves.
        if (IdIs(riff.id, "RIFF") && (riff.size >= 4 || riff.size == 0) && in.read(form, 4) &&
            std::memcmp(form, "WAVE", 4) == 0) {
            haveRiff = true;
            break;
        }
        pos = ChunkEnd(riff);
    }
    if (!haveRiff) return Fail(WaveOpenResult::NotWave);
    // A size of 0 or one that runs past the file ends at the real end.
    const uint64_t riffEnd =
        riff.size == 0 ? fileEnd : std::min<uint64_t>(riff.dataStart + riff.size, fileEnd);

    ChunkHeader fmt;
    if (!FindChunk(in, riff.dataStart + 4, riffEnd, "fmt ", fmt))
        return Fail(WaveOpenResult::NoFormatChunk);
    unsigned char record[kFormatRecordBytes] = {};
    const uint32_t want = std::min(fmt.size, kFormatRecordBytes);
    in.clear();
    in.seekg(static_cast<std::streamoff>(fmt.dataStart));
    in.read(reinterpret_cast<char*>(record), want);
    if (static_cast<uint32_t>(in.gcount()) != want || fmt.dataStart + fmt.size > riffEnd) {
        return Fail(WaveOpenResult::FormatTruncated);
    }
    format_.formatTag = Le16(record);
    format_.channels = Le16(record + 2);
    format_.samplesPerSec = Le32(record + 4);
    format_.avgBytesPerSec = Le32(record + 8);
    format_.blockAlign = Le16(record + 12);
    format_.bitsPerSample = Le16(record + 14);

    ChunkHeader data;
    if (!FindChunk(in, ChunkEnd(fmt), riffEnd, "data", data))
        return Fail(WaveOpenResult::NoDataChunk);
    in.clear();
    in.seekg(static_cast<std::streamoff>(data.dataStart));
    if (!in) return Fail(WaveOpenResult::NoDataChunk);
    // A recorder that died or is still writing leaves a size of 0 or one
    // past the end of the file: the audio then runs to the real end, of which
    // only whole frames are ever read.
    const uint64_t present = fileEnd > data.dataStart ? fileEnd - data.dataStart : 0;
    const uint64_t size = data.size == 0 || data.size > present ? present : data.size;
    remaining_ = static_cast<uint32_t>(std::min<uint64_t>(size, UINT32_MAX));
    frame_.assign(format_.blockAlign, 0);
    firstStage_.Reset();
    secondStage_.Reset();
    return WaveOpenResult::Ok;
}

WaveFormatResult TWaveRead::CheckFormat() const {
    const WaveFormat& f = format_;
    if (f.formatTag != 1) return WaveFormatResult::UnsupportedFormat;
    const bool knownWidth = f.bitsPerSample == 8 || f.bitsPerSample == 16 ||
                            f.bitsPerSample == 24 || f.bitsPerSample == 32;
    // A frame is one sample of each channel, nothing more or less: any other
    // layout is a damaged header, and reading it would give noise.
    if (!knownWidth || f.channels == 0 ||
        f.blockAlign != static_cast<uint32_t>(f.channels) * (f.bitsPerSample / 8u)) {
        return WaveFormatResult::UnsupportedFormat;
    }
    if (f.samplesPerSec != 11025 && f.samplesPerSec != 22050 && f.samplesPerSec != 44100) {
        return WaveFormatResult::UnsupportedRate;
    }
    return WaveFormatResult::Ok;
}

int16_t TWaveRead::ReadFrame() {
    const uint32_t n = format_.blockAlign;
    if (!in_ || n == 0 || remaining_ < n) return 0;
    in_->read(reinterpret_cast<char*>(frame_.data()), n);
    const auto got = static_cast<uint32_t>(in_->gcount());
    if (got < n) {
        // A read error or the real end of the file: the data end here.
        remaining_ = 0;
        return 0;
    }
    remaining_ -= got;
    const uint32_t width = format_.bitsPerSample / 8u;
    switch (channel_) {
        case ChannelChoice::First:
            break;
        case ChannelChoice::Second:
            if (format_.channels > 1) return SampleAt(width);
            break;
        case ChannelChoice::Mix:
            if (format_.channels > 1) {
                int32_t sum = 0;
                for (uint32_t c = 0; c < format_.channels; ++c) sum += SampleAt(c * width);
                const auto count = static_cast<int32_t>(format_.channels);
                // Rounded to the nearest, halves away from zero.
                return static_cast<int16_t>(sum >= 0 ? (sum + count / 2) / count
                                                     : -((-sum + count / 2) / count));
            }
            break;
    }
    return SampleAt(0);
}

int16_t TWaveRead::SampleAt(uint32_t at) const {
    const uint32_t n = format_.blockAlign;
    if (at >= n) return 0;
    const unsigned char* p = frame_.data() + at;
    const uint32_t left = n - at;
    switch (format_.bitsPerSample) {
        case 8:
            return static_cast<int16_t>(p[0] * 255 - 32640);
        case 24:
            // The most significant 16 bits of a little-endian sample.
            return left >= 3 ? static_cast<int16_t>(Le16(p + 1)) : 0;
        case 32:
            return left >= 4 ? static_cast<int16_t>(Le16(p + 2)) : 0;
        default:
            return left >= 2 ? static_cast<int16_t>(Le16(p)) : 0;
    }
}

uint32_t TWaveRead::FramesPerSample() const {
    if (format_.samplesPerSec < 16537) return 1;
    if (format_.samplesPerSec < 33075) return 2;
    return 4;
}

int16_t TWaveRead::ReadSample() {
    switch (FramesPerSample()) {
        case 1:
            return ReadFrame();
        case 2: {
            const double s1 = ReadFrame();
            const double s2 = ReadFrame();
            const double y = firstStage_.Step(s1);
            firstStage_.Step(s2);
            return Saturate(y);
        }
        default: {
            const double s1 = ReadFrame();
            const double s2 = ReadFrame();
            const double s3 = ReadFrame();
            const double s4 = ReadFrame();
            const double a = firstStage_.Step(s1);
            firstStage_.Step(s2);
            const double b = firstStage_.Step(s3);
            firstStage_.Step(s4);
            const double y = secondStage_.Step(a);
            secondStage_.Step(b);
            return Saturate(y);
        }
    }
}

int TWaveRead::ReadBlock(int16_t* block) {
    const uint32_t n = format_.blockAlign;
    if (!in_ || n == 0 || remaining_ < n) return 0;
    int withData = 0;
    for (int i = 0; i < kBlockSamples; ++i) {
        if (remaining_ >= n) withData = i + 1;
        block[i] = ReadSample();
    }
    return withData;
}

uint64_t TWaveRead::OutputSamples() const {
    if (format_.blockAlign == 0) return 0;
    const uint64_t frames = remaining_ / format_.blockAlign;
    const uint64_t per = FramesPerSample();
    return (frames + per - 1) / per;
}

void TWaveRead::Close() {
    in_.reset();
    remaining_ = 0;
}

}  // namespace quelp
