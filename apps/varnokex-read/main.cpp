// varnokex-read CHANNEL: prints the characters the decoder hands over on an
// exchange channel, as they come, until interrupted.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "adapters/varnokex/ExchangeChannel.h"

int main(int argc, char** argv) {
    std::int32_t channel = 0;
    const std::string_view arg = argc == 2 ? argv[1] : "";
    const auto [end, error] = std::from_chars(arg.data(), arg.data() + arg.size(), channel);
    if (arg.empty() || error != std::errc() || end != arg.data() + arg.size() || channel < 1) {
        std::fprintf(stderr, "usage: varnokex-read CHANNEL   (a channel number, 1 or above)\n");
        return 2;
    }
    const std::string path = quelp::varnokex::ChannelPath(channel);
    if (!quelp::varnokex::MakeChannel(path)) {
        std::fprintf(stderr, "varnokex-read: cannot make %s\n", path.c_str());
        return 1;
    }
    // Kept open for writing as well, so the end of one decoder run is not
    // the end of the reading.
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "varnokex-read: %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n == 0 ? 0 : 1;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w =
                ::write(STDOUT_FILENO, buffer + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return 1;
            done += w;
        }
    }
}
