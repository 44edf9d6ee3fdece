#pragma once
// An event loop for a main thread without a window system (the command-line
// decoder, the tests): posts are counted per message number without locks,
// and the main thread waits for them and dispatches them. The order between
// different message numbers is not kept, only the number of posts of each.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>

#include "ports/EventLoop.h"

namespace quelp {

class EventLoopQueue : public EventLoop {
  public:
    static constexpr int kMaxMessages = 8;

    // The message numbers this queue carries; posts of others are dropped.
    EventLoopQueue(std::initializer_list<uint32_t> messages);

    void Post(uint32_t message) override;

    // Main thread: calls handler once per post received so far; returns how
    // many were dispatched.
    int Dispatch(const std::function<void(uint32_t)>& handler);
    // Main thread: blocks until something has been posted since the last Wait.
    void Wait();
    // Posts of `message` not yet dispatched.
    int Pending(uint32_t message) const;

  private:
    struct Slot {
        uint32_t message = 0;
        std::atomic<int> count{0};
    };
    std::array<Slot, kMaxMessages> slots_;
    int used_ = 0;
    std::atomic<uint32_t> posts_{0};  // bumped by every post, for Wait
    uint32_t seen_ = 0;
};

}  // namespace quelp
