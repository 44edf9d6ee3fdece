// The automation server's methods on the application and its client
// objects: event slots, the closing restriction, the caught-word event.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "app/EventLoopQueue.h"
#include "app/QuelpApp.h"
#include "app/QuelpXServer.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"
#include "support/FakeSoundDriver.h"
#include "support/TempDir.h"

namespace quelp {
namespace {

struct Events : AutomationEvents {
    void OnCommandEx(std::string_view client, std::uint32_t w, std::uint32_t l,
                     std::string_view text) override {
        fired.emplace_back(std::string(client), w, l, std::string(text));
    }
    std::vector<std::tuple<std::string, std::uint32_t, std::uint32_t, std::string>> fired;
};

struct Rig {
    test::TempDir dir;
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    test::FakeSoundDriver in;
    EventLoopQueue loop{WM_BUFFERDONE};
    QuelpApp app{Ports()};
    QuelpXServer server{app};
    Events events;
    std::vector<int> exchangeInits;
    bool exchangeWorks = true;
    int closeCommandRemoved = 0;
    int lastGone = 0;

    Rig() {
        in.names = {"Fake 0", "Fake 1", "Fake 2"};
        server.SetEvents(&events);
        AutomationWindowHooks w;
        w.removeCloseCommand = [this] { ++closeCommandRemoved; };
        w.lastClientGone = [this] { ++lastGone; };
        server.SetWindowHooks(std::move(w));
        IntegrationHooks h;
        server.FillHooks(h);
        h.initExchangeLibrary = [this](int channel) {
            exchangeInits.push_back(channel);
            return exchangeWorks;
        };
        app.SetIntegrationHooks(std::move(h));
        ProfileFile file;
        file.Parse("[Quelp]\nExportIniFile=" + dir.File("log.ini") + "\n");
        app.ApplySettings(file);
    }
    QuelpPorts Ports() {
        QuelpPorts p{view, clock, dialogs, rx};
        p.soundInDriver = &in;
        p.events = &loop;
        return p;
    }
};

TEST(QuelpXServer, TextFromAPositionInUtf8) {
    Rig rig;
    rig.rx.text = "CQ DE \xC4\xCB\x31";  // Windows-1251 bytes of a Cyrillic call
    ProfileFile font;
    font.Parse("[RxFont]\nCharset=204\n");
    rig.app.ApplySettings(font);
    EXPECT_EQ(rig.server.GetRxLength(), 9);
    const struct {
        std::int32_t start;
        const char* text;
    } cases[] = {
        {-5, "CQ DE \xD0\x94\xD0\x9B\x31"},
        {0, "CQ DE \xD0\x94\xD0\x9B\x31"},
        {7, "\xD0\x9B\x31"},
        {8, "1"},
        {9, ""},
        {1000, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(rig.server.GetRxText(c.start), c.text) << c.start;
    rig.server.ClearRxText();
    EXPECT_EQ(rig.server.GetRxLength(), 0);
}

TEST(QuelpXServer, InterfaceOptionsChangeOnlyWhatIsAsked) {
    const struct {
        std::int32_t channel, card;
        int exCanal, device, opened;  // opened: device the input opened, -2 none
        std::vector<int> inits;
    } cases[] = {
        {-1, 11, 1, -1, -2, {}}, {-1, 0, 1, -1, -1, {}}, {-1, 3, 1, 2, 2, {}},
        {4, -1, 4, -1, -2, {4}}, {0, -1, 0, -1, -2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.channel) + "," + std::to_string(c.card));
        Rig rig;
        rig.server.SetInterfaceOptions(c.channel, c.card);
        EXPECT_EQ(rig.app.Params().ExCanal, c.exCanal);
        EXPECT_EQ(rig.app.Params().Cards.SoundCardNumber, c.device);
        EXPECT_EQ(rig.in.openedDevice, c.opened);
        EXPECT_EQ(rig.exchangeInits, c.inits);
        const InterfaceOptions o = rig.server.GetInterfaceOptions();
        EXPECT_EQ(o.ExDllChannel, c.exCanal);
        EXPECT_EQ(o.InputSoundCard, c.device + 1);
        EXPECT_TRUE(rig.view.messages.empty());
    }
}

TEST(QuelpXServer, FailedExchangeChannelIsShownAndKept) {
    Rig rig;
    rig.exchangeWorks = false;
    rig.server.SetInterfaceOptions(7, -1);
    EXPECT_EQ(rig.app.Params().ExCanal, 7);
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0].first, "VARNOKEX.DLL initialization error!");
    EXPECT_EQ(rig.view.messages[0].second, "Error");
}

TEST(QuelpXServer, SaveSetupWritesTheFileOrReportsWhy) {
    Rig rig;
    rig.app.DeferredInit(StartupOptions::ForDecoder(rig.dir.File("q.ini")));
    EXPECT_TRUE(rig.server.SaveSetup().error.empty());
    EXPECT_TRUE(std::filesystem::exists(rig.dir.File("q.ini")));

    Rig failing;
    failing.app.DeferredInit(StartupOptions::ForDecoder(failing.dir.File("none/q.ini")));
    const std::size_t shown = failing.view.messages.size();
    EXPECT_EQ(failing.server.SaveSetup().error,
              "Unable to write to " + failing.dir.File("none/q.ini"));
    EXPECT_EQ(failing.view.messages.size(), shown);  // the client is told, not the operator
}

TEST(QuelpXServer, ClientsHoldTheProgramUntilTheLastLeaves) {
    Rig rig;
    rig.server.ClientCall(":1.5");
    rig.server.ClientCall(":1.6");
    rig.server.ClientCall(":1.5");
    EXPECT_EQ(rig.closeCommandRemoved, 1);
    EXPECT_FALSE(rig.view.enabled[UiItem::Exit]);
    EXPECT_FALSE(rig.app.FormCloseQuery());
    EXPECT_FALSE(rig.app.ShuttingDown());

    rig.server.BeforeDisconnect(":1.5");  // still alive without its slot
    EXPECT_FALSE(rig.app.FormCloseQuery());
    rig.server.ClientLeft(":1.5");
    rig.server.ClientLeft(":1.9");  // never called
    EXPECT_FALSE(rig.view.enabled[UiItem::Exit]);
    EXPECT_EQ(rig.lastGone, 0);
    rig.server.ClientLeft(":1.6");
    EXPECT_TRUE(rig.view.enabled[UiItem::Exit]);
    EXPECT_EQ(rig.lastGone, 1);
    EXPECT_TRUE(rig.app.FormCloseQuery());
}

TEST(QuelpXServer, CaughtWordGoesToEachSlotInOrder) {
    Rig rig;
    for (int i = 0; i < 9; ++i) rig.server.ClientCall(":1." + std::to_string(10 + i));
    rig.server.BeforeDisconnect(":1.10");
    rig.server.BeforeDisconnect(":1.13");
    rig.app.ExportWord("Call", "DL1ABC", 4);
    ASSERT_EQ(rig.events.fired.size(), 6u);  // the ninth has no slot
    const char* order[] = {":1.11", ":1.12", ":1.14", ":1.15", ":1.16", ":1.17"};
    for (std::size_t i = 0; i < 6; ++i) {
        const auto& [client, w, l, text] = rig.events.fired[i];
        EXPECT_EQ(client, order[i]);
        EXPECT_EQ(w, 0x183u + 0x200u * i);
        EXPECT_EQ(l, 4u);
        EXPECT_EQ(text, "DL1ABC");
    }
    // A freed slot goes to the next new client, not to the ninth.
    rig.server.ClientCall(":1.30");
    EXPECT_EQ(rig.server.Clients().IndexOf(":1.30"), 0);
    EXPECT_EQ(rig.server.Clients().IndexOf(":1.18"), -1);
}

}  // namespace
}  // namespace quelp
