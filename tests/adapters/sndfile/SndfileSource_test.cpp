// The sound file adapter on its own: what a recording gives at 11025 Hz
// whatever its rate, format and channels, on a stream that cannot seek, and
// what it says of what it cannot read.

#include "adapters/sndfile/SndfileSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "dsp/Bins.h"
#include "settings/TempDir.h"
#include "support/SoundFiles.h"

namespace quelp {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<double> Tone(int rate, double seconds, double hz, double level) {
    std::vector<double> s(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = level * std::sin(2 * kPi * hz * i / rate);
    return s;
}

// Every sample the source gives, and the number of blocks it took.
std::vector<std::int16_t> ReadAll(SndfileSource& source, int& blocks) {
    std::vector<std::int16_t> all;
    std::int16_t block[kBlockSize];
    blocks = 0;
    while (const int n = source.ReadBlock(block)) {
        all.insert(all.end(), block, block + n);
        ++blocks;
    }
    return all;
}

double Rms(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / static_cast<double>(to - from)) / 32768.0;
}

TEST(SndfileSource, EveryRateGivesTheSameSecondsAtTheSameLevel) {
    test::TempDir dir;
    const struct {
        int rate;
        test::SoundFormat format;
    } cases[] = {
        {8000, test::SoundFormat::Pcm16Wav},         {11025, test::SoundFormat::FloatWav},
        {48000, test::SoundFormat::Extensible24Wav}, {96000, test::SoundFormat::Flac16},
        {192000, test::SoundFormat::Pcm16Wav},
    };
    for (const auto& c : cases) {
        const std::string path = dir.File("tone.any");
        ASSERT_TRUE(test::WriteSoundFile(path, Tone(c.rate, 1.5, 700.0, 0.5), c.rate, c.format));
        SndfileSource source;
        std::string error;
        ASSERT_TRUE(source.OpenFile(path, ChannelChoice::First, std::nullopt, error)) << error;
        EXPECT_EQ(source.Info().rate, c.rate);
        // 1.5 s at 11025 Hz (16537.5 samples, the last one whole).
        const std::uint64_t want = c.rate == 11025 ? 16537u : 16538u;
        EXPECT_EQ(source.OutputSamples(), std::optional<std::uint64_t>(want));
        int blocks = 0;
        const std::vector<std::int16_t> s = ReadAll(source, blocks);
        EXPECT_EQ(s.size(), want) << c.rate;
        EXPECT_EQ(blocks, 9);
        // A sine of 0.5 has an RMS of 0.354, kept by the converter in band.
        EXPECT_NEAR(Rms(s, 2000, 14000), 0.3536, 0.002) << c.rate;
        EXPECT_TRUE(source.ReadError().empty());
    }
}

TEST(SndfileSource, TheChannelChoiceTakesOneChannelOrTheirMean) {
    test::TempDir dir;
    const std::string path = dir.File("right.wav");
    // Stereo at 48000 Hz, the tone on the right channel only.
    ASSERT_TRUE(test::WriteSoundFile(path, Tone(48000, 1.0, 700.0, 0.5), 48000,
                                     test::SoundFormat::Pcm16Wav, 2, 1));
    const struct {
        ChannelChoice channel;
        double rms;
    } cases[] = {
        {ChannelChoice::First, 0.0},
        {ChannelChoice::Second, 0.3536},
        {ChannelChoice::Mix, 0.1768},
    };
    for (const auto& c : cases) {
        SndfileSource source;
        std::string error;
        ASSERT_TRUE(source.OpenFile(path, c.channel, std::nullopt, error)) << error;
        int blocks = 0;
        const std::vector<std::int16_t> s = ReadAll(source, blocks);
        EXPECT_NEAR(Rms(s, 1000, 10000), c.rms, 0.002) << static_cast<int>(c.channel);
    }
}

TEST(SndfileSource, AStreamIsReadWithoutSeekingIncludingAHeaderThatSaysToTheEnd) {
    test::TempDir dir;
    const std::string path = dir.File("stream.wav");
    ASSERT_TRUE(test::WriteSoundFile(path, Tone(48000, 1.0, 700.0, 0.5), 48000,
                                     test::SoundFormat::Pcm16Wav));
    std::string bytes = test::ReadFile(path);
    for (const bool unknownSizes : {false, true}) {
        if (unknownSizes) {
            // A recorder writing to a pipe cannot go back to fill in the
            // sizes: the RIFF and data sizes say "as long as can be".
            bytes.replace(4, 4, "\xff\xff\xff\xff");
            bytes.replace(bytes.find("data") + 4, 4, "\xff\xff\xff\xff");
        }
        SndfileSource source;
        std::string error;
        ASSERT_TRUE(source.OpenBytes(bytes, ChannelChoice::First, std::nullopt, error)) << error;
        int blocks = 0;
        const std::vector<std::int16_t> s = ReadAll(source, blocks);
        EXPECT_EQ(s.size(), 11025u) << unknownSizes;
        EXPECT_NEAR(Rms(s, 1000, 10000), 0.3536, 0.002);
    }
}

TEST(SndfileSource, WhatCannotBeReadIsRefusedWithAReason) {
    test::TempDir dir;
    std::string error;
    SndfileSource source;
    EXPECT_FALSE(source.OpenFile(dir.path().string(), ChannelChoice::First, std::nullopt, error));
    EXPECT_EQ(error, "not a regular file");

    error.clear();
    EXPECT_FALSE(source.OpenBytes("hello, world", ChannelChoice::First, std::nullopt, error));
    EXPECT_FALSE(error.empty());

    // A rate outside what the converter takes: the header is still told.
    const std::string slow = dir.File("slow.wav");
    ASSERT_TRUE(
        test::WriteSoundFile(slow, Tone(2000, 0.5, 300.0, 0.5), 2000, test::SoundFormat::Pcm16Wav));
    error.clear();
    EXPECT_FALSE(source.OpenFile(slow, ChannelChoice::First, std::nullopt, error));
    EXPECT_EQ(error, "rate outside 4000 to 768000 Hz");
    EXPECT_EQ(source.Info().Describe(), "2000 Hz 16-bit WAV");

    // Headerless samples take whatever bytes there are, at the rate given.
    error.clear();
    const std::string silence(22050 * 2, '\0');
    ASSERT_TRUE(source.OpenBytes(silence, ChannelChoice::First, 22050, error)) << error;
    int blocks = 0;
    EXPECT_EQ(ReadAll(source, blocks).size(), 11025u);
}

TEST(SndfileSource, AFileCutShortEndsWhereItsAudioDoes) {
    test::TempDir dir;
    const std::string path = dir.File("cut.flac");
    ASSERT_TRUE(
        test::WriteSoundFile(path, Tone(48000, 2.0, 700.0, 0.5), 48000, test::SoundFormat::Flac16));
    const std::string bytes = test::ReadFile(path);
    test::WriteFile(path, bytes.substr(0, bytes.size() / 2));
    SndfileSource source;
    std::string error;
    ASSERT_TRUE(source.OpenFile(path, ChannelChoice::First, std::nullopt, error)) << error;
    int blocks = 0;
    const std::vector<std::int16_t> s = ReadAll(source, blocks);
    // About half of the audio, never more than the whole.
    EXPECT_GT(s.size(), 11025u / 2);
    EXPECT_LT(s.size(), 22050u);
}

}  // namespace
}  // namespace quelp
