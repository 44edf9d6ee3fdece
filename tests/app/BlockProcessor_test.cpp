// The block processor's own rules: spectrum smoothing, squelch, oscilloscope,
// AFC hold, the automatic threshold switch, and where drawing and the message
// pass sit in a block.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "app/ReceiverRig.h"
#include "dsp/ReceiveChain.h"

namespace quelp {
namespace {

using test::ReceiverRig;
using test::ToneBlock;

constexpr int kFirst = SpectrumArrays::kFirstBin;
constexpr int kLast = SpectrumArrays::kLastBin;

TEST(BlockProcessor, SpectrumRisesToAFullScaleSineThenDecaysOnSilence) {
    ReceiverRig rig;
    const SpectrumArrays& s = rig.app.Spectrum();
    const std::vector<std::int16_t> sine = ToneBlock(300, 32767.0);
    double previous = 0.0;
    for (int b = 0; b < 8; ++b) {
        rig.app.ProcessBlock(sine.data(), 1);
        // Two thirds of the remaining way per block.
        EXPECT_NEAR(s.SpectrumAvg[300], previous + (4.0 - previous) * 2.0 / 3.0, 0.002);
        previous = s.SpectrumAvg[300];
    }
    EXPECT_NEAR(s.SpectrumAvg[300], 4.0, 0.002);

    const auto avg = s.SpectrumAvg;
    const auto peak = s.SpectrumPeak;
    rig.app.ProcessBlock(nullptr, 1);  // no block: nothing moves
    EXPECT_EQ(s.SpectrumAvg, avg);
    EXPECT_EQ(rig.view.displayUpdates, 8);

    const std::vector<std::int16_t> zeros(QuelpApp::kBlockSize, 0);
    rig.app.ProcessBlock(zeros.data(), 1);
    for (size_t k = 0; k < avg.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(s.FftRe[k], 0.0);
        EXPECT_EQ(s.FftIm[k], 0.0);
        if (k < kFirst || k > kLast) {
            EXPECT_EQ(s.SpectrumAvg[k], 0.0);
            EXPECT_EQ(s.SpectrumPeak[k], 0.0);
        } else {
            EXPECT_DOUBLE_EQ(s.SpectrumAvg[k], avg[k] / 3.0);
            EXPECT_DOUBLE_EQ(s.SpectrumPeak[k], peak[k] * 0.95);
        }
    }
}

TEST(BlockProcessor, ClosedSquelchFreezesDecoderAndThresholdButNotTheOscilloscope) {
    ReceiverRig rig;
    Quelp_Params& p = rig.app.Params();
    p.SquelchEnabled = 1;
    p.SquelchThreshold = 1e6;  // above any peak
    const std::vector<std::int16_t> tone = ToneBlock(186, 16000.0);
    const double threshold = p.DetectorThreshold;

    for (double start : {10.0, 0.0, 9.9}) {
        SCOPED_TRACE(start);
        rig.app.Decoder().PauseDots() = start;
        const IntervalState before = rig.app.Decoder().State();
        const int oscIndex = rig.app.Spectrum().OscIndex;
        rig.app.ProcessBlock(tone.data(), 1);
        const IntervalState& after = rig.app.Decoder().State();
        EXPECT_EQ(after.KeyDown, before.KeyDown);
        EXPECT_EQ(after.MarkCount, before.MarkCount);
        EXPECT_EQ(after.SpaceCount, before.SpaceCount);
        EXPECT_GT(after.PauseDots, 10.0);
        EXPECT_LE(after.PauseDots, 10.2 + 1e-12);
        EXPECT_EQ(p.DetectorThreshold, threshold);
        EXPECT_EQ(rig.app.Spectrum().OscIndex, (oscIndex + 9) & 2047);
    }

    // A level that the tone's peak reaches opens the squelch, and the tone
    // keys the decoder down.
    p.SquelchThreshold = rig.app.Spectrum().SpectrumPeak[186] * 0.95;
    rig.app.ProcessBlock(tone.data(), 1);
    EXPECT_EQ(rig.app.Decoder().State().KeyDown, 1);
    EXPECT_EQ(rig.app.Decoder().PauseDots(), 0.0);
    EXPECT_NE(p.DetectorThreshold, threshold);
}

TEST(BlockProcessor, OscilloscopeKeepsTheEnvelopeOfEvery221stSampleAcrossBlocks) {
    ReceiverRig rig;
    ReceiveChain reference(rig.app.Sine());
    std::vector<double> envelopes;
    for (std::uint32_t seed : {7u, 8u}) {
        const std::vector<std::int16_t> block = ToneBlock(186, 12000.0, 6000.0, seed);
        for (std::int16_t s : block) envelopes.push_back(reference.EnvelopeFunction(s / 16384.0));
        rig.app.ProcessBlock(block.data(), 1);
        if (seed == 7u) {
            // 2048 samples complete 9 counts of 221; entry 0 stays as cleared.
            EXPECT_EQ(rig.app.Spectrum().OscIndex, 9);
        }
    }
    const SpectrumArrays& s = rig.app.Spectrum();
    ASSERT_EQ(s.OscIndex, 18);  // 4096 / 221; the count runs on over the block boundary
    EXPECT_EQ(s.OscRing[0], 0.0);
    for (int i = 1; i <= 18; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s.OscRing[static_cast<size_t>(i)], envelopes[static_cast<size_t>(221 * i - 1)]);
    }
    EXPECT_EQ(s.OscRing[19], 0.0);
}

TEST(BlockProcessor, AfcHoldSkipsTwoBlocksAndTheMixerFollowsTheThird) {
    const std::vector<std::int16_t> tone = ToneBlock(190, 16000.0);
    for (int hold : {0, 2}) {
        SCOPED_TRACE(hold);
        ReceiverRig rig;
        rig.app.Tune().AfcHoldBlocks = hold;
        std::vector<int> bins;
        for (int b = 0; b < 3; ++b) {
            rig.app.ProcessBlock(tone.data(), 1);
            bins.push_back(rig.app.Tune().SignalBin());
        }
        // AFC searches the peaks of the previous block, so it can move from
        // the second block on.
        const std::vector<int> expected =
            hold == 0 ? std::vector<int>{186, 190, 190} : std::vector<int>{186, 186, 190};
        EXPECT_EQ(bins, expected);
        EXPECT_EQ(rig.app.Tune().AfcHoldBlocks, 0);
        EXPECT_EQ(rig.app.Chain().PhaseStep, 190 * 16);
    }
}

TEST(BlockProcessor, AutoGoToMaxSearchesThePeaksThePreviousBlockLeft) {
    ReceiverRig rig;
    rig.app.Tune().SetAutoGoToMaxDown(true);
    rig.app.Tune().SetAfcDown(false);  // AFC would wander over the rounding noise
    const std::vector<std::int16_t> tone = ToneBlock(300, 16000.0);
    rig.app.ProcessBlock(tone.data(), 1);  // PauseDots starts at 10: runs on an empty spectrum
    EXPECT_EQ(rig.app.Tune().SignalBin(), 186);
    EXPECT_LT(rig.app.Decoder().PauseDots(), 8.0);
    rig.app.ProcessBlock(tone.data(), 1);  // a pause of about 3 dots: no search
    EXPECT_EQ(rig.app.Tune().SignalBin(), 186);
    rig.app.Decoder().PauseDots() = 8.5;
    rig.app.ProcessBlock(tone.data(), 1);
    EXPECT_EQ(rig.app.Tune().SignalBin(), 300);
    EXPECT_EQ(rig.app.Chain().PhaseStep, 300 * 16);
    EXPECT_EQ(rig.app.Decoder().State().KeyDown, 1);  // this block already on the new bin
}

TEST(BlockProcessor, ManualThresholdStaysThroughAnyNumberOfBlocks) {
    for (bool automatic : {false, true}) {
        SCOPED_TRACE(automatic);
        ReceiverRig rig;
        rig.app.Detector().SetAutoDown(automatic);
        rig.app.Params().DetectorThreshold = 0.25;
        for (std::uint32_t seed = 1; seed <= 4; ++seed) {
            const std::vector<std::int16_t> block = ToneBlock(186, 8000.0 * seed, 4000.0, seed);
            rig.app.ProcessBlock(block.data(), 0);
        }
        if (automatic) {
            EXPECT_NE(rig.app.Params().DetectorThreshold, 0.25);
        } else {
            EXPECT_EQ(rig.app.Params().DetectorThreshold, 0.25);
        }
    }
}

TEST(BlockProcessor, DrawsAndPumpsMessagesUnlessLiveCaptureIsThreeBlocksBehind) {
    struct Case {
        int waiting;
        int repaint;
        bool draws;
    };
    const Case cases[] = {{0, 0, true},  {2, 0, true}, {3, 0, false},
                          {9, 0, false}, {3, 1, true}, {9, 1, true}};
    const std::vector<std::int16_t> zeros(QuelpApp::kBlockSize, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.waiting << " waiting, repaint " << c.repaint);
        ReceiverRig rig;
        std::atomic<int> pending{c.waiting};
        rig.app.PendingBuffers = &pending;
        rig.app.ProcessBlock(zeros.data(), c.repaint);
        EXPECT_EQ(rig.view.order, c.draws ? "DM" : "");
        // Samples are processed either way.
        EXPECT_EQ(rig.app.Spectrum().OscIndex, 9);
    }
    ReceiverRig noCapture;  // no sound input: nothing waits
    noCapture.app.ProcessBlock(zeros.data(), 0);
    EXPECT_EQ(noCapture.view.order, "DM");
}

TEST(BlockProcessor, MessagePassSeesThisBlocksSpectrumAndItsChangesApplyToThisBlock) {
    ReceiverRig rig;
    const std::vector<std::int16_t> tone = ToneBlock(250, 16000.0);
    int passes = 0;
    rig.view.OnMessages = [&] {
        ++passes;
        EXPECT_GT(rig.app.Spectrum().SpectrumAvg[250], 1.0);  // spectrum already updated
        EXPECT_EQ(rig.app.Spectrum().OscIndex, 0);            // no sample processed yet
        rig.app.Tune().ClickTune(250);
    };
    rig.app.ProcessBlock(tone.data(), 1);
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(rig.app.Chain().PhaseStep, 250 * 16);
    EXPECT_EQ(rig.app.Decoder().State().KeyDown, 1);  // the retuned mixer heard the tone

    // A squelch switched on during the pass closes this very block.
    ReceiverRig closing;
    closing.view.OnMessages = [&] {
        closing.app.Params().SquelchEnabled = 1;
        closing.app.Params().SquelchThreshold = 1e6;
    };
    const std::vector<std::int16_t> onBin = ToneBlock(186, 16000.0);
    closing.app.ProcessBlock(onBin.data(), 1);
    EXPECT_EQ(closing.app.Decoder().State().KeyDown, 0);
    EXPECT_GT(closing.app.Decoder().PauseDots(), 10.0);
}

}  // namespace
}  // namespace quelp
