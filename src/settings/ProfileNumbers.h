#pragma once
// Conversions between the text of a profile value and numbers, independent of
// the process's locale (a Linux desktop may set a decimal comma).

#include <string>
#include <string_view>

namespace quelp {

// Reads an integer the way "%d" does: leading white space skipped, an
// optional sign, decimal digits, anything after them ignored. Returns false,
// leaving value unchanged, when there is no digit or the number does not fit.
bool ParseProfileInt(std::string_view text, int& value);

// Reads a real number after turning every ',' into '.': leading white space
// skipped, an optional sign, digits with an optional fraction and exponent,
// anything after them ignored ("inf" and "nan" are read as such). Returns
// false, leaving value unchanged, when there is no number.
bool ParseProfileReal(std::string_view text, double& value);

// At most 15 significant digits with '.' as the decimal point ("11025",
// "11024.87"); any rate typed with up to 15 digits reads back unchanged.
std::string FormatProfileReal(double value);

}  // namespace quelp
