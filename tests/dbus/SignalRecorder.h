#pragma once
// Records the signals one bus connection hears, as a client program would.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QVariantList>
#include <vector>

namespace quelp::test {

class SignalRecorder final : public QObject {
    Q_OBJECT

  public:
    // Hears `member` of `interface` from every sender on `connection`.
    SignalRecorder(QDBusConnection connection, const char* interface, const char* member) {
        connection.connect(QString(), QString(), QString::fromLatin1(interface),
                           QString::fromLatin1(member), this, SLOT(Heard(QDBusMessage)));
    }
    std::vector<QVariantList> heard;

  private Q_SLOTS:
    void Heard(const QDBusMessage& message) { heard.push_back(message.arguments()); }
};

}  // namespace quelp::test
