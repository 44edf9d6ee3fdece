#pragma once
// Builds WAV file images byte by byte, so tests can make exactly the layout
// they need (odd chunks, wrong sizes, unusual formats) without sample files.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace quelp::test {

class WavBytes {
  public:
    // The four characters of a chunk id, one by one: GCC 12 under
    // ThreadSanitizer at -O2 reports a bogus overflow (-Wstringop-overflow) for
    // a range insert of a string literal into a vector that may still be empty.
    WavBytes& Tag(const char* id) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(id[i]));
        return *this;
    }
    WavBytes& U16(uint32_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    WavBytes& U32(uint32_t v) {
        U16(v & 0xFFFF);
        return U16(v >> 16);
    }
    WavBytes& Raw(const std::vector<uint8_t>& b) {
        bytes.insert(bytes.end(), b.begin(), b.end());
        return *this;
    }
    // A chunk with its exact size (and a pad byte when odd).
    WavBytes& Chunk(const char* id, const std::vector<uint8_t>& body) {
        Tag(id).U32(static_cast<uint32_t>(body.size())).Raw(body);
        if (body.size() & 1) bytes.push_back(0);
        return *this;
    }
    std::vector<uint8_t> bytes;
};

// The body of a "fmt " chunk; `extra` bytes follow the 16-byte PCM layout.
inline std::vector<uint8_t> FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                                    uint16_t blockAlign = 0, size_t extra = 0) {
    if (blockAlign == 0) blockAlign = static_cast<uint16_t>(channels * ((bits + 7) / 8));
    WavBytes w;
    w.U16(tag).U16(channels).U32(rate).U32(rate * blockAlign).U16(blockAlign).U16(bits);
    for (size_t i = 0; i < extra; ++i) w.bytes.push_back(static_cast<uint8_t>(i + 1));
    return w.bytes;
}

// A complete RIFF/WAVE image of the given chunks' bytes.
inline std::vector<uint8_t> Riff(const std::vector<uint8_t>& chunks) {
    WavBytes w;
    w.Tag("RIFF").U32(static_cast<uint32_t>(chunks.size() + 4)).Tag("WAVE").Raw(chunks);
    return w.bytes;
}

inline std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
    WavBytes w;
    for (int16_t s : samples) w.U16(static_cast<uint16_t>(s));
    return w.bytes;
}

// A plain PCM file image.
inline std::vector<uint8_t> PcmWav(uint16_t channels, uint32_t rate, uint16_t bits,
                                   const std::vector<uint8_t>& data) {
    WavBytes c;
    c.Chunk("fmt ", FmtBody(1, channels, rate, bits)).Chunk("data", data);
    return Riff(c.bytes);
}

inline void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadFile(const std::string& name) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(name, ec);
    std::vector<uint8_t> bytes(ec ? 0 : size);
    std::ifstream in(name, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

inline uint32_t Le32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

}  // namespace quelp::test
