#include "audio/WaveBuff.h"

#include <gtest/gtest.h>

#include "audio/WavBytes.h"

namespace quelp {
namespace {

using test::TempDir;

// Stores blocks numbered first..last (first, middle and last sample carry it).
void StoreNumbered(TWaveBuff& b, int first, int last) {
    std::vector<int16_t> block(2048);
    for (int n = first; n <= last; ++n) {
        block.front() = block[1023] = block.back() = static_cast<int16_t>(n);
        ASSERT_EQ(b.Store(block.data()), HistoryStoreResult::Ok);
    }
}

// The block numbers of a saved file (first, middle and last sample of each
// block must agree).
std::vector<int> SavedBlocks(const std::string& name) {
    const auto bytes = test::ReadFile(name);
    EXPECT_EQ(test::Le32At(bytes, 40), bytes.size() - 44);
    const auto sample = [&](size_t at) {
        return static_cast<int16_t>(bytes[at] | (bytes[at + 1] << 8));
    };
    std::vector<int> numbers;
    for (size_t at = 44; at + 4096 <= bytes.size(); at += 4096) {
        EXPECT_EQ(sample(at), sample(at + 2046));  // sample 1023
        EXPECT_EQ(sample(at), sample(at + 4094));
        numbers.push_back(sample(at));
    }
    return numbers;
}

std::vector<int> Range(int first, int last) {
    std::vector<int> v;
    for (int n = first; n <= last; ++n) v.push_back(n);
    return v;
}

TEST(WaveBuff, SizesItsRingFromSecondsAndRate) {
    TWaveBuff b;
    EXPECT_EQ(b.Allocate(60, 11025.0), HistoryAllocateResult::Ok);
    EXPECT_EQ(b.BlockCount(), 325);
    EXPECT_EQ(b.Seconds(), 60);
    EXPECT_EQ(b.Allocate(0, 11025.0), HistoryAllocateResult::Ok);  // below 1 counts as 1
    EXPECT_EQ(b.Seconds(), 1);
    EXPECT_EQ(b.BlockCount(), 8);
}

TEST(WaveBuff, SavesTheNewestBlocksOldestFirst) {
    TempDir dir;
    const auto name = dir.File("h.wav");
    const struct {
        int stored;
        int seconds;
        std::vector<int> want;
    } cases[] = {
        {100, 10, Range(47, 100)},   // 54 blocks
        {400, 10, Range(347, 400)},  // after the ring wrapped
        {400, 60, Range(78, 400)},   // 323 blocks across the wrap
        {325, 60, Range(3, 325)},    // ring exactly full
        {400, 999, Range(78, 400)},  // no more than the history holds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        TWaveBuff b;
        ASSERT_EQ(b.Allocate(60, 11025.0), HistoryAllocateResult::Ok);
        StoreNumbered(b, 1, c.stored);
        ASSERT_EQ(b.SaveToFile(name, c.seconds), HistorySaveResult::Ok);
        EXPECT_EQ(SavedBlocks(name), c.want);
    }
}

TEST(WaveBuff, YoungHistoryReplaysSilenceFirst) {
    TempDir dir;
    TWaveBuff b;
    ASSERT_EQ(b.Allocate(60, 11025.0), HistoryAllocateResult::Ok);
    StoreNumbered(b, 1, 5);
    ASSERT_EQ(b.SaveToFile(dir.File("y.wav"), 10), HistorySaveResult::Ok);
    std::vector<int> want(49, 0);
    for (int n = 1; n <= 5; ++n) want.push_back(n);
    EXPECT_EQ(SavedBlocks(dir.File("y.wav")), want);
}

TEST(WaveBuff, WithoutHistoryNothingHappens) {
    TempDir dir;
    TWaveBuff b;
    std::vector<int16_t> block(2048, 1);
    EXPECT_EQ(b.Store(block.data()), HistoryStoreResult::NoHistory);
    EXPECT_EQ(b.SaveToFile(dir.File("n.wav"), 10), HistorySaveResult::CannotCreate);
    EXPECT_FALSE(std::filesystem::exists(dir.File("n.wav")));
    // A request the memory cannot meet leaves no history behind.
    ASSERT_EQ(b.Allocate(60, 11025.0), HistoryAllocateResult::Ok);
    EXPECT_EQ(b.Allocate(2000000000, 11025.0), HistoryAllocateResult::NoMemory);
    EXPECT_EQ(b.Seconds(), 0);
    EXPECT_EQ(b.Store(block.data()), HistoryStoreResult::NoHistory);
    EXPECT_EQ(b.Allocate(60, 0.0 / 0.0), HistoryAllocateResult::NoMemory);
}

TEST(WaveBuff, UnwritableFileReportsCreateFailure) {
    TWaveBuff b;
    ASSERT_EQ(b.Allocate(10, 11025.0), HistoryAllocateResult::Ok);
    EXPECT_EQ(b.SaveToFile("/nonexistent/dir/x.wav", 10), HistorySaveResult::CannotCreate);
}

}  // namespace
}  // namespace quelp
