#include "dsp/SpectrumArrays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "dsp/Fft.h"

namespace quelp {
namespace {

constexpr size_t kFirst = kFirstBin, kLast = kLastBin;

TEST(SpectrumArrays, ZeroBlockDecaysOnlyTheBand) {
    auto a = std::make_unique<SpectrumArrays>();
    for (size_t k = kFirst; k <= kLast; ++k) {
        a->SpectrumAvg[k] = 3.0;
        a->SpectrumPeak[k] = 2.0;
    }
    SmoothSpectrum(*a);
    for (size_t k = 0; k < 2048; ++k) {
        const bool band = k >= kFirst && k <= kLast;
        ASSERT_DOUBLE_EQ(a->SpectrumAvg[k], band ? 1.0 : 0.0) << k;
        ASSERT_DOUBLE_EQ(a->SpectrumPeak[k], band ? 1.9 : 0.0) << k;
    }
}

TEST(SpectrumArrays, MagnitudeBelowTheEnergyFloorReadsZero) {
    auto a = std::make_unique<SpectrumArrays>();
    const double scale = 8388608.0;              // 2^23
    a->FftRe[100] = std::sqrt(0.9e-12) * scale;  // E just below 1e-12
    a->FftRe[101] = std::sqrt(1.1e-12) * scale;
    a->FftIm[102] = 0.3 * scale;
    a->FftRe[102] = 0.4 * scale;
    SmoothSpectrum(*a);
    EXPECT_EQ(a->SpectrumAvg[100], 0.0);
    EXPECT_NEAR(a->SpectrumAvg[101], 2.0 / 3.0 * std::sqrt(1.1e-12), 1e-18);
    EXPECT_DOUBLE_EQ(a->SpectrumAvg[102], 2.0 / 3.0 * 0.5);
    EXPECT_DOUBLE_EQ(a->SpectrumPeak[102], a->SpectrumAvg[102]);
}

TEST(SpectrumArrays, FullScaleSineSettlesNearFour) {
    auto a = std::make_unique<SpectrumArrays>();
    std::vector<int16_t> block(2048);
    for (size_t n = 0; n < block.size(); ++n)
        block[n] = static_cast<int16_t>(
            std::lround(32767.0 * std::cos(2.0 * std::numbers::pi * 300.0 * n / 2048)));
    const Fft fft = Fft::ForBlock();
    double previous = 0;
    for (int b = 0; b < 12; ++b) {
        fft.Transform(block.data(), a->FftRe.data(), a->FftIm.data());
        SmoothSpectrum(*a);
        EXPECT_GT(a->SpectrumAvg[300], previous);  // two thirds of the way per block
        previous = a->SpectrumAvg[300];
    }
    EXPECT_NEAR(a->SpectrumAvg[300], 4.0, 0.001);
    EXPECT_NEAR(a->SpectrumPeak[300], 4.0, 0.001);
    EXPECT_LT(a->SpectrumAvg[290], 1e-3);
}

TEST(SpectrumArrays, PeakFreezeKeepsPeaksDecayingForItsBlocks) {
    auto a = std::make_unique<SpectrumArrays>();
    a->FftRe[200] = 8388608.0;  // magnitude 1.0
    a->PeakFreezeBlocks = 2;
    SmoothSpectrum(*a);
    SmoothSpectrum(*a);
    EXPECT_EQ(a->SpectrumPeak[200], 0.0);
    EXPECT_EQ(a->PeakFreezeBlocks, 0);
    SmoothSpectrum(*a);
    EXPECT_DOUBLE_EQ(a->SpectrumPeak[200], a->SpectrumAvg[200]);
    EXPECT_GT(a->SpectrumPeak[200], 0.9);
}

TEST(SpectrumArrays, OscilloscopeStoresEvery221stEnvelope) {
    auto a = std::make_unique<SpectrumArrays>();
    for (int n = 1; n <= 221 * 3 + 5; ++n) a->RecordOscilloscope(n);
    EXPECT_EQ(a->OscIndex, 3);
    EXPECT_EQ(a->OscRing[1], 221.0);
    EXPECT_EQ(a->OscRing[2], 442.0);
    EXPECT_EQ(a->OscRing[3], 663.0);
    EXPECT_EQ(a->OscRing[4], 0.0);
    for (int n = 0; n < 221 * 2045; ++n) a->RecordOscilloscope(7.0);
    EXPECT_EQ(a->OscIndex, 0);  // wrapped
    EXPECT_EQ(a->OscRing[0], 7.0);
    a->ClearOscilloscope();
    EXPECT_EQ(a->OscIndex, 0);
    EXPECT_EQ(a->OscRing[0], 0.0);
}

}  // namespace
}  // namespace quelp
