#include <gtest/gtest.h>

#include "app/HistoryTestRig.h"

namespace quelp {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using Messages = std::vector<std::pair<std::string, std::string>>;

// The history rig, where the replay and the save-and-decode request run the
// real file decode. A decode is counted, and a test's code runs, at its
// first block (the only one drawn after at most one block was read).
struct ReplayRig : test::HistoryRig {
    ReplayRig() {
        view.duringDraw = [this] {
            if (!app.FileDecoding() || app.LastDecodeSamples() > kBlockSize) return;
            ++decodes;
            if (duringDecode) duringDecode();
        };
    }
    // Started, with `blocks` numbered blocks recorded.
    void Record(int blocks) {
        StartHistory();
        StoreNumbered(1, blocks);
    }
    bool ReplayControlsEnabled() {
        return view.enabled[UiItem::ReplayButton] && view.enabled[UiItem::DecodeFromFile1];
    }
    std::string ReplayFile() const { return (dir.path() / "~~~tmp~~.wav").string(); }
    std::string Dated(const char* name) const {
        return (dir.path() / "Waves" / "2026-12-07" / name).string();
    }
    // Whole blocks in a saved file, and the number of its first and last block.
    struct Saved {
        std::size_t blocks;
        int first;
        int last;
    };
    static Saved Inspect(const std::string& path) {
        const auto bytes = ReadBytes(path);
        const std::size_t samples = (bytes.size() - 44) / 2;
        return {samples / 2048, test::SampleAt(bytes, 0), test::SampleAt(bytes, samples - 1)};
    }
    // One decode ran, and it went through a whole file of `blocks` blocks.
    void ExpectDecodedOnce(std::size_t blocks) {
        EXPECT_EQ(decodes, 1);
        EXPECT_EQ(app.LastDecodeSamples(), blocks * kBlockSize);
    }

    int decodes = 0;
    std::function<void()> duringDecode;
};

TEST(HistoryReplay, WithoutHistoryNothingIsWrittenAndTheControlsComeBack) {
    ReplayRig rig;
    rig.StoreNumbered(1, 5);  // no history yet: ignored
    rig.app.ReplayButtonClick();
    rig.app.SaveButtonClick();
    rig.app.HistorySaveAndDecodeRequest(10);
    EXPECT_TRUE(fs::is_empty(rig.dir.path()));
    EXPECT_EQ(rig.decodes, 0);
    EXPECT_TRUE(rig.view.messages.empty());
    EXPECT_TRUE(rig.ReplayControlsEnabled());
    EXPECT_TRUE(rig.view.enabled[UiItem::SaveButton]);

    rig.StartHistory();
    EXPECT_EQ(rig.app.History().Seconds(), 60);
    EXPECT_EQ(rig.app.History().BlockCount(), 325);
}

TEST(HistoryReplay, ReplayButtonDecodesTheLastTenSeconds) {
    ReplayRig rig;
    rig.Record(100);
    bool disabledDuringDecode = false;
    rig.duringDecode = [&] {
        disabledDuringDecode =
            !rig.view.enabled[UiItem::ReplayButton] && !rig.view.enabled[UiItem::DecodeFromFile1];
    };
    rig.app.ReplayButtonClick();
    rig.ExpectDecodedOnce(54);
    const auto saved = ReplayRig::Inspect(rig.ReplayFile());
    EXPECT_EQ(saved.blocks, 54u);
    EXPECT_EQ(saved.first, 47);
    EXPECT_EQ(saved.last, 100);
    EXPECT_TRUE(disabledDuringDecode);
    EXPECT_TRUE(rig.ReplayControlsEnabled());
}

TEST(HistoryReplay, SaveButtonFilesTheLastMinuteUnderTheDayItBegan) {
    ReplayRig rig;
    rig.Record(400);            // the ring has wrapped
    rig.app.SaveButtonClick();  // at 14:05:09 UTC
    const auto saved = ReplayRig::Inspect(rig.Dated("14_04_09.wav"));
    EXPECT_EQ(saved.blocks, 323u);
    EXPECT_EQ(saved.first, 78);
    EXPECT_EQ(saved.last, 400);
    EXPECT_EQ(rig.decodes, 0);
    EXPECT_FALSE(fs::exists(rig.dir.path() / "~~~tmp1~.wav"));
    EXPECT_TRUE(rig.view.enabled[UiItem::SaveButton]);
    EXPECT_TRUE(rig.view.messages.empty());
}

TEST(HistoryReplay, RequestsOfOtherProgramsByCode) {
    const struct {
        int code;
        std::int64_t seconds;
        const char* file;  // nullptr: nothing happens; "" the replay file
        std::size_t blocks;
        bool decoded;
    } cases[] = {
        {113, 10, "14_04_59.wav", 54, false},
        {114, 10, "", 54, true},
        {115, 1000, "14_04_09.wav", 323, true},
        {114, std::int64_t{1} << 40, "", 323, true},
        {113, 0, nullptr, 0, false},
        {114, 0, nullptr, 0, false},
        {115, -5, nullptr, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.code) + " " + std::to_string(c.seconds));
        ReplayRig rig;
        rig.Record(60);
        switch (c.code) {
            case 113:
                rig.app.HistorySaveRequest(c.seconds);
                break;
            case 114:
                rig.app.HistoryReplayRequest(c.seconds);
                break;
            case 115:
                rig.app.HistorySaveAndDecodeRequest(c.seconds);
                break;
        }
        if (c.file == nullptr) {
            EXPECT_TRUE(fs::is_empty(rig.dir.path()));
            EXPECT_EQ(rig.decodes, 0);
            continue;
        }
        const std::string path = *c.file == '\0' ? rig.ReplayFile() : rig.Dated(c.file);
        EXPECT_EQ(ReplayRig::Inspect(path).blocks, c.blocks);
        EXPECT_EQ(ReplayRig::Inspect(path).last, 60);
        if (c.decoded) {
            rig.ExpectDecodedOnce(c.blocks);
        } else {
            EXPECT_EQ(rig.decodes, 0);
        }
        EXPECT_TRUE(rig.view.messages.empty());
    }
}

TEST(HistoryReplay, KeyMessageOfAnyProgramIsDispatchedByItsLowByte) {
    const struct {
        std::uint32_t word;
        std::int32_t seconds;
        const char* file;  // nullptr: nothing happens; "" the replay file
        std::size_t blocks;
    } cases[] = {
        {0x172, 10, "", 54},                // replay, whatever the upper bits
        {114, 0, nullptr, 0},               // no seconds
        {0x371, 10, "14_04_59.wav", 54},    // save
        {0x173, 1, "14_05_08.wav", 6},      // save and decode
        {5, 10, nullptr, 0},                // F5, this program's own key code
        {36, 10, nullptr, 0},               // Alt+F12
        {0x1FF, 10, nullptr, 0},            // no request of ours
        {114 + 256 * 256, -3, nullptr, 0},  // negative seconds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.word) + " " + std::to_string(c.seconds));
        ReplayRig rig;
        rig.Record(60);
        rig.app.VadCwMessage(c.word, c.seconds);
        if (c.file == nullptr) {
            EXPECT_TRUE(fs::is_empty(rig.dir.path()));
            EXPECT_EQ(rig.decodes, 0);
            continue;
        }
        const std::string path = *c.file == '\0' ? rig.ReplayFile() : rig.Dated(c.file);
        EXPECT_EQ(ReplayRig::Inspect(path).blocks, c.blocks);
    }
}

TEST(HistoryReplay, RequestsDuringADecodeLeaveItsFileAndControlsAlone) {
    ReplayRig rig;
    rig.Record(100);
    std::vector<std::uint8_t> before, after;
    bool controlsHeld = false;
    rig.duringDecode = [&] {
        before = ReadBytes(rig.ReplayFile());
        // New audio arrives, so a rewritten file would differ.
        rig.StoreNumbered(101, 150);
        rig.app.HistoryReplayRequest(10);
        rig.app.ReplayButtonClick();
        rig.app.HistorySaveAndDecodeRequest(60);
        after = ReadBytes(rig.ReplayFile());
        controlsHeld =
            !rig.view.enabled[UiItem::ReplayButton] && !rig.view.enabled[UiItem::DecodeFromFile1];
    };
    rig.app.ReplayButtonClick();

    rig.ExpectDecodedOnce(54);
    ASSERT_FALSE(before.empty());
    EXPECT_TRUE(after == before) << "the running decode's file was rewritten";
    EXPECT_TRUE(controlsHeld);
    EXPECT_TRUE(rig.view.messages.empty());
    // The save itself was made, with the newer audio.
    EXPECT_EQ(ReplayRig::Inspect(rig.Dated("14_04_09.wav")).last, 150);
    EXPECT_TRUE(rig.ReplayControlsEnabled());
}

TEST(HistoryReplay, ASaveNeverEmptiesATemporaryFileADecodeHasOpen) {
    // The operator decodes a leftover temporary file and presses Save meanwhile.
    ReplayRig rig;
    rig.Record(3);
    const fs::path leftover = rig.dir.path() / "~~~tmp1~.wav";
    fs::copy_file(rig.app.SaveHistory(1, false), leftover);
    const auto original = ReadBytes(leftover);
    std::ifstream reading(leftover, std::ios::binary);
    rig.duringDecode = [&] {
        rig.StoreNumbered(4, 400);
        rig.app.SaveButtonClick();
    };
    EXPECT_EQ(rig.app.DecodeWaveFile(leftover.string()), FileDecodeResult::Decoded);
    // The decode read the whole file it had opened, and so does anyone else.
    rig.ExpectDecodedOnce((original.size() - 44) / 2 / kBlockSize);
    std::vector<std::uint8_t> seen(original.size() + 1);
    reading.read(reinterpret_cast<char*>(seen.data()), static_cast<std::streamsize>(seen.size()));
    seen.resize(static_cast<std::size_t>(reading.gcount()));
    EXPECT_TRUE(seen == original);
    EXPECT_EQ(ReplayRig::Inspect(rig.Dated("14_04_09.wav")).last, 400);
}

TEST(HistoryReplay, FilesThatCannotBeWrittenAreReported) {
    ReplayRig rig;
    rig.Record(60);
    rig.app.SetHistoryFolder(rig.dir.path() / "gone");
    rig.app.ReplayButtonClick();
    EXPECT_EQ(rig.view.messages, (Messages{{"Temporary wave file saving Error!", "Error"}}));
    EXPECT_TRUE(rig.ReplayControlsEnabled());

    rig.view.messages.clear();
    EXPECT_EQ(rig.app.SaveHistory(60, true), "");
    EXPECT_EQ(rig.view.messages, (Messages{{"Temporary wave file saving error!", "Error"},
                                           {"Can not create directory!", "Error"},
                                           {"Temporary wave file renaming error!", "Error"}}));
    EXPECT_EQ(rig.decodes, 0);
}

TEST(HistoryReplay, SaveUnderAnotherFolderLeavesTheHistoryFolderAsItWas) {
    ReplayRig rig;
    rig.Record(10);
    test::TempDir other;
    const std::string saved = rig.app.SaveHistoryUnder(other.path(), 60);
    EXPECT_EQ(saved, (other.path() / "Waves" / "2026-12-07" / "14_04_09.wav").string());
    EXPECT_EQ(ReplayRig::Inspect(saved).last, 10);
    rig.app.ReplayHistory(10);
    EXPECT_TRUE(fs::exists(rig.ReplayFile()));
}

}  // namespace
}  // namespace quelp
