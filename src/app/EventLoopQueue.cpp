#include "app/EventLoopQueue.h"

namespace quelp {

EventLoopQueue::EventLoopQueue(std::initializer_list<uint32_t> messages) {
    for (uint32_t m : messages) {
        if (used_ == kMaxMessages) break;
        slots_[used_++].message = m;
    }
}

void EventLoopQueue::Post(uint32_t message) {
    for (int i = 0; i < used_; ++i) {
        if (slots_[i].message == message) {
            slots_[i].count.fetch_add(1, std::memory_order_release);
            posts_.fetch_add(1, std::memory_order_release);
            posts_.notify_one();
            return;
        }
    }
}

int EventLoopQueue::Dispatch(const std::function<void(uint32_t)>& handler) {
    int dispatched = 0;
    for (int i = 0; i < used_; ++i) {
        int n = slots_[i].count.exchange(0, std::memory_order_acquire);
        for (; n > 0; --n, ++dispatched) handler(slots_[i].message);
    }
    return dispatched;
}

void EventLoopQueue::Wait() {
    posts_.wait(seen_, std::memory_order_acquire);
    seen_ = posts_.load(std::memory_order_acquire);
}

int EventLoopQueue::Pending(uint32_t message) const {
    for (int i = 0; i < used_; ++i) {
        if (slots_[i].message == message) return slots_[i].count.load(std::memory_order_acquire);
    }
    return 0;
}

}  // namespace quelp
