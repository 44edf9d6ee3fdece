// Fuzz entry of the WAV reader: the chunk walk, the format check and reading
// every sample of whatever the walk accepts.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "audio/WaveRead.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quelp::TWaveRead reader;
    auto in = std::make_unique<std::istringstream>(
        std::string(reinterpret_cast<const char*>(data), size), std::ios::in | std::ios::binary);
    if (reader.Open(std::move(in)) != quelp::WaveOpenResult::Ok) return 0;
    // Only run for its faults: the samples are read whatever it says.
    static_cast<void>(reader.CheckFormat());
    const uint32_t before = reader.Remaining();
    std::int16_t block[quelp::TWaveRead::kBlockSamples];
    // Every block consumes at least one frame, so the data (never larger than
    // the input) bound the number of blocks.
    std::size_t blocks = 0;
    while (reader.ReadBlock(block) > 0) {
        if (++blocks > size + 1) __builtin_trap();
    }
    if (reader.Remaining() > before) __builtin_trap();
    reader.Close();
    return 0;
}
