#include "settings/ProfileNumbers.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace quelp {

namespace {

bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view SkipSpace(std::string_view s) {
    while (!s.empty() && IsCSpace(s.front())) s.remove_prefix(1);
    return s;
}

// Takes an optional leading sign off s; true for '-'.
bool TakeSign(std::string_view& s) {
    if (s.empty() || (s.front() != '+' && s.front() != '-')) return false;
    const bool negative = s.front() == '-';
    s.remove_prefix(1);
    return negative;
}

}  // namespace

bool ParseProfileInt(std::string_view text, int& value) {
    std::string_view s = SkipSpace(text);
    const bool negative = TakeSign(s);
    if (s.empty() || s.front() < '0' || s.front() > '9') return false;
    std::int64_t magnitude = 0;
    const std::int64_t limit = negative
                                   ? -static_cast<std::int64_t>(std::numeric_limits<int>::min())
                                   : std::numeric_limits<int>::max();
    for (char c : s) {
        if (c < '0' || c > '9') break;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) return false;
    }
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

bool ParseProfileReal(std::string_view text, double& value) {
    std::string s(text);
    for (char& c : s) {
        if (c == ',') c = '.';
    }
    std::string_view rest = SkipSpace(s);
    const bool negative = TakeSign(rest);
    if (rest.empty() || rest.front() == '+' || rest.front() == '-') return false;
    double parsed = 0.0;
    const auto [end, ec] =
        std::from_chars(rest.data(), rest.data() + rest.size(), parsed, std::chars_format::general);
    if (ec != std::errc()) return false;
    value = negative ? -parsed : parsed;
    return true;
}

std::string FormatProfileReal(double value) {
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (ec != std::errc()) return "0";
    return std::string(buffer, end);
}

}  // namespace quelp
