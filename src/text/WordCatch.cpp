#include "text/WordCatch.h"

namespace quelp {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The upper-case form of the lower-case letters the single-byte code pages
// hold: Latin-1, Latin Extended-A, Greek and Cyrillic. Anything else is its
// own upper case.
char32_t UpperCodePoint(char32_t cp) {
    if (cp >= U'a' && cp <= U'z') return cp - 0x20;
    if (cp < 0x80) return cp;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 0x20;
    if (cp == 0xFF) return 0x178;
    if (cp == 0xB5) return 0x39C;  // micro sign, as the platform upper-cases it
    // Latin Extended-A: upper and lower case alternate, in two phases.
    if ((cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177)) {
        return (cp & 1) != 0 ? cp - 1 : cp;
    }
    if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) {
        return (cp & 1) == 0 ? cp - 1 : cp;
    }
    if (cp == 0x192) return 0x191;
    // Greek.
    if (cp >= 0x3B1 && cp <= 0x3C9 && cp != 0x3C2) return cp - 0x20;
    if (cp == 0x3AC) return 0x386;
    if (cp >= 0x3AD && cp <= 0x3AF) return cp - 0x25;
    if (cp == 0x3CC) return 0x38C;
    if (cp == 0x3CD || cp == 0x3CE) return cp - 0x3F;
    // Cyrillic.
    if (cp >= 0x430 && cp <= 0x44F) return cp - 0x20;
    if (cp >= 0x450 && cp <= 0x45F) return cp - 0x50;
    if (cp == 0x491) return 0x490;
    return cp;
}

}  // namespace

bool IsWordSeparator(unsigned char c) {
    switch (c) {
        case '\t':
        case '\n':
        case '\r':
        case ' ':
        case '$':
        case '%':
        case '&':
        case ',':
        case '-':
        case '.':
        case ':':
        case ';':
        case '<':
        case '=':
        case '>':
            return true;
        default:
            return false;
    }
}

std::string_view WordAt(std::string_view text, std::size_t caret) {
    if (caret > text.size()) caret = text.size();
    std::size_t start = caret;
    while (start > 0 && !IsWordSeparator(static_cast<unsigned char>(text[start - 1]))) --start;
    std::size_t end = caret;
    while (end < text.size() && !IsWordSeparator(static_cast<unsigned char>(text[end]))) ++end;
    return text.substr(start, end - start);
}

std::string CleanWord(std::string_view text) {
    std::string word;
    word.reserve(text.size());
    for (const char c : text) {
        if (static_cast<unsigned char>(c) > 0x20) word.push_back(c);
    }
    return word;
}

const LogField& ContestField(std::string_view w) {
    const std::size_t n = w.size();
    // Characters are numbered from 1 in the rules: c(i) is w[i - 1].
    const auto c = [w](std::size_t i) { return w[i - 1]; };
    if (n < 3) return kNumberField;
    if (IsDigit(c(1)) && IsDigit(c(2))) return kNumberField;
    if (IsDigit(c(n)) && c(n - 1) != '/') return kNumberField;
    int digits = 0;
    int letters = 0;
    int others = 0;
    for (const char ch : w) {
        if (IsDigit(ch)) {
            ++digits;
        } else if (IsAsciiLetter(ch)) {
            ++letters;
        } else if (ch != '/') {
            ++others;
        }
    }
    if (others != 0 || digits == 0 || letters < 2) return kNumberField;
    if (n > 4) return kCallField;
    if (n == 4) return IsDigit(c(4)) ? kNumberField : kCallField;
    // n == 3
    if (digits != 1 || IsDigit(c(3))) return kNumberField;
    return kCallField;
}

std::string AnsiUpperCase(std::string_view bytes, CodePage page) {
    std::string upper;
    upper.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80 || page == CodePage::Raw) {
            upper.push_back(byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 0x20) : ch);
            continue;
        }
        const char32_t cp = CodePageToUnicode(page, byte);
        const auto back = UnicodeToCodePage(page, UpperCodePoint(cp));
        upper.push_back(back ? static_cast<char>(*back) : ch);
    }
    return upper;
}

}  // namespace quelp
