// The receiver end to end: synthesized CW audio in blocks of 2048 samples
// through the block processor into the receive text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/QuelpApp.h"
#include "support/CwSynth.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp {
namespace {

struct Rig {
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    QuelpApp app{{view, clock, dialogs, rx}};

    // Feeds the samples in whole blocks, the last one padded with silence.
    void Feed(const std::vector<std::int16_t>& pcm, int repaint = 1) {
        std::vector<std::int16_t> block(QuelpApp::kBlockSize);
        for (size_t at = 0; at < pcm.size(); at += block.size()) {
            std::fill(block.begin(), block.end(), 0);
            for (size_t i = 0; i < block.size() && at + i < pcm.size(); ++i) block[i] = pcm[at + i];
            app.ProcessBlock(block.data(), repaint);
        }
    }
};

std::vector<std::int16_t> Synth(const std::string& text, double wpm, double hz) {
    test::CwSynthOptions o;
    o.signal.text = text;
    o.signal.wpm = wpm;
    o.signal.freqHz = hz;
    o.signal.level = 0.5;
    o.tailSec = 1.5;
    return test::ToPcm16(test::SynthesizeCw(o).samples);
}

TEST(BlockProcessor, DecodesCleanCwOnTheReceiveBin) {
    Rig rig;
    const double hz = 186 * 11025.0 / 2048;
    rig.Feed(Synth("cq cq de dl1abc dl1abc k", 20, hz));
    EXPECT_NE(rig.rx.text.find("de dl1abc dl1abc k"), std::string::npos) << rig.rx.text;
}

}  // namespace
}  // namespace quelp
