// Fuzz entry of the sound file adapter on a stream that cannot seek: the
// header probing of every format the library knows, the channel mix and the
// rate converter, over whatever the library accepts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "adapters/sndfile/SndfileSource.h"
#include "dsp/Bins.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The first byte picks the channel choice and whether the input is
    // headerless, so all of them see the same bodies.
    const auto channel = static_cast<quelp::ChannelChoice>(size > 0 ? data[0] % 3 : 0);
    const bool raw = size > 0 && (data[0] & 0x80) != 0;
    quelp::SndfileSource source;
    std::string error;
    if (!source.OpenBytes(bytes, channel, raw ? std::optional<int>(48000) : std::nullopt, error)) {
        if (error.empty()) __builtin_trap();  // a refusal always says why
        return 0;
    }
    std::int16_t block[quelp::kBlockSize];
    // A compressed format can expand a little input into much audio; enough
    // blocks to pass the converter's start-up and run into the end.
    for (int blocks = 0; blocks < 256 && source.ReadBlock(block) > 0; ++blocks) {
    }
    return 0;
}
