#include "dsp/LevelScale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quelp {

int ValueToY(double level, int height, bool logarithmic) {
    const int h = height - 1;
    if (h <= 0) return 0;
    if (logarithmic) {
        if (!(level >= 1e-10)) return h;  // also NaN
        const double row = std::log(level) * h / -kLogScaleSpan;
        if (!(row > 0.0)) return 0;  // above full scale (and +inf levels)
        if (row >= h) return h;
        return static_cast<int>(row);
    }
    if (!(level > 0.0)) return h;  // 0, negative, NaN: bottom row
    const double scaled = std::min(h * level, static_cast<double>(h));
    return h - static_cast<int>(scaled);
}

double YToValue(int row, int height, bool logarithmic) {
    const int h = height - 1;
    if (h <= 0) return 0.0;
    double value =
        logarithmic ? std::exp(-kLogScaleSpan * row / h) : static_cast<double>(h - row) / h;
    return value < 0.0 ? 0.0 : value;
}

std::string FormatFixed(double value, int decimals) {
    if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF");
    decimals = std::clamp(decimals, 0, 18);
    // The value's 15 significant digits, d.dddddddddddddde+XX.
    char sci[40];
    std::snprintf(sci, sizeof sci, "%.14e", std::fabs(value));
    std::string digits;
    for (const char* p = sci; *p && *p != 'e'; ++p)
        if (*p != '.') digits += *p;
    const int exponent = std::atoi(std::strchr(sci, 'e') + 1);
    // Decimal point sits after digit (exponent + 1); pad so that every integer
    // digit and every kept decimal exists.
    int pointAt = exponent + 1;
    if (pointAt < 1) {
        digits.insert(0, static_cast<size_t>(1 - pointAt), '0');
        pointAt = 1;
    }
    const int keep = pointAt + decimals;
    if (static_cast<int>(digits.size()) < keep + 1)
        digits.append(static_cast<size_t>(keep + 1 - static_cast<int>(digits.size())), '0');
    const bool roundUp = digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(keep));
    if (roundUp) {
        int i = keep - 1;
        while (i >= 0 && digits[static_cast<size_t>(i)] == '9')
            digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0) {
            ++digits[static_cast<size_t>(i)];
        } else {
            digits.insert(0, 1, '1');
            ++pointAt;
        }
    }
    std::string text = digits.substr(0, static_cast<size_t>(pointAt));
    text.erase(0, std::min(text.find_first_not_of('0'), text.size() - 1));  // keep one digit
    if (decimals > 0) text += "." + digits.substr(static_cast<size_t>(pointAt));
    const bool zero = text.find_first_not_of("0.") == std::string::npos;
    if (value < 0 && !zero) text.insert(0, 1, '-');
    return text;
}

}  // namespace quelp
