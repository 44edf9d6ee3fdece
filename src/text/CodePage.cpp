#include "text/CodePage.h"

#include <array>

#include "text/CodePageTables.h"

namespace quelp {

namespace {

const std::array<char16_t, 128>* UpperHalf(CodePage page) {
    using namespace codepage_tables;
    switch (page) {
        case CodePage::Cp1251:
            return &kCp1251;
        case CodePage::Cp1252:
            return &kCp1252;
        case CodePage::Raw:
            return nullptr;
        case CodePage::Cp874:
            return &kCp874;
        case CodePage::Cp1250:
            return &kCp1250;
        case CodePage::Cp1253:
            return &kCp1253;
        case CodePage::Cp1254:
            return &kCp1254;
        case CodePage::Cp1255:
            return &kCp1255;
        case CodePage::Cp1256:
            return &kCp1256;
        case CodePage::Cp1257:
            return &kCp1257;
        case CodePage::Cp1258:
            return &kCp1258;
    }
    return nullptr;
}

}  // namespace

CodePage CodePageOfCharset(int charset) {
    switch (charset) {
        case 161:
            return CodePage::Cp1253;  // GREEK_CHARSET
        case 162:
            return CodePage::Cp1254;  // TURKISH_CHARSET
        case 163:
            return CodePage::Cp1258;  // VIETNAMESE_CHARSET
        case 177:
            return CodePage::Cp1255;  // HEBREW_CHARSET
        case 178:
            return CodePage::Cp1256;  // ARABIC_CHARSET
        case 186:
            return CodePage::Cp1257;  // BALTIC_CHARSET
        case 204:
            return CodePage::Cp1251;  // RUSSIAN_CHARSET
        case 222:
            return CodePage::Cp874;  // THAI_CHARSET
        case 238:
            return CodePage::Cp1250;  // EASTEUROPE_CHARSET
        default:
            return CodePage::Cp1252;  // ANSI, DEFAULT and the rest
    }
}

char32_t CodePageToUnicode(CodePage page, unsigned char byte) {
    const auto* table = UpperHalf(page);
    if (byte < 0x80 || table == nullptr) return byte;
    return (*table)[byte - 0x80];
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string CodePageToUtf8(CodePage page, std::string_view bytes) {
    if (page == CodePage::Raw) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes)
        AppendUtf8(out, CodePageToUnicode(page, static_cast<unsigned char>(ch)));
    return out;
}

std::optional<unsigned char> UnicodeToCodePage(CodePage page, char32_t cp) {
    const auto* table = UpperHalf(page);
    if (cp < 0x80 || (table == nullptr && cp < 0x100)) return static_cast<unsigned char>(cp);
    if (table == nullptr) return std::nullopt;
    for (std::size_t i = 0; i < table->size(); ++i) {
        if ((*table)[i] == cp) return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

}  // namespace quelp
