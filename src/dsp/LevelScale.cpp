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
    const int exponent = std::atoi(std::strchr(sci, 'e') + 1);
    // digits[i] has the weight 10^(exponent + lead - i): `lead` zeros in
    // front give room for a carry and for the integer zero of small values.
    const int lead = std::max(1, 1 - exponent);
    std::string digits(static_cast<size_t>(lead), '0');
    for (const char* p = sci; *p && *p != 'e'; ++p)
        if (*p != '.') digits += *p;
    const int pointAt = exponent + lead + 1;  // digits before the decimal point
    const int keep = pointAt + decimals;
    if (static_cast<int>(digits.size()) < keep + 1)
        digits.append(static_cast<size_t>(keep + 1 - static_cast<int>(digits.size())), '0');
    const bool roundUp = digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(keep));
    for (int i = keep - 1; roundUp && i >= 0; --i) {
        char& d = digits[static_cast<size_t>(i)];
        if (d == '9') {
            d = '0';
        } else {
            ++d;
            break;
        }
    }
    // Integer part without leading zeros, but at least one digit.
    size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos || first >= static_cast<size_t>(pointAt))
        first = static_cast<size_t>(pointAt) - 1;
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    std::string text;
    if (value < 0 && !zero) text += '-';
    text.append(digits, first, static_cast<size_t>(pointAt) - first);
    if (decimals > 0) {
        text += '.';
        text.append(digits, static_cast<size_t>(pointAt), std::string::npos);
    }
    return text;
}

}  // namespace quelp
