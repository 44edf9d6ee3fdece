// The automation server and the registered messages on a real session bus,
// with client programs on connections of their own.

#include <gtest/gtest.h>

#include <algorithm>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "adapters/dbus/DBusAutomationObject.h"
#include "adapters/dbus/DBusMessageBus.h"
#include "app/DisplayControls.h"
#include "app/QuelpApp.h"
#include "app/QuelpXServer.h"
#include "dbus/SignalRecorder.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"
#include "support/TempDir.h"

namespace quelp {
namespace {

using test::SignalRecorder;

// Serves the bus until `done` or `ms` milliseconds have passed.
bool WaitFor(const std::function<bool()>& done, int ms = 2000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// The program on the bus.
struct Program {
    test::TempDir dir;
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    QuelpApp app{QuelpPorts{view, clock, dialogs, rx}};
    QuelpXServer server{app};
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "program");
    dbus::DBusAutomationObject object{bus, server};
    dbus::DBusMessageBus messages{bus};
    std::vector<std::pair<std::uint32_t, std::int32_t>> keyMessages;

    Program() {
        server.SetEvents(&object);
        IntegrationHooks hooks;
        server.FillHooks(hooks);
        hooks.broadcastMessage = [this](std::uint32_t w, std::int32_t l) {
            messages.BroadcastLogMessage(w, l);
        };
        hooks.broadcastKeyCode = [this](int code) { messages.BroadcastKeyCode(code); };
        app.SetIntegrationHooks(std::move(hooks));
        ProfileFile file;
        file.Parse("[Quelp]\nExportIniFile=" + dir.File("log.ini") + "\n");
        app.ApplySettings(file);
        EXPECT_TRUE(object.Register());
        EXPECT_TRUE(messages.ListenForKeyMessage([this](std::uint32_t w, std::int32_t l) {
            keyMessages.emplace_back(w, l);
            app.VadCwMessage(w, l);
        }));
    }
    ~Program() { QDBusConnection::disconnectFromBus("program"); }
};

// A client program: a connection of its own.
struct Client {
    explicit Client(int n)
        : name("client" + QString::number(n)),
          bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)),
          events(bus, "org.quelp.IQuelpX", "OnCommandEx") {}
    ~Client() { Leave(); }
    QDBusMessage Call(const char* method, const QVariantList& args = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall("org.quelp.QuelpX", "/QuelpX",
                                                           "org.quelp.IQuelpX", method);
        call.setArguments(args);
        return bus.call(call, QDBus::BlockWithGui, 2000);
    }
    void Leave() { QDBusConnection::disconnectFromBus(name); }

    QString name;
    QDBusConnection bus;
    SignalRecorder events;
};

TEST(DBusAutomation, ClientPollsTheLengthAndFetchesWhatIsNew) {
    Program program;
    Client client(1);
    program.rx.text = "CQ ";
    const QDBusMessage first = client.Call("GetRxLength");
    ASSERT_EQ(first.type(), QDBusMessage::ReplyMessage) << first.errorMessage().toStdString();
    const int seen = first.arguments().at(0).toInt();
    EXPECT_EQ(seen, 3);
    program.rx.text += "DE DL1ABC";
    EXPECT_EQ(client.Call("GetRxText", {seen}).arguments().at(0).toString(), "DE DL1ABC");
    EXPECT_EQ(client.Call("GetRxText", {-5}).arguments().at(0).toString(), "CQ DE DL1ABC");
    EXPECT_EQ(client.Call("GetRxText", {12}).arguments().at(0).toString(), "");

    // A call of the wrong shape is refused, not guessed at.
    EXPECT_EQ(client.Call("GetRxText", {QString("0")}).errorName(),
              "org.freedesktop.DBus.Error.InvalidArgs");
    EXPECT_EQ(client.Call("Shutdown").type(), QDBusMessage::ErrorMessage);
}

TEST(DBusAutomation, FailedSaveIsTheServersError) {
    Program program;
    program.app.DeferredInit(StartupOptions::ForDecoder(program.dir.File("none/QUELP.INI")));
    Client client(1);
    const QDBusMessage reply = client.Call("SaveSetup");
    EXPECT_EQ(reply.errorName(), "org.quelp.QuelpX.Error");
    EXPECT_EQ(reply.errorMessage().toStdString(),
              "Unable to write to " + program.dir.File("none/QUELP.INI"));
}

TEST(DBusAutomation, CaughtWordReachesTheFirstEightClientsUntilTheyDisconnect) {
    Program program;
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < 9; ++i) {
        clients.push_back(std::make_unique<Client>(i));
        ASSERT_EQ(clients.back()->Call("GetRxLength").type(), QDBusMessage::ReplyMessage);
    }
    EXPECT_FALSE(program.view.enabled[UiItem::Exit]);
    EXPECT_FALSE(program.app.FormCloseQuery());

    program.app.ExportWord("Call", "DL1ABC", 4);
    ASSERT_TRUE(WaitFor([&] { return clients[7]->events.heard.size() == 1; }));
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(clients[i]->events.heard.size(), 1u) << i;
        const QVariantList& args = clients[i]->events.heard[0];
        EXPECT_EQ(args.at(0).toUInt(), 0x183u + 0x200u * static_cast<unsigned>(i));
        EXPECT_EQ(args.at(1).toUInt(), 4u);
        EXPECT_EQ(args.at(2).toString(), "DL1ABC");
    }
    EXPECT_TRUE(clients[8]->events.heard.empty());

    ASSERT_EQ(clients[0]->Call("BeforeDisconnect").type(), QDBusMessage::ReplyMessage);
    program.app.ExportWord("Name", "OLE", 128);
    ASSERT_TRUE(WaitFor([&] { return clients[7]->events.heard.size() == 2; }));
    EXPECT_EQ(clients[0]->events.heard.size(), 1u);
    EXPECT_TRUE(clients[8]->events.heard.empty());

    // Leaving the bus ends a client's object; with the last the program may
    // close again.
    clients.clear();
    EXPECT_TRUE(WaitFor([&] { return program.server.Clients().Live() == 0; }));
    EXPECT_TRUE(program.view.enabled[UiItem::Exit]);
}

TEST(DBusAutomation, MessagesAreBroadcastAndTheKeyMessageIsHeardFromAnySender) {
    Program program;
    Client other(1);
    SignalRecorder logMessages(other.bus, "org.quelp.Messages", "Tolvan_Message");
    SignalRecorder keyMessages(other.bus, "org.quelp.Messages", "VAD_CW");

    program.messages.BroadcastKeyCode(5);
    program.app.ExportWord("Call", "DL1ABC", 4);
    QDBusMessage request = QDBusMessage::createSignal("/elsewhere", "org.quelp.Messages", "VAD_CW");
    request << QVariant::fromValue<quint32>(0x172) << QVariant::fromValue<qint32>(10);
    other.bus.send(request);
    QDBusMessage malformed =
        QDBusMessage::createSignal("/elsewhere", "org.quelp.Messages", "VAD_CW");
    malformed << QString("114") << 10;
    other.bus.send(malformed);

    // The other program hears all three; this one takes only the two of the
    // message's shape.
    ASSERT_TRUE(WaitFor([&] { return keyMessages.heard.size() == 3; }));
    ASSERT_TRUE(WaitFor([&] { return logMessages.heard.size() == 1; }));
    static_cast<void>(WaitFor([] { return false; }, 100));
    // Two senders: the bus keeps each one's order, not the order between them.
    auto heard = program.keyMessages;
    std::sort(heard.begin(), heard.end());
    EXPECT_EQ(heard, (decltype(heard){{5, 0}, {0x172, 10}}));
    EXPECT_EQ(logMessages.heard[0].at(0).toUInt(), 0x83u);
    EXPECT_EQ(logMessages.heard[0].at(1).toInt(), 4);
}

TEST(DBusAutomation, FunctionKeysGoToTheOtherProgramsAndAreIgnoredOnTheirReturn) {
    Program program;
    program.app.DeferredInit(StartupOptions::ForDecoder(program.dir.File("QUELP.INI")));
    Client other(1);
    SignalRecorder keyMessages(other.bus, "org.quelp.Messages", "VAD_CW");
    DisplayControls keys(program.app, program.view);
    const std::size_t viewCalls = program.view.calls.size();
    const int signalBin = program.app.Rx().Status().SignalBin;

    EXPECT_FALSE(keys.KeyDown(vk::F(5), {}));
    // Alt+F4 does not close the window: it is a code for the other programs.
    EXPECT_TRUE(keys.KeyDown(vk::F(4), {.Alt = true}));
    ASSERT_TRUE(WaitFor([&] { return keyMessages.heard.size() == 2; }));
    EXPECT_EQ(keyMessages.heard[0].at(0).toUInt(), 5u);
    EXPECT_EQ(keyMessages.heard[1].at(0).toUInt(), 28u);
    ASSERT_TRUE(WaitFor([&] { return program.keyMessages.size() == 2; }));
    EXPECT_EQ(program.keyMessages, (decltype(program.keyMessages){{5, 0}, {28, 0}}));
    // Back at the sender, a key code asks for nothing.
    EXPECT_EQ(program.view.calls.size(), viewCalls);
    EXPECT_EQ(program.app.Rx().Status().SignalBin, signalBin);
    EXPECT_FALSE(program.app.ShuttingDown());
}

}  // namespace
}  // namespace quelp

int main(int argc, char** argv) {
    QCoreApplication qt(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
