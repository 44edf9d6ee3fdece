// The waterfall picture: levels by row and bin, rows merged so that a long
// recording stays bounded, the receive frequency's mark, and the names of
// the pictures of several recordings.

#include "Waterfall.h"

#include <gtest/gtest.h>

#include <array>

namespace quelp::cli {
namespace {

std::array<double, kBlockSize> Tone(int bin, double level) {
    std::array<double, kBlockSize> s{};
    s[static_cast<std::size_t>(bin)] = level * Waterfall::kFullScale;
    return s;
}

TEST(Waterfall, ABlockIsARowWithItsToneBrightestAndItsMark) {
    Waterfall w;
    w.AddBlock(Tone(130, 1.0), 130);
    w.AddBlock(Tone(300, 0.01), 301);
    ASSERT_EQ(w.Rows(), 2);
    EXPECT_EQ(w.Level(0, 130), 255);  // full scale
    EXPECT_EQ(w.Level(0, 131), 0);    // nothing
    EXPECT_GT(w.Level(1, 300), 0);    // 40 dB down still shows
    EXPECT_LT(w.Level(1, 300), 128);
    EXPECT_EQ(w.Mark(1), 301);
}

TEST(Waterfall, ALongRecordingMergesRowsKeepingTheStrongerLevel) {
    Waterfall w(4);
    // Six blocks into at most four rows: two rows of two blocks, then the
    // third row fills.
    for (int b = 0; b < 6; ++b) w.AddBlock(Tone(100 + b, 1.0), 100 + b);
    EXPECT_EQ(w.BlocksPerRow(), 2);
    ASSERT_EQ(w.Rows(), 3);
    EXPECT_EQ(w.Level(0, 100), 255);
    EXPECT_EQ(w.Level(0, 101), 255);
    EXPECT_EQ(w.Level(0, 102), 0);
    EXPECT_EQ(w.Mark(0), 101);  // the row's last block
    EXPECT_EQ(w.Mark(2), 105);

    const Picture p = w.Render(2048.0 / 11025.0, 11025.0);
    EXPECT_EQ(p.rgb.size(), static_cast<std::size_t>(p.width * p.height * 3));
    EXPECT_GE(p.width, Waterfall::kBins);
    EXPECT_GE(p.height, w.Rows());
}

TEST(Waterfall, SeveralRecordingsGetAPictureEachNamedAfterThem) {
    EXPECT_EQ(WaterfallPaths("out/wf.png", {"a/qso.wav"}),
              (std::vector<std::string>{"out/wf.png"}));
    EXPECT_EQ(WaterfallPaths("out/wf.png", {"a/qso.wav", "-", "b/night.flac"}),
              (std::vector<std::string>{"out/wf-qso.png", "out/wf-stdin.png", "out/wf-night.png"}));
    // Two recordings of the same name take their place on the command line.
    EXPECT_EQ(WaterfallPaths("wf.png", {"a/qso.wav", "b/qso.flac"}),
              (std::vector<std::string>{"wf-qso-1.png", "wf-qso-2.png"}));
}

}  // namespace
}  // namespace quelp::cli
