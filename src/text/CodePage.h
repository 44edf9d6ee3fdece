#pragma once
// Windows code pages of the receive text: the character tables hold single
// bytes, which a view converts to Unicode with the table of its font's
// character set (1251 for the Russian table, 1252 for the Western ones, and
// whatever the operator's font names).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quelp {

enum class CodePage {
    Cp1251,  // Cyrillic
    Cp1252,  // Western European
    Raw,     // bytes passed on unchanged
    Cp874,   // Thai
    Cp1250,  // Central European
    Cp1253,  // Greek
    Cp1254,  // Turkish
    Cp1255,  // Hebrew
    Cp1256,  // Arabic
    Cp1257,  // Baltic
    Cp1258,  // Vietnamese
};

// The code page of a font's GDI character set (204 Cyrillic, 0 Western,
// 161 Greek, 238 Central European, ...). Sets without a single-byte page of
// their own (symbol, the East Asian double-byte sets, OEM) show as Western.
CodePage CodePageOfCharset(int charset);

// The Unicode code point of one byte; bytes below 0x80 are ASCII in both
// pages, and the few bytes a page leaves undefined map to the C1 control of
// the same number, as the platform's own conversion does.
char32_t CodePageToUnicode(CodePage page, unsigned char byte);

// Appends the UTF-8 encoding of `cp` to `out`.
void AppendUtf8(std::string& out, char32_t cp);

// Converts a byte string in `page` to UTF-8 (Raw: a copy).
std::string CodePageToUtf8(CodePage page, std::string_view bytes);

// The byte that shows as `cp` in `page`, the inverse of CodePageToUnicode;
// nothing for a code point the page cannot show.
std::optional<unsigned char> UnicodeToCodePage(CodePage page, char32_t cp);

}  // namespace quelp
