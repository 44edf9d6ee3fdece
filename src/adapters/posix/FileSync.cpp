#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "adapters/posix/FileSync.h"

namespace quelp {

bool SyncFileToDisk(const std::filesystem::path& path) {
    // A read-only descriptor is enough for fsync, and it is the only kind a
    // folder can be opened with.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    ::close(fd);
    return rc == 0;
}

}  // namespace quelp
