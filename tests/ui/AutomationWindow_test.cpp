// The window's side of the automation server: what a client's calls do to
// the main window.

#include "ui/AutomationWindow.h"

#include <gtest/gtest.h>

#include "ui/WindowRig.h"

namespace quelp {
namespace {

TEST(AutomationWindow, ClientsMinimiseAndRestoreAndTakeTheCloseCommandForGood) {
    test::WindowRig rig;
    rig.Start();
    const AutomationWindowHooks hooks = ui::AutomationWindowFor(rig.form, false);
    EXPECT_FALSE(hooks.lastClientGone);

    hooks.hideShow(false);
    EXPECT_TRUE(rig.form.isMinimized());
    hooks.hideShow(true);
    EXPECT_FALSE(rig.form.isMinimized());

    ASSERT_TRUE(rig.form.windowFlags() & Qt::WindowCloseButtonHint);
    hooks.removeCloseCommand();
    // The title bar keeps its other buttons; the window stays on screen.
    EXPECT_FALSE(rig.form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(rig.form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(rig.form.isVisible());
    // A later restore does not bring it back.
    hooks.hideShow(false);
    hooks.hideShow(true);
    EXPECT_FALSE(rig.form.windowFlags() & Qt::WindowCloseButtonHint);

    EXPECT_TRUE(ui::AutomationWindowFor(rig.form, true).lastClientGone);
}

}  // namespace
}  // namespace quelp
