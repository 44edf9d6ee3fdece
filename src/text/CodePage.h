#pragma once
// Windows code pages of the receive text: the character tables hold single
// bytes, which a view converts to Unicode with the table of its character
// set (1251 for the Russian table, 1252 for the Western ones).

#include <cstdint>
#include <string>
#include <string_view>

namespace quelp {

enum class CodePage {
    Cp1251,  // Cyrillic
    Cp1252,  // Western European
    Raw,     // bytes passed on unchanged
};

// The Unicode code point of one byte; bytes below 0x80 are ASCII in both
// pages, and the few bytes a page leaves undefined map to the C1 control of
// the same number, as the platform's own conversion does.
char32_t CodePageToUnicode(CodePage page, unsigned char byte);

// Appends the UTF-8 encoding of `cp` to `out`.
void AppendUtf8(std::string& out, char32_t cp);

// Converts a byte string in `page` to UTF-8 (Raw: a copy).
std::string CodePageToUtf8(CodePage page, std::string_view bytes);

}  // namespace quelp
