#pragma once
// The main thread's event loop as the core sees it, on Qt's event loop: the
// sound driver's thread posts WM_BUFFERDONE, the window's thread later hands
// it to the application. A handler drains every filled buffer, so while one
// event for a message waits, further posts of it add nothing and post no
// more (the driver's thread then only reads and sets one flag).

#include <QObject>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

#include "ports/EventLoop.h"

namespace quelp::ui {

class QtEventLoop final : public QObject, public EventLoop {
  public:
    explicit QtEventLoop(QObject* parent = nullptr);

    // Runs on the thread of this object (the window's) for each delivered
    // message.
    void SetHandler(std::function<void(std::uint32_t)> handler) { handler_ = std::move(handler); }

    // Any thread; never blocks on the window's thread.
    void Post(std::uint32_t message) override;

  protected:
    bool event(QEvent* e) override;

  private:
    static constexpr int kSlots = 4;
    struct Slot {
        std::uint32_t message = 0;
        std::atomic<bool> waiting{false};
    };
    Slot* SlotOf(std::uint32_t message);

    std::array<Slot, kSlots> slots_;
    std::function<void(std::uint32_t)> handler_;
};

}  // namespace quelp::ui
