#include "text/ReceiveTextOutput.h"

#include <gtest/gtest.h>

#include "support/FakeCaptureSink.h"
#include "support/FakeClock.h"
#include "support/FakeExchangeLibrary.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp {
namespace {

class ReceiveTextOutputTest : public ::testing::Test {
  protected:
    ReceiveTextOutputTest()
        : capture(marks, view, clock, dialogs, &sink), out(rx, capture, &exchange) {
        rx.columns = 10;
        rx.visibleLines = 3;
    }

    // Fills the window with `lines` full lines of "x".
    void Fill(int lines) {
        rx.SetWholeText(std::string(static_cast<std::size_t>(lines * rx.columns), 'x'));
        rx.selStart = rx.CharacterCount();
        rx.calls.clear();
    }

    TimeMarkOptions marks;
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeCaptureSink sink;
    test::FakeExchangeLibrary exchange;
    test::FakeReceiveText rx;
    TextCapture capture;
    ReceiveTextOutput out;
};

TEST_F(ReceiveTextOutputTest, AppendsTheTextAndFollowsAtTheBottom) {
    Fill(5);     // lines 0..5, the last one empty
    rx.top = 3;  // lines 3..5 visible: at the bottom
    out.EmitCharacter("AR", false, false);
    out.EmitCharacter(" ", true, false);
    EXPECT_EQ(rx.text.substr(50), "AR ");
    EXPECT_EQ(rx.calls.front(), "suspend");
    EXPECT_EQ(rx.repaints, 2);  // once per character
    EXPECT_EQ(rx.selStart, 53);
    for (int i = 0; i < 10; ++i) out.EmitCharacter("a", false, false);
    EXPECT_EQ(rx.LineCount(), 7);
    EXPECT_EQ(rx.top, 4);  // the caret line 6 is the last visible line
}

TEST_F(ReceiveTextOutputTest, ViewScrolledUpStaysWhereItIs) {
    struct Case {
        int top;
        bool follows;
    };
    // 6 lines (0..5), 3 visible: the view counts as at the bottom while
    // top + 3 - 1 >= 6 - 2, i.e. from top line 2 on.
    const Case cases[] = {{0, false}, {1, false}, {2, true}, {3, true}};
    for (const Case& c : cases) {
        Fill(5);
        rx.top = c.top;
        for (int i = 0; i < 25; ++i) out.EmitCharacter("e", false, false);
        if (c.follows) {
            EXPECT_EQ(rx.top, rx.LineCount() - rx.visibleLines) << c.top;
        } else {
            EXPECT_EQ(rx.top, c.top) << c.top;
        }
    }
}

TEST_F(ReceiveTextOutputTest, OperatorSelectionSurvivesIncomingText) {
    Fill(2);
    rx.SetSelection(3, 4);
    out.EmitCharacter("t", false, false);
    EXPECT_EQ(rx.selStart, 3);
    EXPECT_EQ(rx.selLength, 4);
    // A caret placed inside the text is the operator's too.
    rx.SetSelection(5, 0);
    out.EmitCharacter("t", false, false);
    EXPECT_EQ(rx.selStart, 5);
    EXPECT_EQ(rx.selLength, 0);
    // A caret at the end moves on with the text.
    rx.SetSelection(rx.CharacterCount(), 0);
    out.EmitCharacter("t", false, false);
    EXPECT_EQ(rx.selStart, rx.CharacterCount());
    EXPECT_EQ(rx.text.substr(20), "ttt");
}

TEST_F(ReceiveTextOutputTest, ExchangeLibraryGetsEveryByteOnlyWhenAsked) {
    out.EmitCharacter("AR", false, true);
    out.EmitCharacter(" ", true, true);
    out.EmitCharacter("{ . - - . - }", false, true);
    EXPECT_EQ(exchange.received, "AR { . - - . - }");
    out.EmitCharacter("e", false, false);
    EXPECT_EQ(exchange.received, "AR { . - - . - }");
    EXPECT_EQ(rx.text, "AR { . - - . - }e");
}

TEST_F(ReceiveTextOutputTest, CaptureFileGetsTextAndTimeMarksAfterWordSpaces) {
    marks.PutTimeMarks = 1;
    clock.tick = 100000;  // 100 s after system start
    ASSERT_TRUE(capture.OpenCaptureFileByName("cap.txt"));
    out.EmitCharacter("AR", false, false);
    out.EmitCharacter(" ", true, false);
    EXPECT_EQ(sink.contents, "AR \r\n<*** 07-Dec-2026 ***>\r\n<14:05:09> ");
    EXPECT_EQ(rx.text, "AR ");  // marks go into the file only
}

}  // namespace
}  // namespace quelp
