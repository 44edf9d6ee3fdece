#include "adaptive/KeyingViterbi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace quelp {
namespace {

// Dots of three frames, dashes of nine, element gaps of three, letter gaps
// of nine: the model the decoder sets up at three frames a dot.
void UseDotsOfThreeFrames(KeyingViterbi& v) {
    std::vector<double> mark(24);
    std::vector<double> space(15);
    for (std::size_t d = 1; d <= mark.size(); ++d) {
        const double u = static_cast<double>(d) / 3.0;
        mark[d - 1] = std::log(0.55 * std::exp(-0.5 * std::pow((u - 1.0) / 0.35, 2)) +
                               0.45 * std::exp(-0.5 * std::pow((u - 3.0) / 1.05, 2)) + 1e-4);
    }
    for (std::size_t d = 1; d <= space.size(); ++d) {
        const double u = static_cast<double>(d) / 3.0;
        space[d - 1] = std::log(0.6 * std::exp(-0.5 * std::pow((u - 1.0) / 0.35, 2)) +
                                0.4 * std::exp(-0.5 * std::pow((u - 3.0) / 0.9, 2)) + 1e-4);
    }
    v.SetModel(mark, space, std::log(0.2));
    v.Reset();
}

// The keying as text: '#' a mark frame, '_' a space frame.
std::string Segments(const std::vector<KeyingSegment>& segments) {
    std::string s;
    for (const KeyingSegment& seg : segments)
        s.append(static_cast<std::size_t>(seg.frames), seg.mark ? '#' : '_');
    return s;
}

TEST(KeyingViterbi, TheLikeliestKeyingOutvotesSingleWrongFrames) {
    const std::string sent = "___###___#########_________###___###______________________";
    const struct {
        const char* name;
        // The frames as the detector saw them: '#' and '_' sure, 'x' a weak
        // frame read as key-up, 'o' a noise frame read as key-down.
        std::string frames;
    } cases[] = {
        {"clean", sent},
        {"a dash with one faded frame",
         "___###___####x####_________###___###______________________"},
        {"a noise frame in a letter gap",
         "___###___#########____o____###___###______________________"},

    };
    for (const auto& c : cases) {
        KeyingViterbi v;
        UseDotsOfThreeFrames(v);
        std::vector<KeyingSegment> out;
        for (char f : c.frames) {
            v.Step(f == '#' ? 4.0 : f == 'o' ? 1.0 : f == 'x' ? -1.0 : -4.0);
            v.Commit(30, out);
        }
        v.Flush(out);
        std::string got = Segments(out);
        // The frames before the first mark may be handed over as the long
        // space's; only the keying from the first mark on counts.
        EXPECT_EQ(got.substr(got.find('#')), sent.substr(sent.find('#'))) << c.name;
    }
}

TEST(KeyingViterbi, SegmentsHandedOverLateStillTileTheFrames) {
    KeyingViterbi v;
    UseDotsOfThreeFrames(v);
    std::vector<KeyingSegment> out;
    const std::string pattern = "###___#########_________";
    std::int64_t frames = 0;
    for (int repeat = 0; repeat < 200; ++repeat) {
        for (char f : pattern) {
            v.Step(f == '#' ? 4.0 : -4.0);
            ++frames;
        }
        v.Commit(30, out);
    }
    v.Flush(out);
    std::int64_t next = 1;
    for (const KeyingSegment& seg : out) {
        ASSERT_EQ(seg.first, next);
        next += seg.frames;
    }
    EXPECT_EQ(next - 1, frames);
}

}  // namespace
}  // namespace quelp
