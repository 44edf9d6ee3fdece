#pragma once
// Pictures to PNG files through libpng.

#include <cstdint>
#include <span>
#include <string>

namespace quelp {

// Writes an 8-bit RGB picture (rows top down, 3 bytes per pixel, no padding)
// to `path`, through a temporary file beside it that replaces `path` only once
// it is complete, so a failed write leaves whatever was there. Returns an
// empty string, or why it failed.
std::string WriteRgbPng(const std::string& path, int width, int height,
                        std::span<const std::uint8_t> pixels);

}  // namespace quelp
