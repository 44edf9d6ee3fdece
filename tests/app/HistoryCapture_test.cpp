#include <gtest/gtest.h>

#include <memory>

#include "app/EventLoopQueue.h"
#include "app/HistoryTestRig.h"
#include "audio/SoundIn.h"
#include "support/FakeSoundDriver.h"

namespace quelp {
namespace {

using test::HistoryRig;
using test::ReadBytes;
using test::U32At;
using Messages = std::vector<std::pair<std::string, std::string>>;

TEST(WaveCapture, ClosedNormallyTheHeaderMatchesTheSamples) {
    HistoryRig rig;
    const std::string path = rig.dir.File("cap.wav");
    rig.dialogs.answers = {path};
    rig.app.OpenWaveCaptureFile1Click();

    ASSERT_EQ(rig.dialogs.asked.size(), 1u);
    EXPECT_EQ(rig.dialogs.asked[0].title, "Open wave capture file");
    EXPECT_EQ(rig.dialogs.asked[0].filter, "Wave files|*.wav|All files|*.*");
    EXPECT_TRUE(rig.dialogs.asked[0].promptOverwrite);
    EXPECT_TRUE(rig.app.WaveCaptureOpen());
    EXPECT_FALSE(rig.view.enabled[UiItem::OpenWaveCaptureFile1]);
    EXPECT_TRUE(rig.view.enabled[UiItem::CloseWaveCaptureFile1]);
    EXPECT_EQ(rig.app.DisplayHoldOff.load(), 0);

    for (int i = 0; i < 5; ++i) EXPECT_TRUE(rig.app.WriteWaveCaptureBlock(HistoryRig::Block(-3)));
    EXPECT_TRUE(rig.app.WriteWaveCaptureBlock(std::vector<int16_t>(100, 9)));
    rig.app.CloseWaveCaptureFile1Click();

    EXPECT_EQ(rig.view.messages, (Messages{{"Wave capture file was closed", "File Closed"}}));
    EXPECT_FALSE(rig.app.WaveCaptureOpen());
    EXPECT_TRUE(rig.view.enabled[UiItem::OpenWaveCaptureFile1]);
    EXPECT_FALSE(rig.view.enabled[UiItem::CloseWaveCaptureFile1]);
    const auto bytes = ReadBytes(path);
    const std::uint32_t data = U32At(bytes, 40);
    EXPECT_EQ(data, (5u * 2048u + 100u) * 2u);
    EXPECT_EQ(data, bytes.size() - 44);
    EXPECT_EQ(U32At(bytes, 4), 36 + data);
    EXPECT_EQ(test::SampleAt(bytes, 0), -3);
    EXPECT_EQ(test::SampleAt(bytes, 5 * 2048 + 99), 9);
    // Once closed, blocks no longer go in.
    EXPECT_TRUE(rig.app.WriteWaveCaptureBlock(HistoryRig::Block(1)));
    EXPECT_EQ(ReadBytes(path).size(), bytes.size());
}

TEST(WaveCapture, DestroyingTheApplicationCompletesTheHeader) {
    test::TempDir dir;
    const std::string path = dir.File("cap.wav");
    {
        HistoryRig rig;
        ASSERT_TRUE(rig.app.OpenWaveCaptureFileByName(path));
        for (int i = 0; i < 3; ++i) rig.app.WriteWaveCaptureBlock(HistoryRig::Block(5));
    }
    const auto bytes = ReadBytes(path);
    EXPECT_EQ(U32At(bytes, 40), 3u * 4096u);
    EXPECT_EQ(U32At(bytes, 40), bytes.size() - 44);
    EXPECT_EQ(U32At(bytes, 4), 36u + 3u * 4096u);
}

TEST(WaveCapture, CapturePanelShowsWhichFilesAreOpen) {
    HistoryRig rig;
    auto panel = [&] { return rig.view.Status(panel::Capture); };
    // Wave first, then text; text closed first, then wave.
    ASSERT_TRUE(rig.app.OpenWaveCaptureFileByName(rig.dir.File("a.wav")));
    EXPECT_EQ(panel(), "CapW");
    rig.app.Capture().OpenCaptureFileByName("a.txt");
    EXPECT_EQ(panel(), "T+W");
    rig.app.Capture().CloseCaptureFile1Click();
    EXPECT_EQ(panel(), "CapW");
    rig.app.CloseWaveCaptureFile1Click();
    EXPECT_EQ(panel(), "");
    // Text first, then wave; wave closed first, then text.
    rig.app.Capture().OpenCaptureFileByName("b.txt");
    EXPECT_EQ(panel(), "CapT");
    ASSERT_TRUE(rig.app.OpenWaveCaptureFileByName(rig.dir.File("b.wav")));
    EXPECT_EQ(panel(), "T+W");
    rig.app.CloseWaveCaptureFile1Click();
    EXPECT_EQ(panel(), "CapT");
    rig.app.Capture().CloseCaptureFile1Click();
    EXPECT_EQ(panel(), "");
}

TEST(WaveCapture, AFileThatCannotBeCreatedLeavesTheCaptureOff) {
    HistoryRig rig;
    rig.dialogs.answers = {rig.dir.File("missing/cap.wav")};
    rig.app.OpenWaveCaptureFile1Click();
    EXPECT_EQ(rig.view.messages, (Messages{{"Wave File Open Error!", "File Error"}}));
    EXPECT_FALSE(rig.app.WaveCaptureOpen());
    EXPECT_TRUE(rig.view.enabled[UiItem::OpenWaveCaptureFile1]);
    EXPECT_EQ(rig.view.Status(panel::Capture), "");
    EXPECT_TRUE(rig.app.WriteWaveCaptureBlock(HistoryRig::Block(1)));  // nothing to write to
}

TEST(WaveCapture, OpeningAgainClosesTheFirstFileProperly) {
    HistoryRig rig;
    const std::string first = rig.dir.File("first.wav");
    ASSERT_TRUE(rig.app.OpenWaveCaptureFileByName(first));
    rig.app.WriteWaveCaptureBlock(HistoryRig::Block(2));
    ASSERT_TRUE(rig.app.OpenWaveCaptureFileByName(rig.dir.File("second.wav")));
    const auto bytes = ReadBytes(first);
    EXPECT_EQ(U32At(bytes, 40), 4096u);
    EXPECT_EQ(bytes.size(), 44u + 4096u);
    EXPECT_TRUE(rig.app.WaveCaptureOpen());
    EXPECT_EQ(rig.view.Status(panel::Capture), "CapW");
}

TEST(WaveCapture, NestedOpenAndCloseReturnAtOnce) {
    HistoryRig rig;
    int nestedOpens = 0;
    rig.dialogs.whileAsking = [&] {
        // Alt+V through the dialog's message loop.
        EXPECT_EQ(rig.app.DisplayHoldOff.load(), 22);
        if (nestedOpens++ == 0) rig.app.OpenWaveCaptureFile1Click();
    };
    rig.dialogs.answers = {rig.dir.File("cap.wav")};
    rig.app.OpenWaveCaptureFile1Click();
    EXPECT_EQ(rig.dialogs.asked.size(), 1u);
    EXPECT_TRUE(rig.app.WaveCaptureOpen());

    int nestedCloses = 0;
    rig.view.duringMessage = [&] {
        if (nestedCloses++ == 0) rig.app.CloseWaveCaptureFile1Click();
    };
    rig.app.CloseWaveCaptureFile1Click();
    EXPECT_EQ(rig.view.messages, (Messages{{"Wave capture file was closed", "File Closed"}}));

    // Both guards are clear again afterwards.
    rig.view.duringMessage = nullptr;
    rig.dialogs.whileAsking = nullptr;
    rig.dialogs.answers = {rig.dir.File("again.wav")};
    rig.app.OpenWaveCaptureFile1Click();
    EXPECT_TRUE(rig.app.WaveCaptureOpen());
    rig.app.CloseWaveCaptureFile1Click();
    EXPECT_FALSE(rig.app.WaveCaptureOpen());
    EXPECT_EQ(rig.view.messages.size(), 2u);
}

// The live input wired to the application as the sound input expects it.
struct LiveRig : HistoryRig {
    test::FakeSoundDriver driver;
    EventLoopQueue events{WM_BUFFERDONE};
    std::atomic<bool> fileDecoding{false};
    SoundIn in{driver,
               app.Params(),
               view,
               events,
               {app.DisplayHoldOff, app.ShuttingDown, fileDecoding},
               {nullptr, nullptr, [this](std::span<const int16_t> b) { app.StoreHistoryBlock(b); },
                [this] { return app.WaveCaptureOpen(); },
                [this](std::span<const int16_t> b) { return app.WriteWaveCaptureBlock(b); },
                [this] { app.CloseWaveCaptureFile1Click(); }, nullptr}};

    void Feed(int16_t value) {
        std::vector<int16_t> frame{value};
        ASSERT_TRUE(driver.CompleteNext(frame));
        events.Dispatch([this](uint32_t) { in.InputBufferDone(); });
    }
};

TEST(WaveCapture, LiveBlocksReachHistoryAndCaptureUntilAWriteFails) {
    LiveRig rig;
    rig.app.Startup.createHistory();
    rig.in.OpenSoundInput();
    ASSERT_TRUE(rig.app.OpenWaveCaptureFileByName("/dev/full"));
    // The stream's buffer hides the full device for a block or two.
    for (int i = 1; i <= 6 && rig.app.WaveCaptureOpen(); ++i) rig.Feed(static_cast<int16_t>(i));
    EXPECT_FALSE(rig.app.WaveCaptureOpen());
    EXPECT_EQ(rig.view.messages,
              (Messages{{"Wave capture file write error!", "File Error"},
                        {"There was errors in wave capture file!", "File Error"}}));
    EXPECT_EQ(rig.view.Status(panel::Capture), "");

    // Recording into the history goes on; the newest block is the last one fed.
    rig.Feed(77);
    const std::string saved = rig.app.SaveHistory(1, false);
    ASSERT_FALSE(saved.empty());
    const auto bytes = ReadBytes(saved);
    EXPECT_EQ(test::SampleAt(bytes, (bytes.size() - 44) / 2 - 1), 77);
    rig.in.StopSoundInput();
}

}  // namespace
}  // namespace quelp
