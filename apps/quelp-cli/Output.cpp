#include "Output.h"

#include <cerrno>

namespace quelp::cli {

bool Output::Write(std::string_view bytes) {
    const std::lock_guard lock(lock_);
    if (file_ == nullptr) {
        buffer_.append(bytes);
        return true;
    }
    if (beforeWrite_) beforeWrite_();
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
    const bool flushed = std::fflush(file_) == 0;
    if (written && flushed) return true;
    if (errno == 0) errno = EIO;
    return false;
}

std::string Output::Take() {
    const std::lock_guard lock(lock_);
    std::string taken;
    taken.swap(buffer_);
    return taken;
}

}  // namespace quelp::cli
