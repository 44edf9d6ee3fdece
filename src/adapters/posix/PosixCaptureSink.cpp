#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "adapters/posix/PosixCaptureSink.h"

namespace quelp {

PosixCaptureSink::~PosixCaptureSink() {
    if (fd_ >= 0) ::close(fd_);
}

bool PosixCaptureSink::Open(const std::string& path) {
    if (fd_ >= 0) Close();
    // Without blocking, so that a FIFO with no reader fails at once instead
    // of hanging the program; anything but a plain file is refused: a capture
    // must stay readable afterwards.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // Another writer holding the file is an open failure, as on a share-deny
    // open; readers do not take the lock and are not kept out.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    failed_ = false;
    return true;
}

void PosixCaptureSink::Write(std::string_view bytes) {
    if (fd_ < 0 || failed_) return;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            failed_ = true;
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

bool PosixCaptureSink::Close() {
    if (fd_ < 0) return !failed_;
    const bool closed = ::close(fd_) == 0;  // also drops the lock
    fd_ = -1;
    const bool ok = closed && !failed_;
    failed_ = false;
    return ok;
}

}  // namespace quelp
