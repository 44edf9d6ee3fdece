#pragma once
// The upper halves (bytes 0x80..0xFF) of the Windows code pages, as code
// points; written by tools/gen_code_pages.py.

#include <array>

namespace quelp::codepage_tables {

extern const std::array<char16_t, 128> kCp874;
extern const std::array<char16_t, 128> kCp1250;
extern const std::array<char16_t, 128> kCp1251;
extern const std::array<char16_t, 128> kCp1252;
extern const std::array<char16_t, 128> kCp1253;
extern const std::array<char16_t, 128> kCp1254;
extern const std::array<char16_t, 128> kCp1255;
extern const std::array<char16_t, 128> kCp1256;
extern const std::array<char16_t, 128> kCp1257;
extern const std::array<char16_t, 128> kCp1258;

}  // namespace quelp::codepage_tables
