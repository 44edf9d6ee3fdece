// Word catching in the window: a mouse release over a selection in the
// receive text pops the field menu up with the word as its title, and the
// field chosen writes the log INI file.

#include <gtest/gtest.h>

#include <QMenu>
#include <fstream>

#include "WindowRig.h"

namespace quelp {
namespace {

TEST(WordCatchWindow, SelectionPopsTheFieldMenuUpAndTheFieldExports) {
    test::WindowRig rig;
    const std::string ini = rig.dir.File("loginput.ini");
    std::ofstream(rig.dir.File("QUELP.INI")) << "[Quelp]\nExportIniFile=" << ini << "\n";
    rig.Start();
    ui::RxMemo& memo = rig.form.Memo();
    memo.SetWholeText("cq de dl1abc k\r\n");
    QTextCursor cursor = memo.textCursor();
    cursor.setPosition(5);
    cursor.setPosition(13, QTextCursor::KeepAnchor);  // " dl1abc "
    memo.setTextCursor(cursor);
    QTest::mouseRelease(memo.viewport(), Qt::LeftButton, {}, QPoint(20, 5));

    const ui::RxFormMenus& menus = rig.form.Menus();
    EXPECT_TRUE(menus.popup->isVisible());
    EXPECT_EQ(menus.popupItems.at("Title1")->text(), "dl1abc");
    EXPECT_FALSE(memo.textCursor().hasSelection());
    EXPECT_EQ(rig.app.DisplayHoldOff(), 22);
    menus.popupItems.at("Call1")->trigger();
    menus.popup->hide();
    std::ifstream in(ini, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "[QSO]\nCall=\"dl1abc\"\n");
    menus.popupItems.at("Copy1")->trigger();
    EXPECT_EQ(rig.clipboard.texts, (std::vector<std::string>{"dl1abc"}));
}

}  // namespace
}  // namespace quelp
