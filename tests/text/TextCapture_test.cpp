#include "text/TextCapture.h"

#include <gtest/gtest.h>

#include "support/FakeCaptureSink.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"

namespace quelp {
namespace {

class TextCaptureTest : public ::testing::Test {
  protected:
    TextCaptureTest() : capture(marks, view, clock, dialogs, &sink) { clock.tick = 5000000; }
    void Open() {
        ASSERT_TRUE(capture.OpenCaptureFileByName("capture.txt"));
        ASSERT_TRUE(capture.CaptureOpen());
        view.messages.clear();
    }
    void WordAndSpace(std::string_view word) {
        capture.Write(word, false);
        capture.Write(" ", true);
    }

    TimeMarkOptions marks;
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeCaptureSink sink;
    TextCapture capture;
};

TEST_F(TextCaptureTest, MenuOpenAsksForAFileAndShowsTheState) {
    dialogs.answers.push_back(std::nullopt);  // cancelled
    capture.OpenCaptureFile1Click();
    EXPECT_FALSE(capture.CaptureOpen());
    EXPECT_TRUE(sink.openedPaths.empty());

    dialogs.answers.push_back("/tmp/log.txt");
    capture.OpenCaptureFile1Click();
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[1].title, "Open text capture file");
    EXPECT_EQ(dialogs.asked[1].filter, "Text files|*.txt|All files|*.*");
    EXPECT_FALSE(dialogs.asked[1].promptOverwrite);  // the file is appended to
    EXPECT_EQ(sink.openedPaths, std::vector<std::string>{"/tmp/log.txt"});
    EXPECT_TRUE(capture.CaptureOpen());
    EXPECT_FALSE(view.enabled[UiItem::OpenCaptureFile1]);
    EXPECT_TRUE(view.enabled[UiItem::CloseCaptureFile1]);
    EXPECT_EQ(view.Status(panel::Capture), "CapT");
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(TextCaptureTest, OpenFailureShowsTheMessageAndChangesNothing) {
    sink.refuseOpen = true;
    EXPECT_FALSE(capture.OpenCaptureFileByName("locked.txt"));
    EXPECT_FALSE(capture.CaptureOpen());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0],
              std::make_pair(std::string("File Open Error!"), std::string("File Error")));
    EXPECT_EQ(view.enabled.count(UiItem::OpenCaptureFile1), 0u);
    EXPECT_EQ(view.status.count(panel::Capture), 0u);

    // Without a sink every open fails the same way.
    TextCapture none(marks, view, clock, dialogs, nullptr);
    EXPECT_FALSE(none.OpenCaptureFileByName("x.txt"));
    EXPECT_FALSE(none.CaptureOpen());
    EXPECT_EQ(view.messages.size(), 2u);
}

TEST_F(TextCaptureTest, CloseReportsTheOutcome) {
    struct Case {
        bool failOnClose;
        CaptureCloseResult result;
        std::pair<std::string, std::string> message;
    };
    const Case cases[] = {
        {false, CaptureCloseResult::Closed, {"Capture file was closed", "File Closed"}},
        {true,
         CaptureCloseResult::WriteErrors,
         {"There was errors in capture file!", "File Error"}},
    };
    for (const Case& c : cases) {
        sink.failOnClose = c.failOnClose;
        Open();
        EXPECT_EQ(capture.CloseCaptureFile1Click(), c.result);
        EXPECT_FALSE(capture.CaptureOpen());
        EXPECT_FALSE(sink.open);
        ASSERT_EQ(view.messages.size(), 1u);
        EXPECT_EQ(view.messages[0], c.message);
        EXPECT_TRUE(view.enabled[UiItem::OpenCaptureFile1]);
        EXPECT_FALSE(view.enabled[UiItem::CloseCaptureFile1]);
        EXPECT_EQ(view.Status(panel::Capture), "");
    }
    // Closing with nothing open shows no message.
    view.messages.clear();
    EXPECT_EQ(capture.CloseCaptureFile1Click(), CaptureCloseResult::NothingOpen);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(TextCaptureTest, StatusPanelShowsBothCaptures) {
    struct Case {
        bool text, wave;
        const char* shown;
    };
    const Case cases[] = {
        {false, false, ""}, {true, false, "CapT"}, {false, true, "CapW"}, {true, true, "T+W"}};
    for (const Case& c : cases) {
        if (c.text && !capture.CaptureOpen()) Open();
        if (!c.text && capture.CaptureOpen()) {
            static_cast<void>(capture.CloseCaptureFile1Click());
        }
        capture.WaveCaptureOn = c.wave;
        capture.ShowCaptureState();
        EXPECT_EQ(view.Status(panel::Capture), c.shown);
    }
}

TEST_F(TextCaptureTest, OpeningAgainClosesTheOldFileFirst) {
    Open();
    capture.Write("abc", false);
    EXPECT_TRUE(capture.OpenCaptureFileByName("second.txt"));
    EXPECT_EQ(sink.closes, 1);
    EXPECT_TRUE(capture.CaptureOpen());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].second, "File Closed");
}

// A dialog whose message loop delivers Alt+L once more.
class ReenteringDialogs : public test::FakeFileDialogs {
  public:
    std::optional<std::string> AskSave(const FileDialogRequest& request) override {
        if (capture != nullptr) capture->OpenCaptureFile1Click();
        return FakeFileDialogs::AskSave(request);
    }
    TextCapture* capture = nullptr;
};

// A file whose close lets the message loop run Alt+L again.
class ReenteringSink : public test::FakeCaptureSink {
  public:
    bool Close() override {
        if (capture != nullptr) nested = capture->CloseCaptureFile1Click();
        return FakeCaptureSink::Close();
    }
    TextCapture* capture = nullptr;
    CaptureCloseResult nested = CaptureCloseResult::NothingOpen;
};

TEST(TextCaptureReentry, OpenAndCloseIgnoreNestedCalls) {
    TimeMarkOptions marks;
    test::FakeMainView view;
    test::FakeClock clock;
    ReenteringDialogs dialogs;
    ReenteringSink sink;
    TextCapture capture(marks, view, clock, dialogs, &sink);
    dialogs.capture = &capture;
    sink.capture = &capture;

    dialogs.answers.push_back("a.txt");
    capture.OpenCaptureFile1Click();
    EXPECT_EQ(dialogs.asked.size(), 1u);
    EXPECT_TRUE(capture.CaptureOpen());

    EXPECT_EQ(capture.CloseCaptureFile1Click(), CaptureCloseResult::Closed);
    EXPECT_EQ(sink.nested, CaptureCloseResult::Busy);
    EXPECT_EQ(sink.closes, 1);
    EXPECT_EQ(view.messages.size(), 1u);
}

TEST_F(TextCaptureTest, TimeMarksAfterWordSpacesAtMostOncePerMinute) {
    marks.PutTimeMarks = 1;
    Open();
    WordAndSpace("cq");
    clock.Advance(30000);
    clock.utc.second = 39;
    WordAndSpace("de");  // 30 s later: no mark
    clock.Advance(31000);
    clock.utc.minute = 6;
    clock.utc.second = 10;
    WordAndSpace("dl1abc");  // 61 s after the first: a mark, same hour
    clock.Advance(3600000);
    clock.utc.hour = 15;
    WordAndSpace("k");  // a new hour: a date line again
    EXPECT_EQ(sink.contents,
              "cq \r\n<*** 07-Dec-2026 ***>\r\n<14:05:09> de dl1abc \r\n<14:06:10> k "
              "\r\n<*** 07-Dec-2026 ***>\r\n<15:06:10> ");
}

TEST_F(TextCaptureTest, TimeMarkRules) {
    struct Case {
        const char* name;
        int putTimeMarks;
        int useUtc;
        std::uint32_t tick;  // now; the last mark is at tick 0
        int month;
        bool wordSpace;
        std::string expected;
    };
    const Case cases[] = {
        {"characters never mark", 1, 1, 5000000, 12, false, "x"},
        {"marks off", 0, 1, 5000000, 12, true, "x"},
        {"first minute after system start", 1, 1, 59999, 12, true, "x"},
        {"exactly a minute", 1, 1, 60000, 12, true, "x\r\n<*** 07-Dec-2026 ***>\r\n<14:05:09> "},
        {"local time", 1, 0, 60000, 12, true, "x\r\n<*** 07-Dec-2026 ***>\r\n<15:05:09> "},
        {"month out of range", 1, 1, 60000, 13, true,
         "x\r\n<*** 07-?\?\?-2026 ***>\r\n<14:05:09> "},
        {"month zero", 1, 1, 60000, 0, true, "x\r\n<*** 07-?\?\?-2026 ***>\r\n<14:05:09> "},
    };
    for (const Case& c : cases) {
        test::FakeCaptureSink file;
        TextCapture cap(marks, view, clock, dialogs, &file);
        ASSERT_TRUE(cap.OpenCaptureFileByName("t.txt"));
        marks.PutTimeMarks = c.putTimeMarks;
        marks.UseUTC = c.useUtc;
        clock.tick = c.tick;
        clock.utc.month = c.month;
        clock.local.month = c.month;
        cap.Write("x", c.wordSpace);
        EXPECT_EQ(file.contents, c.expected) << c.name;
    }
}

TEST_F(TextCaptureTest, SwitchingMarksOnMarksTheNextWordSpace) {
    marks.PutTimeMarks = 1;
    Open();
    WordAndSpace("a");
    clock.Advance(1000);
    capture.TimeMarksSwitchedOn();
    EXPECT_EQ(capture.LastMarkTick, clock.tick - 61000u);
    WordAndSpace("b");
    EXPECT_EQ(sink.contents, "a \r\n<*** 07-Dec-2026 ***>\r\n<14:05:09> b \r\n<14:05:09> ");

    // The tick counter wraps: the unsigned difference still counts.
    capture.LastMarkTick = 0xFFFFFF00u;
    clock.tick = 60000;
    sink.contents.clear();
    WordAndSpace("c");
    EXPECT_EQ(sink.contents, "c \r\n<14:05:09> ");
}

TEST_F(TextCaptureTest, NothingIsWrittenWhileClosedAndReopeningAppends) {
    capture.Write("lost", false);
    EXPECT_TRUE(sink.contents.empty());
    Open();
    capture.Write("one", false);
    static_cast<void>(capture.CloseCaptureFile1Click());
    capture.Write("gone", false);
    Open();
    capture.Write("two", false);
    EXPECT_EQ(sink.contents, "onetwo");
}

}  // namespace
}  // namespace quelp
