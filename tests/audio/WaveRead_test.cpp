#include "audio/WaveRead.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "audio/WavBytes.h"

namespace quelp {
namespace {

using test::FmtBody;
using test::Pcm16;
using test::PcmWav;
using test::Riff;
using test::WavBytes;

WaveOpenResult OpenImage(TWaveRead& r, const std::vector<uint8_t>& bytes) {
    return r.Open(std::make_unique<std::istringstream>(std::string(bytes.begin(), bytes.end()),
                                                       std::ios::in | std::ios::binary));
}

std::vector<int16_t> ReadAll(TWaveRead& r) {
    std::vector<int16_t> out;
    int16_t block[TWaveRead::kBlockSamples];
    int guard = 0;
    while (r.ReadBlock(block) > 0 && ++guard < 10000) out.insert(out.end(), block, block + 2048);
    return out;
}

TEST(WaveRead, EightBitBytesMapOntoTheSixteenBitRange) {
    TWaveRead r;
    ASSERT_EQ(OpenImage(r, PcmWav(1, 11025, 8, {128, 0, 255})), WaveOpenResult::Ok);
    EXPECT_EQ(r.CheckFormat(), WaveFormatResult::Ok);
    EXPECT_EQ(r.Remaining(), 3u);
    EXPECT_EQ(r.ReadSample(), 0);
    EXPECT_EQ(r.ReadSample(), -32640);
    EXPECT_EQ(r.ReadSample(), 32385);
    EXPECT_EQ(r.Remaining(), 0u);
    EXPECT_EQ(r.ReadSample(), 0);  // past the end
}

TEST(WaveRead, OnlyTheFirstChannelIsRead) {
    TWaveRead r;
    ASSERT_EQ(OpenImage(r, PcmWav(2, 11025, 16, Pcm16({100, -7, -200, 9, 32767, -32768}))),
              WaveOpenResult::Ok);
    EXPECT_EQ(r.ReadFrame(), 100);
    EXPECT_EQ(r.ReadFrame(), -200);
    EXPECT_EQ(r.ReadFrame(), 32767);
    EXPECT_EQ(r.ReadFrame(), 0);
}

TEST(WaveRead, HigherRatesAreDecimatedToElevenKilohertz) {
    const struct {
        uint32_t rate;
        uint64_t frames;
        uint64_t samples;
    } cases[] = {
        {11025, 4096, 4096}, {22050, 4096, 2048}, {44100, 8192, 2048}, {22050, 4097, 2049}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        std::vector<int16_t> tone(c.frames);
        for (size_t i = 0; i < tone.size(); ++i) {
            tone[i] = static_cast<int16_t>(10000 * std::sin(2 * M_PI * 700 * i / c.rate));
        }
        TWaveRead r;
        ASSERT_EQ(OpenImage(r, PcmWav(1, c.rate, 16, Pcm16(tone))), WaveOpenResult::Ok);
        EXPECT_EQ(r.OutputSamples(), c.samples);
        int16_t block[2048];
        uint64_t total = 0;
        int n;
        bool first = true;
        while ((n = r.ReadBlock(block)) > 0) {
            if (first && c.rate != 11025) {
                EXPECT_EQ(block[0], 0);
            }
            first = false;
            total += static_cast<uint64_t>(n);
        }
        EXPECT_EQ(total, c.samples);
    }
}

TEST(WaveRead, FullScaleOvershootSaturatesInsteadOfWrapping) {
    // A full-scale square wave rings in the decimators beyond the 16-bit range.
    std::vector<int16_t> square(22050);
    for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 100) % 2 ? -32768 : 32767;
    TWaveRead r;
    ASSERT_EQ(OpenImage(r, PcmWav(1, 22050, 16, Pcm16(square))), WaveOpenResult::Ok);
    const auto out = ReadAll(r);
    int highest = 0;
    for (size_t i = 100; i < 11000; ++i) {
        highest = std::max<int>(highest, out[i]);
        // The centre of each half period keeps the input's sign.
        if (i % 100 == 25) {
            EXPECT_EQ(out[i] > 0, (2 * i / 100) % 2 == 0) << i;
        }
    }
    EXPECT_EQ(highest, 32767);
}

TEST(WaveRead, WiderPcmReadsLikeItsSixteenBitOriginal) {
    std::vector<int16_t> tone(9000);
    for (size_t i = 0; i < tone.size(); ++i) {
        tone[i] = static_cast<int16_t>(30000 * std::sin(2 * M_PI * 1000 * i / 44100.0));
    }
    TWaveRead ref;
    ASSERT_EQ(OpenImage(ref, PcmWav(1, 44100, 16, Pcm16(tone))), WaveOpenResult::Ok);
    const auto expected = ReadAll(ref);
    for (uint16_t bits : {24, 32}) {
        SCOPED_TRACE(bits);
        WavBytes data;
        for (int16_t s : tone) {
            for (int k = 16; k < bits; k += 8) data.bytes.push_back(0xA5);  // low-order noise
            data.U16(static_cast<uint16_t>(s));
        }
        TWaveRead r;
        ASSERT_EQ(OpenImage(r, PcmWav(1, 44100, bits, data.bytes)), WaveOpenResult::Ok);
        EXPECT_EQ(r.CheckFormat(), WaveFormatResult::Ok);
        EXPECT_EQ(ReadAll(r), expected);
    }
}

TEST(WaveRead, FormatCheckRefusesWhatCannotBeDecoded) {
    const struct {
        std::vector<uint8_t> fmt;
        WaveFormatResult want;
    } cases[] = {
        {FmtBody(1, 1, 8000, 16), WaveFormatResult::UnsupportedRate},
        {FmtBody(1, 1, 48000, 16), WaveFormatResult::UnsupportedRate},
        {FmtBody(1, 1, 22051, 16), WaveFormatResult::UnsupportedRate},
        {FmtBody(3, 1, 11025, 32), WaveFormatResult::UnsupportedFormat},              // float
        {FmtBody(0xFFFE, 1, 11025, 16, 0, 24), WaveFormatResult::UnsupportedFormat},  // extensible
        {FmtBody(1, 1, 11025, 12), WaveFormatResult::UnsupportedFormat},
        {FmtBody(1, 1, 11025, 16, 1), WaveFormatResult::UnsupportedFormat},  // frame too small
        {FmtBody(1, 0, 11025, 16, 2), WaveFormatResult::UnsupportedFormat},
        {FmtBody(1, 1, 44100, 16, 0, 4), WaveFormatResult::Ok},  // longer "fmt " chunk
    };
    for (const auto& c : cases) {
        WavBytes chunks;
        chunks.Chunk("fmt ", c.fmt).Chunk("data", {0, 0, 0, 0});
        TWaveRead r;
        ASSERT_EQ(OpenImage(r, Riff(chunks.bytes)), WaveOpenResult::Ok);
        EXPECT_EQ(r.CheckFormat(), c.want)
            << r.Format().samplesPerSec << " tag " << r.Format().formatTag;
    }
}

TEST(WaveRead, ChunkWalkResultCodes) {
    const auto fmt = FmtBody(1, 1, 11025, 16);
    const auto riffOf = [](WavBytes w) { return Riff(w.bytes); };
    const struct {
        const char* what;
        std::vector<uint8_t> image;
        WaveOpenResult want;
    } cases[] = {
        {"empty", {}, WaveOpenResult::NotWave},
        {"not RIFF", WavBytes().Tag("RIFX").U32(4).Tag("WAVE").bytes, WaveOpenResult::NotWave},
        {"other form", WavBytes().Tag("RIFF").U32(4).Tag("AVI ").bytes, WaveOpenResult::NotWave},
        {"no fmt", riffOf(WavBytes().Chunk("data", {1, 2})), WaveOpenResult::NoFormatChunk},
        {"fmt cut short", riffOf(WavBytes().Tag("fmt ").U32(16).Raw({1, 0, 1, 0})),
         WaveOpenResult::FormatTruncated},
        {"no data", riffOf(WavBytes().Chunk("fmt ", fmt)), WaveOpenResult::NoDataChunk},
        {"data before fmt", riffOf(WavBytes().Chunk("data", {1, 2}).Chunk("fmt ", fmt)),
         WaveOpenResult::NoDataChunk},
        {"huge unknown chunk",
         riffOf(WavBytes().Chunk("fmt ", fmt).Tag("LIST").U32(0xFFFFFFF0).Chunk("data", {1, 2})),
         WaveOpenResult::NoDataChunk},
        {"unknown chunks skipped",
         riffOf(WavBytes()
                    .Chunk("JUNK", {1, 2, 3})
                    .Chunk("fmt ", fmt)
                    .Chunk("LIST", {9})
                    .Chunk("data", {1, 2})),
         WaveOpenResult::Ok},
        {"leading top-level chunk",
         WavBytes()
             .Chunk("JUNK", {7})
             .Raw(riffOf(WavBytes().Chunk("fmt ", fmt).Chunk("data", {1, 2})))
             .bytes,
         WaveOpenResult::Ok},
    };
    for (const auto& c : cases) {
        TWaveRead r;
        EXPECT_EQ(OpenImage(r, c.image), c.want) << c.what;
        EXPECT_EQ(r.IsOpen(), c.want == WaveOpenResult::Ok) << c.what;
        if (c.want == WaveOpenResult::Ok) {
            EXPECT_EQ(r.ReadFrame(), 0x0201) << c.what;
        } else {
            EXPECT_EQ(r.Remaining(), 0u) << c.what;
        }
    }
    TWaveRead r;
    EXPECT_EQ(r.Open("/nonexistent/dir/file.wav"), WaveOpenResult::CannotOpen);
    EXPECT_FALSE(r.IsOpen());
}

TEST(WaveRead, ShortFileIsOneBlockPaddedWithSilence) {
    std::vector<int16_t> few(100, 1234);
    TWaveRead r;
    ASSERT_EQ(OpenImage(r, PcmWav(1, 11025, 16, Pcm16(few))), WaveOpenResult::Ok);
    int16_t block[2048];
    std::fill(std::begin(block), std::end(block), int16_t{-1});
    EXPECT_EQ(r.ReadBlock(block), 100);
    EXPECT_EQ(block[99], 1234);
    EXPECT_EQ(std::count(block + 100, block + 2048, 0), 1948);
    EXPECT_EQ(r.ReadBlock(block), 0);
}

TEST(WaveRead, DataSizePastTheEndStopsAtTheRealEnd) {
    WavBytes chunks;
    chunks.Chunk("fmt ", FmtBody(1, 1, 11025, 16))
        .Tag("data")
        .U32(0xFFFFFF00)
        .Raw(Pcm16({5, 6, 7}));
    chunks.bytes.push_back(0x7F);  // a stray half frame
    TWaveRead r;
    ASSERT_EQ(OpenImage(r, Riff(chunks.bytes)), WaveOpenResult::Ok);
    EXPECT_EQ(r.Remaining(), 7u);
    const auto out = ReadAll(r);
    ASSERT_EQ(out.size(), 2048u);
    EXPECT_EQ(out[0], 5);
    EXPECT_EQ(out[2], 7);
    EXPECT_EQ(out[3], 0);
}

TEST(WaveRead, AFrameIsOneSampleOfEachChannel) {
    const struct {
        uint16_t channels;
        uint16_t bits;
        uint16_t blockAlign;
        WaveFormatResult want;
    } cases[] = {
        {1, 16, 2, WaveFormatResult::Ok},
        {2, 8, 2, WaveFormatResult::Ok},
        {2, 24, 6, WaveFormatResult::Ok},
        {8, 32, 32, WaveFormatResult::Ok},
        {1, 16, 3, WaveFormatResult::UnsupportedFormat},
        {1, 16, 65535, WaveFormatResult::UnsupportedFormat},
        {65535, 16, 2, WaveFormatResult::UnsupportedFormat},
        {2, 16, 2, WaveFormatResult::UnsupportedFormat},
        {1, 24, 4, WaveFormatResult::UnsupportedFormat},  // 24 bits in 32-bit containers
    };
    for (const auto& c : cases) {
        WavBytes chunks;
        chunks.Chunk("fmt ", FmtBody(1, c.channels, 11025, c.bits, c.blockAlign))
            .Chunk("data", std::vector<uint8_t>(64));
        TWaveRead r;
        ASSERT_EQ(OpenImage(r, Riff(chunks.bytes)), WaveOpenResult::Ok);
        EXPECT_EQ(r.CheckFormat(), c.want)
            << c.channels << " channels, " << c.bits << " bits, block align " << c.blockAlign;
    }
}

TEST(WaveRead, SizesLeftByARecorderThatDiedReadToTheEndOfTheFile) {
    const auto image = [](uint32_t riffSize, uint32_t dataSize) {
        WavBytes w;
        w.Tag("RIFF").U32(riffSize).Tag("WAVE").Chunk("fmt ", FmtBody(1, 1, 11025, 16));
        w.Tag("data").U32(dataSize).Raw(Pcm16({5, 6, 7}));
        w.bytes.push_back(0x7F);  // a stray half frame
        return w.bytes;
    };
    const uint32_t exactRiff = 4 + 24 + 8 + 7;
    const struct {
        const char* what;
        uint32_t riffSize;
        uint32_t dataSize;
        WaveOpenResult open;
        std::vector<int16_t> frames;
    } cases[] = {
        {"data size 0", exactRiff, 0, WaveOpenResult::Ok, {5, 6, 7}},
        {"RIFF size 0", 0, 6, WaveOpenResult::Ok, {5, 6, 7}},
        {"both 0", 0, 0, WaveOpenResult::Ok, {5, 6, 7}},
        {"RIFF past the end, data 0", 0xFFFFFFF0, 0, WaveOpenResult::Ok, {5, 6, 7}},
        {"data size within the file", 0, 4, WaveOpenResult::Ok, {5, 6}},
        {"RIFF size too small for WAVE", 2, 6, WaveOpenResult::NotWave, {}},
    };
    for (const auto& c : cases) {
        TWaveRead r;
        ASSERT_EQ(OpenImage(r, image(c.riffSize, c.dataSize)), c.open) << c.what;
        std::vector<int16_t> frames;
        while (r.Remaining() >= 2) frames.push_back(r.ReadFrame());
        EXPECT_EQ(frames, c.frames) << c.what;
    }
}

TEST(WaveRead, OnlyARegularFileIsOpened) {
    TWaveRead r;
    EXPECT_EQ(r.Open("/dev/null"), WaveOpenResult::CannotOpen);
    EXPECT_EQ(r.Open("/"), WaveOpenResult::CannotOpen);
    EXPECT_FALSE(r.IsOpen());
}

TEST(WaveRead, WideFramesAreReadWhole) {
    // Ten 16-bit channels: a frame of 20 bytes.
    WavBytes data;
    for (int f = 0; f < 3; ++f) {
        for (int ch = 0; ch < 10; ++ch) data.U16(static_cast<uint16_t>(f * 100 + ch));
    }
    TWaveRead r;
    ASSERT_EQ(OpenImage(r, PcmWav(10, 11025, 16, data.bytes)), WaveOpenResult::Ok);
    EXPECT_EQ(r.ReadFrame(), 0);
    EXPECT_EQ(r.ReadFrame(), 100);
    EXPECT_EQ(r.ReadFrame(), 200);
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(WaveRead, ReopeningResetsTheDecimators) {
    std::vector<int16_t> loud(4096, 20000);
    const auto image = PcmWav(1, 22050, 16, Pcm16(loud));
    TWaveRead r;
    ASSERT_EQ(OpenImage(r, image), WaveOpenResult::Ok);
    const auto first = ReadAll(r);
    ASSERT_EQ(OpenImage(r, image), WaveOpenResult::Ok);
    EXPECT_EQ(ReadAll(r), first);
}

}  // namespace
}  // namespace quelp
