// Fuzz entry for the user charset file: the whole load, then the line parser
// on its own, on arbitrary bytes. Every defined entry must stay within its
// 15 bytes and every lookup must give a bounded, terminated text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "decoder/CharacterTables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), data == nullptr ? 0 : size);

    quelp::CharacterTables tables;
    const quelp::CharsetResult result = tables.LoadUserCharset(bytes);
    if (result != quelp::CharsetResult::Ok && result != quelp::CharsetResult::Empty) std::abort();
    for (std::uint32_t i = 0; i < 256; ++i) {
        const std::string_view text = tables.LookupCharacter(i, quelp::charset::User);
        if (text.empty() || text.size() > 66) std::abort();
        if (tables.UserEntry(static_cast<std::uint8_t>(i)).size() > quelp::kUserTextMax)
            std::abort();
    }
    if (tables.UserEntry(0) != " ") std::abort();

    quelp::CharsetReader in(bytes);
    std::uint32_t index = 0;
    std::string text;
    // Each call consumes at least one byte, so this ends.
    for (std::size_t calls = 0; calls <= bytes.size() + 1; ++calls) {
        using enum quelp::CharsetLineResult;
        const quelp::CharsetLineResult line = quelp::ParseCharsetLine(in, index, text);
        if (line == EndOfData) return 0;
        if (line != Definition && line != Ignored && line != TooLong) std::abort();
        if (line == Definition && (index < 2 || index > 255 || text.empty() || text.size() > 15))
            std::abort();
    }
    std::abort();  // the parser stopped consuming input
}
