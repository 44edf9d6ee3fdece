// The receive text window under the core's own way of appending text: the
// operator's view and selection stay where they are, the end is followed
// only from the bottom, and bytes show through the font's character set.

#include "ui/RxMemo.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "support/FakeCaptureSink.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "text/ReceiveTextOutput.h"

namespace quelp {
namespace {

struct MemoRig {
    ui::RxMemo memo;
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    TimeMarkOptions marks;
    TextCapture capture{marks, view, clock, dialogs, nullptr};
    ReceiveTextOutput output{memo, capture, nullptr};

    MemoRig() {
        memo.resize(300, 120);
        memo.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&memo));
    }
    // Decoded words until the text runs well below the window.
    void Fill(int words) {
        for (int i = 0; i < words; ++i) Emit("cq de rv3abc ");
    }
    void Emit(std::string_view text) { output.EmitCharacter(text, false, false); }
    int Top() { return memo.verticalScrollBar()->value(); }
    int Bottom() { return memo.verticalScrollBar()->maximum(); }
};

TEST(RxMemo, FollowsTheEndFromTheBottom) {
    MemoRig rig;
    rig.Fill(60);
    EXPECT_GT(rig.Bottom(), 5);
    EXPECT_EQ(rig.Top(), rig.Bottom());
    rig.Fill(20);
    EXPECT_EQ(rig.Top(), rig.Bottom());
}

TEST(RxMemo, KeepsAViewScrolledUp) {
    MemoRig rig;
    rig.Fill(60);
    rig.memo.verticalScrollBar()->setValue(2);
    const int bottomBefore = rig.Bottom();
    rig.Fill(30);
    EXPECT_GT(rig.Bottom(), bottomBefore);
    EXPECT_EQ(rig.Top(), 2);
    EXPECT_TRUE(rig.memo.toPlainText().endsWith("rv3abc "));
}

TEST(RxMemo, KeepsTheOperatorsSelectionWhileTextArrives) {
    MemoRig rig;
    rig.Fill(60);
    rig.memo.verticalScrollBar()->setValue(1);
    rig.memo.SetSelection(3, 5);  // "de rv"
    rig.Fill(10);
    EXPECT_EQ(rig.memo.textCursor().selectedText(), "de rv");
    EXPECT_EQ(rig.Top(), 1);

    // A selection at the very bottom stays too, while the view follows.
    rig.memo.verticalScrollBar()->setValue(rig.Bottom());
    const int end = rig.memo.CharacterCount();
    rig.memo.SetSelection(end - 7, 6);  // "rv3abc"
    rig.Fill(20);
    EXPECT_EQ(rig.memo.textCursor().selectedText(), "rv3abc");
    EXPECT_EQ(rig.Top(), rig.Bottom());
}

TEST(RxMemo, ClearingUnderASelectionLeavesAnEmptyWindowThatFillsAgain) {
    MemoRig rig;
    rig.Fill(5);
    rig.memo.SetSelection(3, 4);
    rig.memo.SetWholeText("");
    EXPECT_EQ(rig.memo.CharacterCount(), 0);
    rig.Emit("k");
    EXPECT_EQ(rig.memo.toPlainText(), "k");
}

TEST(RxMemo, ShowsBytesInTheFontsCharacterSetAndGivesThemBack) {
    const struct {
        int charset;
        std::string bytes;
        QString shown;
    } cases[] = {
        {204, "\xCF\xD0\xC8\xC2\xC5\xD2", QString::fromUtf8("ПРИВЕТ")},
        {0, "\xC5\xC4\xD6", QString::fromUtf8("ÅÄÖ")},
        {161, "\xC1\xC2\xC3", QString::fromUtf8("ΑΒΓ")},
        {238, "\x8A\xC8", QString::fromUtf8("ŠČ")},
    };
    for (const auto& c : cases) {
        ui::RxMemo memo;
        FontSettings font;
        font.Charset = c.charset;
        memo.ApplyFont(font);
        memo.AppendAtEnd(c.bytes);
        EXPECT_EQ(memo.toPlainText(), c.shown) << c.charset;
        EXPECT_EQ(memo.WholeText(), c.bytes) << c.charset;
    }
}

TEST(RxMemo, ANewCharacterSetShowsTheSameBytesAnew) {
    ui::RxMemo memo;
    memo.AppendAtEnd("\xC0\xC1");
    EXPECT_EQ(memo.toPlainText(), QString::fromUtf8("АБ"));  // Cyrillic by design
    FontSettings western;
    western.Charset = 0;
    memo.ApplyFont(western);
    EXPECT_EQ(memo.toPlainText(), QString::fromUtf8("ÀÁ"));
    EXPECT_EQ(memo.WholeText(), "\xC0\xC1");
}

TEST(RxMemo, LinesEndOnceWhateverTheBreak) {
    ui::RxMemo memo;
    memo.SetWholeText("one\r\ntwo\nthree\rfour");
    EXPECT_EQ(memo.blockCount(), 4);
    EXPECT_EQ(memo.WholeText(), "one\ntwo\nthree\nfour");
}

}  // namespace
}  // namespace quelp
