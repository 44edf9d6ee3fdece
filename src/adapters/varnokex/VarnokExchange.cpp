// The exchange library: every character the decoder hands over goes into
// the named pipe of the channel it was opened on, where another program
// reads it (varnokex-read).

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>

#include "adapters/varnokex/ExchangeChannel.h"

namespace {
int channelFd = -1;
}  // namespace

extern "C" {

// Opens channel `channel` (1 and above); 0 when it cannot be opened.
__attribute__((visibility("default"))) std::int32_t _VarnokExchangeInit(std::int32_t channel) {
    const std::string path = quelp::varnokex::ChannelPath(channel);
    if (!quelp::varnokex::MakeChannel(path)) return 0;
    // Opened for reading too, so the open succeeds before any reader has
    // come and writing never raises a broken pipe.
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return 0;
    if (channelFd >= 0) ::close(channelFd);
    channelFd = fd;
    return 1;
}

// One character, in the low 8 bits; never waits.
__attribute__((visibility("default"))) void _VarnokPutSymToRxBuffer(std::int32_t symbol) {
    if (channelFd < 0) return;
    const auto byte = static_cast<unsigned char>(symbol & 0xFF);
    static_cast<void>(::write(channelFd, &byte, 1));
}

}  // extern "C"
