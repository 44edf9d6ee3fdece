#include "support/CwSynth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace quelp::test {
namespace {

CwSynthOptions Clean(const std::string& text, double wpm = 20.0) {
    CwSynthOptions o;
    o.signal.text = text;
    o.signal.wpm = wpm;
    return o;
}

TEST(CwSynth, KeysParisTiming) {
    const CwSynthResult r = SynthesizeCw(Clean("paris paris"));
    ASSERT_EQ(r.keying.size(), 28u);
    const double dot = 0.06;  // 1.2 / 20 WPM
    // P = .--. : dot, gap, dash, gap, dash, gap, dot.
    EXPECT_NEAR(r.keying[0].start, 0.5, 1e-12);
    EXPECT_NEAR(r.keying[0].end, 0.5 + dot, 1e-12);
    EXPECT_NEAR(r.keying[1].start, 0.5 + 2 * dot, 1e-12);
    EXPECT_NEAR(r.keying[1].end, 0.5 + 5 * dot, 1e-12);
    // A starts one letter gap after P ends.
    EXPECT_NEAR(r.keying[4].start - r.keying[3].end, 3 * dot, 1e-12);
    // "PARIS " is 50 dots: the second word starts 50 dots after the first.
    EXPECT_NEAR(r.keying[14].start, 0.5 + 50 * dot, 1e-9);
    EXPECT_TRUE(r.skipped.empty());
}

TEST(CwSynth, ProsignRunsItsLettersTogether) {
    const CwSynthResult prosign = SynthesizeCw(Clean("<AR>"));
    const CwSynthResult letters = SynthesizeCw(Clean("AR"));
    ASSERT_EQ(prosign.keying.size(), 5u);
    ASSERT_EQ(letters.keying.size(), 5u);
    EXPECT_NEAR(prosign.keying[2].start - prosign.keying[1].end, 0.06, 1e-12);
    EXPECT_NEAR(letters.keying[2].start - letters.keying[1].end, 0.18, 1e-12);
    const CwSynthResult odd = SynthesizeCw(Clean("a#b  \n c"));
    EXPECT_EQ(odd.skipped, std::vector<std::string>{"#"});
    EXPECT_EQ(odd.keying.size(), 2u + 4u + 4u);
}

TEST(CwSynth, ToneHasTheLevelAndRaisedCosineEdges) {
    CwSynthOptions o = Clean("t");  // one dash: 180 ms
    o.signal.level = 0.5;
    o.signal.freqHz = 1000.0;
    const CwSynthResult r = SynthesizeCw(o);
    const int rate = o.rate;
    // Key-down power in the middle of the dash: level^2 / 2.
    double power = 0;
    const int from = static_cast<int>(0.55 * rate), count = static_cast<int>(0.1 * rate);
    for (int n = from; n < from + count; ++n) power += r.samples[n] * r.samples[n];
    EXPECT_NEAR(power / count, 0.125, 0.002);
    // Nothing before the key-down, nothing after the fall.
    for (int n = 0; n < static_cast<int>(0.5 * rate); ++n) ASSERT_EQ(r.samples[n], 0.0);
    for (int n = static_cast<int>(0.686 * rate); n < static_cast<int>(r.samples.size()); ++n)
        ASSERT_EQ(r.samples[n], 0.0);
    // The rise takes the edge time: the first 2.5 ms stay below half amplitude.
    double early = 0;
    for (int n = static_cast<int>(0.5 * rate); n < static_cast<int>(0.5025 * rate); ++n)
        early = std::max(early, std::abs(r.samples[n]));
    EXPECT_LT(early, 0.25);
}

TEST(CwSynth, NoisePowerFollowsTheSnrIn2500Hz) {
    for (int rate : {11025, 44100}) {
        CwSynthOptions o = Clean("test test");
        o.rate = rate;
        const CwSynthResult clean = SynthesizeCw(o);
        o.snrDb = 6.0;
        const CwSynthResult noisy = SynthesizeCw(o);
        ASSERT_EQ(clean.samples.size(), noisy.samples.size());
        double variance = 0;
        for (size_t n = 0; n < clean.samples.size(); ++n) {
            const double d = noisy.samples[n] - clean.samples[n];
            variance += d * d;
        }
        variance /= static_cast<double>(clean.samples.size());
        const double expected = (0.25 * 0.25 / 2) / std::pow(10.0, 0.6) * (rate / 2.0) / 2500.0;
        EXPECT_NEAR(variance / expected, 1.0, 0.03) << rate;
        EXPECT_NEAR(noisy.noiseSigma * noisy.noiseSigma, expected, expected * 1e-12);
    }
}

TEST(CwSynth, IsDeterministicFromTheSeed) {
    CwSynthOptions o = Clean("cq de test");
    o.snrDb = 10.0;
    o.signal.jitter = 0.15;
    o.second = CwSignal{.text = "rst 599", .freqHz = 1200.0, .wpm = 30.0};
    const CwSynthResult a = SynthesizeCw(o), b = SynthesizeCw(o);
    EXPECT_EQ(a.samples, b.samples);
    EXPECT_EQ(a.secondKeying.size(), 22u);
    o.seed = 2;
    const CwSynthResult c = SynthesizeCw(o);
    EXPECT_NE(a.keying[0].end, c.keying[0].end);  // jitter moved with the seed
    // Jittered elements differ from their nominal length (a dash: 180 ms).
    EXPECT_NE(a.keying[1].end - a.keying[1].start, 0.18);
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

uint32_t Le(const std::string& b, size_t at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
    return v;
}

TEST(CwSynth, WritesPcmWavFiles) {
    const std::string path = ::testing::TempDir() + "cwsynth_test.wav";
    const std::vector<double> samples = {0.0, 0.5, -1.0, 2.0};
    ASSERT_EQ(WriteWav(path, samples, 22050, 8, 2, 1), 0);
    std::string b = ReadFile(path);
    ASSERT_EQ(b.size(), 44u + 8u);
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(Le(b, 4, 4), 36u + 8u);
    EXPECT_EQ(Le(b, 22, 2), 2u);      // channels
    EXPECT_EQ(Le(b, 24, 4), 22050u);  // rate
    EXPECT_EQ(Le(b, 28, 4), 44100u);  // bytes per second
    EXPECT_EQ(Le(b, 34, 2), 8u);
    // Left silent (128), right the signal, clipped to full scale.
    const std::vector<uint8_t> want = {128, 128, 128, 192, 128, 1, 128, 255};
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(static_cast<uint8_t>(b[44 + i]), want[i]) << i;

    ASSERT_EQ(WriteWav(path, samples, 11025, 16, 1), 0);
    b = ReadFile(path);
    const std::vector<int16_t> pcm = ToPcm16(samples);
    EXPECT_EQ(pcm, (std::vector<int16_t>{0, 16384, -32767, 32767}));
    for (size_t i = 0; i < pcm.size(); ++i)
        EXPECT_EQ(static_cast<int16_t>(Le(b, 44 + 2 * i, 2)), pcm[i]);

    EXPECT_EQ(WriteWav(path, samples, 11025, 12, 1), -1);
    EXPECT_EQ(WriteWav(path, samples, 11025, 16, 1, 1), -1);
    EXPECT_EQ(WriteWav(::testing::TempDir() + "no/such/dir/x.wav", samples, 11025, 16, 1), -2);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace quelp::test
