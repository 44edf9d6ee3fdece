#include "text/ReceiveTextOutput.h"

#include <gtest/gtest.h>
#include <atomic>

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
        : capture(params, view, clock, dialogs, &sink, holdOff),
          out(params, tables, rx, capture, &exchange) {
        rx.columns = 10;
        rx.visibleLines = 3;
    }

    // Fills the window with `lines` full lines of "x".
    void Fill(int lines) {
        rx.SetWholeText(std::string(static_cast<std::size_t>(lines * rx.columns), 'x'));
        rx.selStart = rx.CharacterCount();
        rx.calls.clear();
    }

    Quelp_Params params;
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeCaptureSink sink;
    test::FakeExchangeLibrary exchange;
    test::FakeReceiveText rx;
    CharacterTables tables;
    std::atomic<int> holdOff{0};
    TextCapture capture;
    ReceiveTextOutput out;
};

TEST_F(ReceiveTextOutputTest, AppendsTheLookedUpTextAndFollowsAtTheBottom) {
    Fill(5);                // lines 0..5, the last one empty
    rx.top = 3;             // lines 3..5 visible: at the bottom
    out.EmitCharacter(42);  // AR
    out.EmitCharacter(0);
    EXPECT_EQ(rx.text.substr(50), "AR ");
    EXPECT_EQ(rx.calls.front(), "suspend");
    EXPECT_EQ(rx.repaints, 2);  // once per character
    EXPECT_EQ(rx.selStart, 53);
    for (int i = 0; i < 10; ++i) out.EmitCharacter(5);
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
        for (int i = 0; i < 25; ++i) out.EmitCharacter(2);
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
    out.EmitCharacter(3);
    EXPECT_EQ(rx.selStart, 3);
    EXPECT_EQ(rx.selLength, 4);
    // A caret placed inside the text is the operator's too.
    rx.SetSelection(5, 0);
    out.EmitCharacter(3);
    EXPECT_EQ(rx.selStart, 5);
    EXPECT_EQ(rx.selLength, 0);
    // A caret at the end moves on with the text.
    rx.SetSelection(rx.CharacterCount(), 0);
    out.EmitCharacter(3);
    EXPECT_EQ(rx.selStart, rx.CharacterCount());
    EXPECT_EQ(rx.text.substr(20), "ttt");
}

TEST_F(ReceiveTextOutputTest, ExchangeLibraryGetsEveryByteOnlyWhileAChannelIsSet) {
    params.ExCanal = 1;
    out.EmitCharacter(42);  // "AR": two bytes
    out.EmitCharacter(0);
    out.EmitCharacter(45);  // undefined in English: its picture
    EXPECT_EQ(exchange.received, "AR { . - - . - }");
    params.ExCanal = 0;
    out.EmitCharacter(2);
    EXPECT_EQ(exchange.received, "AR { . - - . - }");
    EXPECT_EQ(rx.text, "AR { . - - . - }e");
}

TEST_F(ReceiveTextOutputTest, SelectedTableDecidesTheBytes) {
    params.Charset = charset::Russian;
    out.EmitCharacter(2);
    params.Charset = charset::Swedish;
    out.EmitCharacter(21);
    EXPECT_EQ(rx.text, "\xE5\xE4");
}

TEST_F(ReceiveTextOutputTest, CaptureFileGetsTextAndTimeMarksAfterWordSpaces) {
    params.PutTimeMarks = 1;
    clock.tick = 100000;  // 100 s after system start
    capture.OpenCaptureFileByName("cap.txt");
    ASSERT_TRUE(capture.CaptureOpen());
    out.EmitCharacter(42);
    out.EmitCharacter(0);
    EXPECT_EQ(sink.contents, "AR \r\n<*** 07-Dec-2026 ***>\r\n<14:05:09> ");
    EXPECT_EQ(rx.text, "AR ");  // marks go into the file only
}

}  // namespace
}  // namespace quelp
