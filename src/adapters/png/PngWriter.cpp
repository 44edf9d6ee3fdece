#include "adapters/png/PngWriter.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace quelp {

std::string WriteRgbPng(const std::string& path, int width, int height,
                        std::span<const std::uint8_t> pixels) {
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
        return "the picture has no size";
    }
    const std::string temporary = path + ".part";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (out == nullptr) return std::strerror(errno);

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    const bool encoded =
        png_image_write_to_stdio(&image, out, 0, pixels.data(), width * 3, nullptr) != 0;
    std::string failure = encoded ? "" : image.message;
    png_image_free(&image);
    errno = 0;
    const bool flushed = std::fflush(out) == 0 && ::fsync(fileno(out)) == 0;
    if (encoded && !flushed) failure = std::strerror(errno != 0 ? errno : EIO);
    if (std::fclose(out) != 0 && failure.empty()) failure = std::strerror(errno != 0 ? errno : EIO);
    std::error_code ec;
    if (failure.empty()) {
        std::filesystem::rename(temporary, path, ec);
        if (ec) failure = ec.message();
    }
    if (!failure.empty()) std::filesystem::remove(temporary, ec);
    return failure;
}

}  // namespace quelp
