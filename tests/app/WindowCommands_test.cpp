// The main window's own operations on the application object: the menus'
// hold-off, closing, help and the buffer commands.

#include <gtest/gtest.h>

#include "app/QuelpApp.h"
#include "settings/TempDir.h"
#include "support/FakeCaptureSink.h"
#include "support/FakeClock.h"
#include "support/FakeDesktopOpener.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp {
namespace {

namespace fs = std::filesystem;

struct WindowRig {
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    test::FakeCaptureSink sink;
    test::FakeDesktopOpener desktop;
    QuelpApp app{Ports()};
    test::TempDir dir;

    QuelpPorts Ports() {
        QuelpPorts p{view, clock, dialogs, rx, &sink};
        p.desktop = &desktop;
        return p;
    }
};

// Choosing a filter from the menu pauses the displays for one buffer, as
// the other commands do, and shows the choice.
TEST(WindowCommands, FilterItemsHoldTheDisplaysForOneBufferAndShowTheChoice) {
    const struct {
        UiItem item;
        int panel;
        std::string status;
        UiItem submenu;
        std::string caption;
    } cases[] = {
        {UiItem::FIR70Menu, panel::MainFilter, "MF: 70 Hz", UiItem::MainFilterMenu,
         "Main Filter  (70Hz)"},
        {UiItem::N100CPM1, panel::BurstFilter, "BF: 100", UiItem::CwFilterMenu,
         "Burst Filter (100 LPM)"},
    };
    for (const auto& c : cases) {
        WindowRig rig;
        rig.app.MenuOpened();
        const bool taken =
            rig.app.MainFilterMenuClick(c.item) || rig.app.BurstFilterMenuClick(c.item);
        EXPECT_TRUE(taken);
        EXPECT_EQ(rig.app.DisplayHoldOff(), 1);
        EXPECT_EQ(rig.view.Status(c.panel), c.status);
        EXPECT_EQ(rig.view.captions[c.submenu], c.caption);
        EXPECT_TRUE(rig.view.checked[c.item]);
    }
    // An item of another menu changes nothing.
    WindowRig rig;
    rig.app.MenuOpened();
    EXPECT_FALSE(rig.app.MainFilterMenuClick(UiItem::Zoom2));
    EXPECT_FALSE(rig.app.BurstFilterMenuClick(UiItem::FIR70Menu));
    EXPECT_EQ(rig.app.DisplayHoldOff(), 22);
}

TEST(WindowCommands, CloseIsRefusedOnlyWhileClientsHoldTheProgram) {
    WindowRig rig;
    bool held = true;
    IntegrationHooks hooks;
    hooks.clientsHoldProgram = [&] { return held; };
    rig.app.SetIntegrationHooks(hooks);
    ASSERT_TRUE(rig.app.OpenCaptureFileByName(rig.dir.File("cap.txt")));

    EXPECT_FALSE(rig.app.FormCloseQuery());
    EXPECT_FALSE(rig.app.ShuttingDown());
    EXPECT_TRUE(rig.app.CaptureOpen());

    held = false;
    EXPECT_TRUE(rig.app.FormCloseQuery());
    EXPECT_TRUE(rig.app.ShuttingDown());
    EXPECT_FALSE(rig.app.CaptureOpen());
    // A second close (Exit, then the window closing) shuts down nothing twice.
    EXPECT_TRUE(rig.app.FormCloseQuery());
    EXPECT_EQ(rig.view.messages.size(), 1u);  // "Capture file was closed", once
}

TEST(WindowCommands, HelpOpensThroughTheDesktopAndSaysNothingWhenMissing) {
    WindowRig rig;
    rig.app.Contens1Click(rig.dir.path());
    EXPECT_TRUE(rig.desktop.opened.empty());
    EXPECT_TRUE(rig.view.messages.empty());

    test::WriteFile(rig.dir / "QUELP.CHM", "help");
    rig.app.Contens1Click(rig.dir.path());
    EXPECT_EQ(rig.desktop.opened, std::vector<std::string>{(rig.dir / "QUELP.CHM").string()});
}

TEST(WindowCommands, BufferCommandsLetTheDisplaysDrawAgainWhenDone) {
    WindowRig rig;
    rig.rx.SetWholeText("cq de rv3abc");
    rig.dialogs.answers = {rig.dir.File("saved.txt")};
    EXPECT_EQ(rig.app.SaveBuffer1Click(), BufferSaveResult::Saved);
    EXPECT_EQ(rig.dialogs.asked.at(0).title, "Save buffer to file");
    EXPECT_EQ(test::ReadFile(rig.dir / "saved.txt"), "cq de rv3abc\r\n");
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);

    rig.app.MenuOpened();
    rig.app.ClearBuffer1Click();
    EXPECT_EQ(rig.rx.WholeText(), "");
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
}

}  // namespace
}  // namespace quelp
