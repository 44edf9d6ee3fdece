#pragma once
// The automation server on the session bus: the object /QuelpX with the
// interface org.quelp.IQuelpX, whose calls go to the core's server with the
// caller's connection as its client; the caught-word event goes back as a
// signal addressed to each client's connection. A client's object dies when
// its connection leaves the bus.

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>

#include "ports/AutomationServer.h"

namespace quelp::dbus {

class DBusAutomationObject final : public QDBusVirtualObject, public AutomationEvents {
  public:
    DBusAutomationObject(QDBusConnection connection, AutomationServer& server);
    ~DBusAutomationObject() override;

    // Puts the object on the bus and takes the server's name; false when
    // there is no bus or another program holds the name.
    bool Register();

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

    void OnCommandEx(std::string_view client, std::uint32_t commandW, std::uint32_t commandL,
                     std::string_view commandText) override;

  private:
    QDBusMessage Serve(const QDBusMessage& call);

    QDBusConnection connection_;
    AutomationServer& server_;
    QDBusServiceWatcher watcher_;
    bool registered_ = false;
};

}  // namespace quelp::dbus
