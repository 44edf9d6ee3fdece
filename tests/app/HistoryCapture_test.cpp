#include <gtest/gtest.h>

#include "app/HistoryTestRig.h"

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
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);

    for (int i = 0; i < 5; ++i) rig.Feed(-3);
    rig.Feed(9);
    EXPECT_EQ(rig.app.CloseWaveCaptureFile1Click(), WaveCloseResult::Closed);

    EXPECT_EQ(rig.view.messages, (Messages{{"Wave capture file was closed", "File Closed"}}));
    EXPECT_FALSE(rig.app.WaveCaptureOpen());
    EXPECT_TRUE(rig.view.enabled[UiItem::OpenWaveCaptureFile1]);
    EXPECT_FALSE(rig.view.enabled[UiItem::CloseWaveCaptureFile1]);
    const auto bytes = ReadBytes(path);
    const std::uint32_t data = U32At(bytes, 40);
    EXPECT_EQ(data, 6u * 2048u * 2u);
    EXPECT_EQ(data, bytes.size() - 44);
    EXPECT_EQ(U32At(bytes, 4), 36 + data);
    EXPECT_EQ(test::SampleAt(bytes, 0), -3);
    EXPECT_EQ(test::SampleAt(bytes, 5 * 2048 - 1), -3);
    EXPECT_EQ(test::SampleAt(bytes, 5 * 2048), 9);
    EXPECT_EQ(test::SampleAt(bytes, 6 * 2048 - 1), 9);
    // Once closed, blocks no longer go in.
    rig.Feed(1);
    EXPECT_EQ(ReadBytes(path).size(), bytes.size());
}

TEST(WaveCapture, DestroyingTheApplicationCompletesTheHeader) {
    test::TempDir dir;
    const std::string path = dir.File("cap.wav");
    {
        HistoryRig rig;
        ASSERT_TRUE(rig.app.OpenWaveCaptureFileByName(path));
        for (int i = 0; i < 3; ++i) rig.Feed(5);
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
    ASSERT_TRUE(rig.app.OpenCaptureFileByName("a.txt"));
    EXPECT_EQ(panel(), "T+W");
    EXPECT_EQ(rig.app.CloseCaptureFile1Click(), CaptureCloseResult::Closed);
    EXPECT_EQ(panel(), "CapW");
    EXPECT_EQ(rig.app.CloseWaveCaptureFile1Click(), WaveCloseResult::Closed);
    EXPECT_EQ(panel(), "");
    // Text first, then wave; wave closed first, then text.
    ASSERT_TRUE(rig.app.OpenCaptureFileByName("b.txt"));
    EXPECT_EQ(panel(), "CapT");
    ASSERT_TRUE(rig.app.OpenWaveCaptureFileByName(rig.dir.File("b.wav")));
    EXPECT_EQ(panel(), "T+W");
    EXPECT_EQ(rig.app.CloseWaveCaptureFile1Click(), WaveCloseResult::Closed);
    EXPECT_EQ(panel(), "CapT");
    EXPECT_EQ(rig.app.CloseCaptureFile1Click(), CaptureCloseResult::Closed);
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
    rig.Feed(1);  // nothing to write to, and nothing to report
    EXPECT_EQ(rig.view.messages.size(), 1u);
}

TEST(WaveCapture, OpeningAgainClosesTheFirstFileProperly) {
    HistoryRig rig;
    const std::string first = rig.dir.File("first.wav");
    ASSERT_TRUE(rig.app.OpenWaveCaptureFileByName(first));
    rig.Feed(2);
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
        EXPECT_EQ(rig.app.DisplayHoldOff(), 22);
        if (nestedOpens++ == 0) rig.app.OpenWaveCaptureFile1Click();
    };
    rig.dialogs.answers = {rig.dir.File("cap.wav")};
    rig.app.OpenWaveCaptureFile1Click();
    EXPECT_EQ(rig.dialogs.asked.size(), 1u);
    EXPECT_TRUE(rig.app.WaveCaptureOpen());

    int nestedCloses = 0;
    rig.view.duringMessage = [&] {
        if (nestedCloses++ == 0) {
            EXPECT_EQ(rig.app.CloseWaveCaptureFile1Click(), WaveCloseResult::Busy);
        }
    };
    EXPECT_EQ(rig.app.CloseWaveCaptureFile1Click(), WaveCloseResult::Closed);
    EXPECT_EQ(rig.view.messages, (Messages{{"Wave capture file was closed", "File Closed"}}));

    // Both guards are clear again afterwards.
    rig.view.duringMessage = nullptr;
    rig.dialogs.whileAsking = nullptr;
    rig.dialogs.answers = {rig.dir.File("again.wav")};
    rig.app.OpenWaveCaptureFile1Click();
    EXPECT_TRUE(rig.app.WaveCaptureOpen());
    EXPECT_EQ(rig.app.CloseWaveCaptureFile1Click(), WaveCloseResult::Closed);
    EXPECT_FALSE(rig.app.WaveCaptureOpen());
    EXPECT_EQ(rig.view.messages.size(), 2u);
}

TEST(WaveCapture, LiveBlocksReachHistoryAndCaptureUntilAWriteFails) {
    HistoryRig rig;
    rig.StartHistory();
    ASSERT_TRUE(rig.app.OpenWaveCaptureFileByName("/dev/full"));
    // The stream's buffer hides the full device for a block or two.
    int fed = 0;
    while (fed < 6 && rig.app.WaveCaptureOpen()) rig.Feed(static_cast<int16_t>(++fed));
    EXPECT_FALSE(rig.app.WaveCaptureOpen());
    EXPECT_EQ(rig.view.messages,
              (Messages{{"Wave capture file write error!", "File Error"},
                        {"There was errors in wave capture file!", "File Error"}}));
    EXPECT_EQ(rig.view.Status(panel::Capture), "");

    // Recording into the history and decoding go on; the newest block is the
    // last one fed.
    rig.Feed(77);
    EXPECT_EQ(rig.view.displayUpdates, fed + 1);
    const std::string saved = rig.app.SaveHistory(1, false);
    ASSERT_FALSE(saved.empty());
    const auto bytes = ReadBytes(saved);
    EXPECT_EQ(test::SampleAt(bytes, (bytes.size() - 44) / 2 - 1), 77);
    rig.app.StopSoundInput();
}

}  // namespace
}  // namespace quelp
