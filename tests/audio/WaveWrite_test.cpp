#include "audio/WaveWrite.h"

#include <gtest/gtest.h>

#include "audio/WavBytes.h"
#include "audio/WaveRead.h"

namespace quelp {
namespace {

using test::Le32At;
using test::ReadFile;
using test::TempDir;

TEST(WaveWrite, HeaderBytesAreTheClassicLayout) {
    TempDir dir;
    const auto name = dir.File("a.wav");
    TWaveWrite w;
    ASSERT_EQ(w.Create(name, 1, 16, 11025), WaveCreateResult::Ok);
    EXPECT_EQ(ReadFile(name).size(), 0u);  // still in the stream's buffer is fine
    const int16_t s[3] = {1, -2, 0x1234};
    ASSERT_EQ(w.Write(s, 3), WaveWriteResult::Ok);
    ASSERT_EQ(w.Close(), WaveHeaderResult::Ok);
    const std::vector<uint8_t> want = {
        'R', 'I', 'F', 'F', 42,  0,   0, 0,    'W',  'A', 'V', 'E',  'f',  'm',  't',  ' ', 16,
        0,   0,   0,   1,   0,   1,   0, 0x11, 0x2B, 0,   0,   0x22, 0x56, 0,    0,    2,   0,
        16,  0,   'd', 'a', 't', 'a', 6, 0,    0,    0,   1,   0,    0xFE, 0xFF, 0x34, 0x12};
    EXPECT_EQ(ReadFile(name), want);
    EXPECT_EQ(w.Close(), WaveHeaderResult::NotOpen);  // the second close finds nothing open
    EXPECT_EQ(w.Write(s, 1), WaveWriteResult::NotOpen);
    EXPECT_EQ(w.Create(dir.File("none/x.wav"), 1, 16, 11025), WaveCreateResult::CannotCreate);
    EXPECT_FALSE(w.IsOpen());
}

TEST(WaveWrite, ClosedFileSizesMatchItsLength) {
    TempDir dir;
    const auto name = dir.File("b.wav");
    std::vector<int16_t> block(2048);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<int16_t>(i * 7);
    TWaveWrite w;
    ASSERT_EQ(w.Create(name, 1, 16, 11025), WaveCreateResult::Ok);
    for (int i = 0; i < 20; ++i) ASSERT_EQ(w.Write(block.data(), 2048), WaveWriteResult::Ok);
    ASSERT_EQ(w.Close(), WaveHeaderResult::Ok);
    const auto bytes = ReadFile(name);
    EXPECT_EQ(Le32At(bytes, 40), bytes.size() - 44);
    EXPECT_EQ(Le32At(bytes, 4), 36 + Le32At(bytes, 40));

    // What was written reads back unchanged.
    TWaveRead r;
    ASSERT_EQ(r.Open(name), WaveOpenResult::Ok);
    EXPECT_EQ(r.CheckFormat(), WaveFormatResult::Ok);
    int16_t got[2048];
    ASSERT_EQ(r.ReadBlock(got), 2048);
    EXPECT_TRUE(std::equal(got, got + 2048, block.begin()));
}

TEST(WaveWrite, OpenFileCarriesSizesAtMostThirtySecondsShort) {
    // A capture cut off without a close, as after a crash: 31 s of blocks.
    TempDir dir;
    const auto name = dir.File("c.wav");
    std::vector<int16_t> block(2048, 99);
    TWaveWrite w;
    ASSERT_EQ(w.Create(name, 1, 16, 11025), WaveCreateResult::Ok);
    const int blocks = 31 * 11025 / 2048 + 1;
    for (int i = 0; i < blocks; ++i) ASSERT_EQ(w.Write(block.data(), 2048), WaveWriteResult::Ok);
    const auto bytes = ReadFile(name);
    ASSERT_GE(bytes.size(), 44u);
    const uint32_t onDisk = static_cast<uint32_t>(bytes.size() - 44);
    const uint32_t declared = Le32At(bytes, 40);
    EXPECT_LE(declared, onDisk);
    EXPECT_GE(declared + TWaveWrite::kRefreshBytes, static_cast<uint32_t>(blocks) * 4096);
    EXPECT_EQ(Le32At(bytes, 4), declared + 36);
    // The reader takes the file as it stands.
    TWaveRead r;
    ASSERT_EQ(r.Open(name), WaveOpenResult::Ok);
    EXPECT_EQ(r.Remaining(), declared);
}

}  // namespace
}  // namespace quelp
