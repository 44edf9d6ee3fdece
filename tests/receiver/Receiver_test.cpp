// The block processor's own rules: spectrum smoothing, squelch, oscilloscope,
// AFC hold, the automatic threshold switch, the key against the threshold,
// and what a listener may change at the moment the spectrum is ready.
#include "receiver/Receiver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "support/ToneBlock.h"

namespace quelp {
namespace {

using test::ToneBlock;

// Counts the spectra and runs a test's code at that moment, as the window's
// drawing and message pass would.
struct Listener final : ReceiverListener {
    void CharacterDecoded(std::uint32_t) override {}
    void ReceiverChanged(ReceiverChange) override {}
    void SpectrumReady(int) override {
        ++spectra;
        if (onSpectrum) onSpectrum();
    }
    int spectra = 0;
    std::function<void()> onSpectrum;
};

struct Rig {
    Listener listener;
    Receiver rx{listener};
};

const std::vector<std::int16_t> kSilence(kBlockSize, 0);

TEST(BlockProcessor, SpectrumRisesToAFullScaleSineThenDecaysOnSilence) {
    Rig rig;
    const SpectrumArrays& s = rig.rx.Spectrum();
    const std::vector<std::int16_t> sine = ToneBlock(300, 32767.0);
    double previous = 0.0;
    for (int b = 0; b < 8; ++b) {
        rig.rx.ProcessBlock(sine.data(), 1);
        // Two thirds of the remaining way per block.
        EXPECT_NEAR(s.SpectrumAvg[300], previous + (4.0 - previous) * 2.0 / 3.0, 0.002);
        previous = s.SpectrumAvg[300];
    }
    EXPECT_NEAR(s.SpectrumAvg[300], 4.0, 0.002);

    const auto avg = s.SpectrumAvg;
    const auto peak = s.SpectrumPeak;
    rig.rx.ProcessBlock(nullptr, 1);  // no block: nothing moves
    EXPECT_EQ(s.SpectrumAvg, avg);
    EXPECT_EQ(rig.listener.spectra, 8);

    rig.rx.ProcessBlock(kSilence.data(), 1);
    for (size_t k = 0; k < avg.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(s.FftRe[k], 0.0);
        EXPECT_EQ(s.FftIm[k], 0.0);
        if (static_cast<int>(k) < kFirstBin || static_cast<int>(k) > kLastBin) {
            EXPECT_EQ(s.SpectrumAvg[k], 0.0);
            EXPECT_EQ(s.SpectrumPeak[k], 0.0);
        } else {
            EXPECT_DOUBLE_EQ(s.SpectrumAvg[k], avg[k] / 3.0);
            EXPECT_DOUBLE_EQ(s.SpectrumPeak[k], peak[k] * 0.95);
        }
    }
}

TEST(BlockProcessor, ClosedSquelchFreezesDecoderAndThresholdButNotTheOscilloscope) {
    const std::vector<std::int16_t> tone = ToneBlock(186, 16000.0);
    // The pause before the closed block: exactly 10 dots (the start), 0
    // (go-to-max clears it) and about 9.3 (three blocks of silence after
    // that), so the pause steps past 10 from on, below and just under it.
    for (int silentBlocks : {-1, 0, 3}) {
        SCOPED_TRACE(silentBlocks);
        Rig rig;
        if (silentBlocks >= 0) rig.rx.GoToMax();
        for (int b = 0; b < silentBlocks; ++b) rig.rx.ProcessBlock(kSilence.data(), 1);
        rig.rx.SetSquelchEnabled(1);
        rig.rx.SetSquelchThreshold(1e6);  // above any peak
        const double threshold = rig.rx.Params().Levels.DetectorThreshold;
        const IntervalState before = rig.rx.Decoder().State();
        const SpectrumArrays& osc = rig.rx.Spectrum();
        const int entries = (osc.OscCounter + kBlockSize) / SpectrumArrays::kOscDecimation;
        const int oscIndex = osc.OscIndex;
        rig.rx.ProcessBlock(tone.data(), 1);
        const IntervalState& after = rig.rx.Decoder().State();
        EXPECT_EQ(after.KeyDown, before.KeyDown);
        EXPECT_EQ(after.MarkCount, before.MarkCount);
        EXPECT_EQ(after.SpaceCount, before.SpaceCount);
        EXPECT_GT(after.PauseDots, 10.0);
        EXPECT_LE(after.PauseDots, 10.2 + 1e-12);
        EXPECT_EQ(rig.rx.Params().Levels.DetectorThreshold, threshold);
        EXPECT_EQ(osc.OscIndex, (oscIndex + entries) & 2047);
    }

    // A level that the tone's peak reaches opens the squelch, and the tone
    // keys the decoder down.
    Rig rig;
    rig.rx.SetSquelchEnabled(1);
    rig.rx.SetSquelchThreshold(1e6);
    rig.rx.ProcessBlock(tone.data(), 1);
    const double threshold = rig.rx.Params().Levels.DetectorThreshold;
    rig.rx.SetSquelchThreshold(rig.rx.Spectrum().SpectrumPeak[186] * 0.95);
    rig.rx.ProcessBlock(tone.data(), 1);
    EXPECT_EQ(rig.rx.Decoder().State().KeyDown, 1);
    EXPECT_EQ(rig.rx.Decoder().PauseDots(), 0.0);
    EXPECT_NE(rig.rx.Params().Levels.DetectorThreshold, threshold);
}

TEST(BlockProcessor, OscilloscopeKeepsTheEnvelopeOfEvery221stSampleAcrossBlocks) {
    Rig rig;
    ReceiveChain reference(rig.rx.Sine());
    std::vector<double> envelopes;
    for (std::uint32_t seed : {7u, 8u}) {
        const std::vector<std::int16_t> block = ToneBlock(186, 12000.0, 6000.0, seed);
        for (std::int16_t s : block) envelopes.push_back(reference.EnvelopeFunction(s / 16384.0));
        rig.rx.ProcessBlock(block.data(), 1);
        if (seed == 7u) {
            // 2048 samples complete 9 counts of 221; entry 0 stays as cleared.
            EXPECT_EQ(rig.rx.Spectrum().OscIndex, 9);
        }
    }
    const SpectrumArrays& s = rig.rx.Spectrum();
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
    for (bool wheel : {false, true}) {
        SCOPED_TRACE(wheel);
        Rig rig;
        // A wheel step of 0 leaves the tuning where it is and holds the AFC.
        if (wheel) rig.rx.WheelTune(0);
        ASSERT_EQ(rig.rx.Tune().AfcHoldBlocks, wheel ? 2 : 0);
        std::vector<int> bins;
        for (int b = 0; b < 3; ++b) {
            rig.rx.ProcessBlock(tone.data(), 1);
            bins.push_back(rig.rx.Tune().SignalBin());
        }
        // AFC searches the peaks of the previous block, so it can move from
        // the second block on.
        const std::vector<int> expected =
            wheel ? std::vector<int>{186, 186, 190} : std::vector<int>{186, 190, 190};
        EXPECT_EQ(bins, expected);
        EXPECT_EQ(rig.rx.Tune().AfcHoldBlocks, 0);
        EXPECT_EQ(rig.rx.Chain().PhaseStep, 190 * 16);
    }
}

TEST(BlockProcessor, AutoGoToMaxSearchesThePeaksThePreviousBlockLeft) {
    Rig rig;
    rig.rx.SetAutoGoToMax(true);
    rig.rx.SetAfc(false);  // AFC would wander over the rounding noise
    const std::vector<std::int16_t> tone = ToneBlock(300, 16000.0);
    rig.rx.ProcessBlock(tone.data(), 1);  // PauseDots starts at 10: runs on an empty spectrum
    EXPECT_EQ(rig.rx.Tune().SignalBin(), 186);
    EXPECT_LT(rig.rx.Decoder().PauseDots(), 8.0);
    // Each block of silence adds about 3.1 dots of pause: no search up to 8
    // dots, a search (on the peak the tone left) after the block that
    // passes them.
    for (int b = 0; b < 2; ++b) {
        rig.rx.ProcessBlock(kSilence.data(), 1);
        EXPECT_EQ(rig.rx.Tune().SignalBin(), 186);
    }
    ASSERT_GT(rig.rx.Decoder().PauseDots(), 8.0);
    rig.rx.ProcessBlock(tone.data(), 1);
    EXPECT_EQ(rig.rx.Tune().SignalBin(), 300);
    EXPECT_EQ(rig.rx.Chain().PhaseStep, 300 * 16);
    EXPECT_EQ(rig.rx.Decoder().State().KeyDown, 1);  // this block already on the new bin
}

TEST(BlockProcessor, ManualThresholdStaysThroughAnyNumberOfBlocks) {
    for (bool automatic : {false, true}) {
        SCOPED_TRACE(automatic);
        Rig rig;
        rig.rx.SetAutoThreshold(automatic);
        rig.rx.SetDetectorThreshold(0.25);
        for (std::uint32_t seed = 1; seed <= 4; ++seed) {
            const std::vector<std::int16_t> block = ToneBlock(186, 8000.0 * seed, 4000.0, seed);
            rig.rx.ProcessBlock(block.data(), 0);
        }
        if (automatic) {
            EXPECT_NE(rig.rx.Params().Levels.DetectorThreshold, 0.25);
        } else {
            EXPECT_EQ(rig.rx.Params().Levels.DetectorThreshold, 0.25);
        }
    }
}

TEST(BlockProcessor, AnEnvelopeEqualToTheThresholdKeepsTheKeyUp) {
    // Silence has an envelope of exactly 0; a manual threshold of 0 equals it
    // on every sample.
    Rig rig;
    rig.rx.SetAutoThreshold(false);
    rig.rx.SetDetectorThreshold(0.0);
    for (int b = 0; b < 2; ++b) rig.rx.ProcessBlock(kSilence.data(), 1);
    const SpectrumArrays& s = rig.rx.Spectrum();
    ASSERT_EQ(*std::max_element(s.OscRing.begin(), s.OscRing.end()), 0.0);
    EXPECT_EQ(rig.rx.Decoder().State().KeyDown, 0);
    EXPECT_GT(rig.rx.Decoder().PauseDots(), 10.0);
}

TEST(BlockProcessor, ChangesAtTheSpectrumApplyToTheSamplesOfThisBlock) {
    Rig rig;
    const std::vector<std::int16_t> tone = ToneBlock(250, 16000.0);
    rig.listener.onSpectrum = [&] {
        EXPECT_GT(rig.rx.Spectrum().SpectrumAvg[250], 1.0);  // spectrum already updated
        EXPECT_EQ(rig.rx.Spectrum().OscIndex, 0);            // no sample processed yet
        rig.rx.ClickTune(250);
    };
    rig.rx.ProcessBlock(tone.data(), 1);
    EXPECT_EQ(rig.listener.spectra, 1);
    EXPECT_EQ(rig.rx.Chain().PhaseStep, 250 * 16);
    EXPECT_EQ(rig.rx.Decoder().State().KeyDown, 1);  // the retuned mixer heard the tone

    // A squelch switched on at that moment closes this very block.
    Rig closing;
    closing.listener.onSpectrum = [&] {
        closing.rx.SetSquelchEnabled(1);
        closing.rx.SetSquelchThreshold(1e6);
    };
    const std::vector<std::int16_t> onBin = ToneBlock(186, 16000.0);
    closing.rx.ProcessBlock(onBin.data(), 1);
    EXPECT_EQ(closing.rx.Decoder().State().KeyDown, 0);
    EXPECT_GT(closing.rx.Decoder().PauseDots(), 10.0);
}

}  // namespace
}  // namespace quelp
