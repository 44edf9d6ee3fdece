#include "ui/QtEventLoop.h"

#include <QCoreApplication>
#include <QEvent>

namespace quelp::ui {

namespace {

const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class MessageEvent final : public QEvent {
  public:
    explicit MessageEvent(std::uint32_t message) : QEvent(kMessageEvent), message_(message) {}
    std::uint32_t Message() const { return message_; }

  private:
    std::uint32_t message_;
};

}  // namespace

QtEventLoop::QtEventLoop(QObject* parent) : QObject(parent) {
    slots_[0].message = WM_BUFFERDONE;
}

QtEventLoop::Slot* QtEventLoop::SlotOf(std::uint32_t message) {
    for (Slot& slot : slots_) {
        if (slot.message == message) return &slot;
    }
    return nullptr;
}

void QtEventLoop::Post(std::uint32_t message) {
    Slot* slot = SlotOf(message);
    if (slot == nullptr) return;
    if (slot->waiting.exchange(true, std::memory_order_acq_rel)) return;
    QCoreApplication::postEvent(this, new MessageEvent(message));
}

bool QtEventLoop::event(QEvent* e) {
    if (e->type() != kMessageEvent) return QObject::event(e);
    const std::uint32_t message = static_cast<MessageEvent*>(e)->Message();
    // Cleared before the handler runs: a buffer filled while it works posts
    // a fresh event, so none is left unprocessed.
    if (Slot* slot = SlotOf(message)) slot->waiting.store(false, std::memory_order_release);
    if (handler_) handler_(message);
    return true;
}

}  // namespace quelp::ui
