#include "adapters/dbus/DBusAutomationObject.h"

#include <QDBusMessage>
#include <QVariant>

#include "adapters/dbus/DBusNames.h"

namespace quelp::dbus {

namespace {

// The methods in their dispatch order (1..10); out parameters are the
// replies.
constexpr const char* kIntrospection = R"(  <interface name="org.quelp.IQuelpX">
    <method name="GetRxLength">
      <arg name="Length" type="i" direction="out"/>
    </method>
    <method name="GetRxText">
      <arg name="StartPosition" type="i" direction="in"/>
      <arg name="RxText" type="s" direction="out"/>
    </method>
    <method name="ClearRxText"/>
    <method name="GetInterfaceOptions">
      <arg name="ExDllChannel" type="i" direction="out"/>
      <arg name="InputSoundCard" type="i" direction="out"/>
    </method>
    <method name="SetInterfaceOptions">
      <arg name="ExDllChannel" type="i" direction="in"/>
      <arg name="InputSoundCard" type="i" direction="in"/>
    </method>
    <method name="ShowSetup">
      <arg name="PageNum" type="i" direction="in"/>
    </method>
    <method name="SaveSetup"/>
    <method name="GetFreqs">
      <arg name="RxFreq" type="i" direction="out"/>
      <arg name="TxFreq" type="i" direction="out"/>
    </method>
    <method name="HideShow">
      <arg name="Show" type="i" direction="in"/>
    </method>
    <method name="BeforeDisconnect"/>
    <signal name="OnCommandEx">
      <arg name="CommandW" type="u"/>
      <arg name="CommandL" type="u"/>
      <arg name="CommandText" type="s"/>
    </signal>
  </interface>
)";

std::int32_t Int(const QDBusMessage& call, int i) {
    return call.arguments().at(i).value<qint32>();
}

QDBusMessage Ints(const QDBusMessage& call, std::initializer_list<std::int32_t> values) {
    QVariantList out;
    for (const std::int32_t v : values) out << QVariant::fromValue<qint32>(v);
    return call.createReply(out);
}

}  // namespace

DBusAutomationObject::DBusAutomationObject(QDBusConnection connection, AutomationServer& server)
    : connection_(std::move(connection)),
      server_(server),
      watcher_(QString(), connection_, QDBusServiceWatcher::WatchForUnregistration) {
    QObject::connect(&watcher_, &QDBusServiceWatcher::serviceUnregistered, this,
                     [this](const QString& name) {
                         watcher_.removeWatchedService(name);
                         server_.ClientLeft(name.toStdString());
                     });
}

DBusAutomationObject::~DBusAutomationObject() {
    if (!registered_) return;
    connection_.unregisterService(QString::fromLatin1(kServiceName));
    connection_.unregisterObject(QString::fromLatin1(kObjectPath));
}

bool DBusAutomationObject::Register() {
    if (!connection_.isConnected()) return false;
    if (!connection_.registerVirtualObject(QString::fromLatin1(kObjectPath), this)) return false;
    if (!connection_.registerService(QString::fromLatin1(kServiceName))) {
        connection_.unregisterObject(QString::fromLatin1(kObjectPath));
        return false;
    }
    registered_ = true;
    return true;
}

QString DBusAutomationObject::introspect(const QString& path) const {
    if (path != QLatin1String(kObjectPath)) return {};
    return QString::fromLatin1(kIntrospection);
}

bool DBusAutomationObject::handleMessage(const QDBusMessage& message,
                                         const QDBusConnection& connection) {
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    if (!message.interface().isEmpty() && message.interface() != QLatin1String(kInterface)) {
        return false;
    }
    const QDBusMessage reply = Serve(message);
    if (reply.type() == QDBusMessage::InvalidMessage) return false;
    if (message.isReplyRequired()) connection.send(reply);
    return true;
}

QDBusMessage DBusAutomationObject::Serve(const QDBusMessage& call) {
    const QString member = call.member();
    const QString signature = call.signature();
    const auto expects = [&](const char* s) { return signature == QLatin1String(s); };
    const auto badArguments = [&] {
        return call.createErrorReply(
            QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
            member + QStringLiteral(": wrong arguments (") + signature + QStringLiteral(")"));
    };
    struct Method {
        const char* name;
        const char* signature;
    };
    static constexpr Method kMethods[] = {
        {"GetRxLength", ""},
        {"GetRxText", "i"},
        {"ClearRxText", ""},
        {"GetInterfaceOptions", ""},
        {"SetInterfaceOptions", "ii"},
        {"ShowSetup", "i"},
        {"SaveSetup", ""},
        {"GetFreqs", ""},
        {"HideShow", "i"},
        {"BeforeDisconnect", ""},
    };
    bool known = false;
    for (const Method& m : kMethods) {
        if (member != QLatin1String(m.name)) continue;
        if (!expects(m.signature)) return badArguments();
        known = true;
    }
    if (!known) return {};

    // The caller's object, created at its first call; it dies with the
    // caller's connection.
    const std::string client = call.service().toStdString();
    if (!watcher_.watchedServices().contains(call.service())) {
        watcher_.addWatchedService(call.service());
    }
    server_.ClientCall(client);

    if (member == QLatin1String("GetRxLength")) return Ints(call, {server_.GetRxLength()});
    if (member == QLatin1String("GetRxText")) {
        return call.createReply(QString::fromStdString(server_.GetRxText(Int(call, 0))));
    }
    if (member == QLatin1String("ClearRxText")) {
        server_.ClearRxText();
    } else if (member == QLatin1String("GetInterfaceOptions")) {
        const InterfaceOptions o = server_.GetInterfaceOptions();
        return Ints(call, {o.ExDllChannel, o.InputSoundCard});
    } else if (member == QLatin1String("SetInterfaceOptions")) {
        server_.SetInterfaceOptions(Int(call, 0), Int(call, 1));
    } else if (member == QLatin1String("ShowSetup")) {
        server_.ShowSetup(Int(call, 0));
    } else if (member == QLatin1String("SaveSetup")) {
        const AutomationResult r = server_.SaveSetup();
        if (!r.error.empty()) {
            return call.createErrorReply(QString::fromLatin1(kErrorName),
                                         QString::fromStdString(r.error));
        }
    } else if (member == QLatin1String("GetFreqs")) {
        const AutomationFreqs f = server_.GetFreqs();
        return Ints(call, {f.RxFreq, f.TxFreq});
    } else if (member == QLatin1String("HideShow")) {
        server_.HideShow(Int(call, 0));
    } else {
        server_.BeforeDisconnect(client);
    }
    return call.createReply();
}

void DBusAutomationObject::OnCommandEx(std::string_view client, std::uint32_t commandW,
                                       std::uint32_t commandL, std::string_view commandText) {
    QDBusMessage signal = QDBusMessage::createTargetedSignal(
        QString::fromUtf8(client.data(), static_cast<qsizetype>(client.size())),
        QString::fromLatin1(kObjectPath), QString::fromLatin1(kInterface),
        QString::fromLatin1(kCommandExSignal));
    signal << QVariant::fromValue<quint32>(commandW) << QVariant::fromValue<quint32>(commandL)
           << QString::fromUtf8(commandText.data(), static_cast<qsizetype>(commandText.size()));
    connection_.send(signal);
}

}  // namespace quelp::dbus
