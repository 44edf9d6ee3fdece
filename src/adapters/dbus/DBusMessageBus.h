#pragma once
// The registered messages on the session bus: signals named after the
// messages ("VAD_CW", "Tolvan_Message") with the two parameters (uint32
// word, int32 long), broadcast to every program without waiting; the key
// message is heard from every sender, this program included.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <cstdint>
#include <functional>

namespace quelp::dbus {

class DBusMessageBus final : public QObject {
    // The bus delivers signals only to a slot; this is the adapter's one
    // meta-object.
    Q_OBJECT

  public:
    using Handler = std::function<void(std::uint32_t word, std::int32_t param)>;

    explicit DBusMessageBus(QDBusConnection connection);

    // Starts hearing the key message; false when there is no bus.
    bool ListenForKeyMessage(Handler handler);
    // The key message with a key's code and 0; the log message with its
    // two parameters. Neither waits for anybody.
    void BroadcastKeyCode(int code);
    void BroadcastLogMessage(std::uint32_t word, std::int32_t param);

  private Q_SLOTS:
    void Received(const QDBusMessage& message);

  private:
    void Broadcast(const char* member, std::uint32_t word, std::int32_t param);

    QDBusConnection connection_;
    Handler handler_;
};

}  // namespace quelp::dbus
