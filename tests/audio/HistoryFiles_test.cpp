#include "audio/HistoryFiles.h"

#include <gtest/gtest.h>

#include "audio/WavBytes.h"
#include "audio/WaveRead.h"
#include "support/FakeClock.h"
#include "support/FakeMainView.h"

namespace quelp {
namespace {

namespace fs = std::filesystem;
using test::FakeClock;
using test::FakeMainView;
using test::TempDir;

// Records the files the application is asked to decode.
struct RecordingDecoder final : HistoryDecoder {
    void DecodeHistoryFile(const std::string& path) override { paths.push_back(path); }
    std::vector<std::string> paths;
};

struct HistoryFixture : ::testing::Test {
    HistoryFixture() {
        EXPECT_EQ(history.Allocate(60, 11025.0), HistoryAllocateResult::Ok);
        std::vector<int16_t> block(2048, 7);
        for (int i = 0; i < 20; ++i) EXPECT_EQ(history.Store(block.data()), HistoryStoreResult::Ok);
    }
    uint32_t DataBytes(const fs::path& p) {
        TWaveRead r;
        EXPECT_EQ(r.Open(p.string()), WaveOpenResult::Ok);
        return r.Remaining();
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& [text, caption] : view.messages) texts.push_back(caption + ": " + text);
        return texts;
    }

    TempDir dir;
    TWaveBuff history;
    FakeMainView view;
    FakeClock clock;
    RecordingDecoder decoder;
    std::vector<std::string>& decoded = decoder.paths;
    HistoryFiles files{history, view, clock, &decoder, dir.path()};
};

TEST(HistoryNames, SubtractsAcrossDayMonthAndYearEnds) {
    const struct {
        CivilTime now;
        int64_t seconds;
        const char* want;
    } cases[] = {
        {{2026, 12, 7, 14, 3, 25}, 60, "Waves/2026-12-07/14_02_25.wav"},
        {{2026, 12, 8, 0, 0, 30}, 60, "Waves/2026-12-07/23_59_30.wav"},
        {{2026, 3, 1, 0, 0, 5}, 10, "Waves/2026-02-28/23_59_55.wav"},
        {{2024, 3, 1, 0, 0, 5}, 10, "Waves/2024-02-29/23_59_55.wav"},
        {{2027, 1, 1, 0, 0, 0}, 1, "Waves/2026-12-31/23_59_59.wav"},
        {{2026, 5, 1, 0, 0, 59}, 60, "Waves/2026-04-30/23_59_59.wav"},
        {{2026, 5, 1, 10, 0, 0}, 0, "Waves/2026-05-01/10_00_00.wav"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HistoryFiles::SaveFileName(HistoryFiles::MinusSeconds(c.now, c.seconds)), c.want);
    }
}

TEST_F(HistoryFixture, ReplayWritesTheTemporaryFileAndDecodesIt) {
    files.ReplayButtonClick(false);
    const fs::path temp = dir.path() / "~~~tmp~~.wav";
    ASSERT_EQ(decoded, std::vector<std::string>{temp.string()});
    EXPECT_EQ(DataBytes(temp), 54u * 4096);
    // Disabled by the click; the decode re-enables them when it ends.
    EXPECT_FALSE(view.enabled[UiItem::ReplayButton]);
    EXPECT_FALSE(view.enabled[UiItem::DecodeFromFile1]);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(HistoryFixture, ReplayDuringADecodeLeavesEverythingAlone) {
    const fs::path temp = dir.path() / "~~~tmp~~.wav";
    test::WriteFile(temp.string(), {1, 2, 3});  // the file the running decode reads
    files.ReplayButtonClick(true);
    files.ReplayHistory(10, true);
    EXPECT_TRUE(decoded.empty());
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(fs::file_size(temp), 3u);
}

TEST_F(HistoryFixture, ReplayWithoutHistoryOrFileReEnablesControls) {
    TWaveBuff none;
    HistoryFiles noHistory(none, view, clock, nullptr, dir.path());
    noHistory.ReplayButtonClick(false);
    EXPECT_TRUE(view.enabled[UiItem::ReplayButton]);
    EXPECT_TRUE(view.enabled[UiItem::DecodeFromFile1]);
    EXPECT_FALSE(fs::exists(dir.path() / "~~~tmp~~.wav"));

    HistoryFiles nowhere(history, view, clock, &decoder, dir.path() / "missing");
    nowhere.ReplayButtonClick(false);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error: Temporary wave file saving Error!"});
    EXPECT_TRUE(view.enabled[UiItem::ReplayButton]);
    EXPECT_TRUE(view.enabled[UiItem::DecodeFromFile1]);
}

TEST_F(HistoryFixture, SaveFilesUnderThePreviousDayAcrossMidnight) {
    clock.utc = {2026, 12, 8, 0, 0, 30};
    files.SaveButtonClick();
    const fs::path saved = dir.path() / "Waves/2026-12-07/23_59_30.wav";
    ASSERT_TRUE(fs::exists(saved));
    EXPECT_EQ(DataBytes(saved), 323u * 4096);
    EXPECT_FALSE(fs::exists(dir.path() / "~~~tmp1~.wav"));
    EXPECT_TRUE(decoded.empty());
    EXPECT_TRUE(view.enabled[UiItem::SaveButton]);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(HistoryFixture, SavingTwiceInOneSecondOverwrites) {
    const auto first = files.SaveHistory(60, false, false);
    ASSERT_FALSE(first.empty());
    std::vector<int16_t> block(2048, -3);
    ASSERT_EQ(history.Store(block.data()), HistoryStoreResult::Ok);
    const auto second = files.SaveHistory(60, true, false);
    EXPECT_EQ(second, first);
    const auto bytes = test::ReadFile(second);
    ASSERT_EQ(bytes.size(), 44u + 323u * 4096);
    // The last sample, -3, is the newer save's.
    EXPECT_EQ(bytes[bytes.size() - 2], 0xFD);
    EXPECT_EQ(bytes.back(), 0xFF);
    EXPECT_EQ(decoded, std::vector<std::string>{second});
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(HistoryFixture, SaveAndDecodeDuringADecodeSavesButDoesNotDecode) {
    const auto name = files.SaveHistory(60, true, true);
    EXPECT_TRUE(fs::exists(name));
    EXPECT_TRUE(decoded.empty());
}

TEST_F(HistoryFixture, FolderFailureReportsAndLeavesNoTemporaryFile) {
    test::WriteFile((dir.path() / "Waves").string(), {0});  // a file where the folder goes
    EXPECT_TRUE(files.SaveHistory(60, true, false).empty());
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Error: Can not create directory!",
                                                    "Error: Temporary wave file renaming error!"}));
    EXPECT_FALSE(fs::exists(dir.path() / "~~~tmp1~.wav"));
    EXPECT_TRUE(decoded.empty());
}

TEST_F(HistoryFixture, FailedTemporaryFileNeverDeletesAnEarlierSave) {
    const auto first = files.SaveHistory(60, false, false);
    ASSERT_FALSE(first.empty());
    // The temporary file cannot be created: a folder stands in its place.
    fs::create_directory(dir.path() / "~~~tmp1~.wav");
    fs::create_directory(dir.path() / "~~~tmp1~.wav" / "keep");
    EXPECT_TRUE(files.SaveHistory(60, true, false).empty());
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Error: Temporary wave file saving error!",
                                                    "Error: Temporary wave file renaming error!"}));
    EXPECT_TRUE(fs::exists(first));
    EXPECT_EQ(DataBytes(first), 323u * 4096);
}

TEST_F(HistoryFixture, NoHistoryMeansNoSave) {
    TWaveBuff none;
    HistoryFiles noHistory(none, view, clock, nullptr, dir.path());
    noHistory.SaveButtonClick();
    EXPECT_FALSE(fs::exists(dir.path() / "Waves"));
    EXPECT_TRUE(view.messages.empty());
}

}  // namespace
}  // namespace quelp
