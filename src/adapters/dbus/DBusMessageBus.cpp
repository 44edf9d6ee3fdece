#include "adapters/dbus/DBusMessageBus.h"

#include <QMetaType>
#include <QVariant>

#include "adapters/dbus/DBusNames.h"

namespace quelp::dbus {

DBusMessageBus::DBusMessageBus(QDBusConnection connection) : connection_(std::move(connection)) {}

bool DBusMessageBus::ListenForKeyMessage(Handler handler) {
    handler_ = std::move(handler);
    if (!connection_.isConnected()) return false;
    return connection_.connect(QString(), QString(), QString::fromLatin1(kMessagesInterface),
                               QString::fromLatin1(kKeyMessage), this,
                               SLOT(Received(QDBusMessage)));
}

void DBusMessageBus::BroadcastKeyCode(int code) {
    Broadcast(kKeyMessage, static_cast<std::uint32_t>(code), 0);
}

void DBusMessageBus::BroadcastLogMessage(std::uint32_t word, std::int32_t param) {
    Broadcast(kLogMessage, word, param);
}

void DBusMessageBus::Broadcast(const char* member, std::uint32_t word, std::int32_t param) {
    if (!connection_.isConnected()) return;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kMessagesPath),
                                                     QString::fromLatin1(kMessagesInterface),
                                                     QString::fromLatin1(member));
    signal << QVariant::fromValue<quint32>(word) << QVariant::fromValue<qint32>(param);
    connection_.send(signal);
}

void DBusMessageBus::Received(const QDBusMessage& message) {
    // Another program's message of another shape is not ours to guess at.
    if (message.signature() != QLatin1String("ui") || !handler_) return;
    const QVariantList args = message.arguments();
    handler_(args.at(0).value<quint32>(), args.at(1).value<qint32>());
}

}  // namespace quelp::dbus
