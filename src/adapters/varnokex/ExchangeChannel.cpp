#include "adapters/varnokex/ExchangeChannel.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace quelp::varnokex {

std::string ChannelPath(std::int32_t channel) {
    if (channel < 1) return {};
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string dir = (runtime != nullptr && *runtime == '/')
                          ? std::string(runtime) + "/quelp-exchange"
                          : "/tmp/quelp-exchange-" + std::to_string(::getuid());
    return dir + "/" + std::to_string(channel);
}

bool MakeChannel(const std::string& path) {
    if (path.empty()) return false;
    const std::string dir = path.substr(0, path.rfind('/'));
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat d {};
    // Another user's folder in /tmp is not ours to write into.
    if (::lstat(dir.c_str(), &d) != 0 || !S_ISDIR(d.st_mode) || d.st_uid != ::getuid()) {
        return false;
    }
    if (::mkfifo(path.c_str(), 0600) != 0 && errno != EEXIST) return false;
    struct stat p {};
    return ::lstat(path.c_str(), &p) == 0 && S_ISFIFO(p.st_mode);
}

}  // namespace quelp::varnokex
