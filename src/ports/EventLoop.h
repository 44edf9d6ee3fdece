#pragma once
// Port: the main window's message queue as seen from another thread. The
// sound-input driver thread posts WM_BUFFERDONE through it; the main thread
// (the Qt event loop, or the command-line decoder's loop) later dispatches it
// to InputBufferDone. Post must be safe on any thread and must not block.

#include <cstdint>

namespace quelp {

// Private window message posted once per filled input buffer.
inline constexpr uint32_t WM_BUFFERDONE = 0x81F5;

class EventLoop {
  public:
    virtual ~EventLoop() = default;
    virtual void Post(uint32_t message) = 0;
};

}  // namespace quelp
