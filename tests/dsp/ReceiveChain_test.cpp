#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <numeric>
#include <random>
#include <string>

#include "dsp/Decimator2.h"
#include "dsp/Decimator3.h"
#include "dsp/MainFilterTable.h"
#include "dsp/ReceiveChain.h"
#include "dsp/SineTable.h"

namespace quelp {
namespace {

constexpr double kRate = 11025.0;
constexpr double kInputScale = 1.0 / 16384.0;  // sample x 2^-14
constexpr int32_t kBin = 186;
const double kMixerHz = kBin * kRate / 2048.0;

const SineTable& Sine() {
    static const SineTable table;
    return table;
}

void Load(ReceiveChain& chain, const MainFilterRow& row) {
    if (row.Fir != nullptr) {
        chain.LoadFir(*row.Fir, row.Rate);
    } else {
        chain.LoadIir(*row.Iir);
    }
}

// DC gain of the whole path of a row: decimator table sums times the main
// filter's own DC gain.
double PathDcGain(const MainFilterRow& row) {
    const auto sum = [](const auto& c) { return std::accumulate(c.begin(), c.end(), 0.0); };
    const double d2 = sum(Decimator2::kCoefficients);
    const double d3 = sum(Decimator3::kCoefficients);
    if (row.Fir == nullptr) return 1.0;
    const double fir =
        std::accumulate(row.Fir->Coefficients, row.Fir->Coefficients + row.Fir->Taps, 0.0);
    switch (row.Rate) {
        case RateCode::R306:
            return d2 * d2 * d3 * d3 * fir;
        case RateCode::R919:
            return d2 * d2 * d3 * fir;
        case RateCode::R2756:
            return d2 * d2 * fir;
        default:
            return fir;
    }
}

// Input samples the chain needs to forget its start: the main filter's
// length in input samples plus the decimators' share.
int SettleSamples(const MainFilterRow& row) {
    if (row.Fir == nullptr) return 6000;
    return row.Fir->Taps * Decimation(row.Rate) + 1500;
}

// Largest envelope over `window` samples of a full-scale tone at `hz`, after
// `settle` samples, with the mixer on bin 186.
double ToneEnvelope(const MainFilterRow& row, double hz, int settle, int window,
                    double* minimum = nullptr) {
    ReceiveChain chain(Sine());
    Load(chain, row);
    chain.PhaseStep = 16 * kBin;
    const double w = 2.0 * std::numbers::pi * hz / kRate;
    double hi = 0.0;
    double lo = 1e300;
    for (int n = 0; n < settle + window; ++n) {
        const double e = chain.EnvelopeFunction(32767.0 * std::sin(w * n) * kInputScale);
        if (n >= settle) {
            hi = std::max(hi, e);
            lo = std::min(lo, e);
        }
    }
    if (minimum != nullptr) *minimum = lo;
    return hi;
}

TEST(SineTable, FilledWithRoundedSine) {
    const SineTable& t = Sine();
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[1], 6);
    EXPECT_EQ(t[8192], 32000);
    EXPECT_EQ(t[16384], 0);
    EXPECT_EQ(t[24576], -32000);
    EXPECT_EQ(t.Cos(0), 32000);
    EXPECT_EQ(t.Cos(24576), 0);
}

TEST(ReceiveChain, ZeroPhaseStepPassesDcThroughTheQBranch) {
    // sin 0 = 0 on I and 32000 x 3.125e-5 = 1 on Q: a DC input comes out as
    // itself times the path's DC gain.
    for (const MainFilterRow& row : AllMainFilters()) {
        SCOPED_TRACE(row.Code);
        ReceiveChain chain(Sine());
        Load(chain, row);
        chain.PhaseStep = 0;
        double e = 0.0;
        for (int n = 0; n < SettleSamples(row); ++n) e = chain.EnvelopeFunction(0.5);
        EXPECT_NEAR(e, 0.5 * PathDcGain(row), 1e-5);
    }
}

TEST(ReceiveChain, ToneOnTheMixerFrequencyGivesASteadyFullScaleEnvelope) {
    for (const MainFilterRow& row : AllMainFilters()) {
        SCOPED_TRACE(row.Code);
        double lo = 0.0;
        const double hi = ToneEnvelope(row, kMixerHz, SettleSamples(row), 2000, &lo);
        EXPECT_LT(hi - lo, 1e-4);
        EXPECT_NEAR(hi, 32767.0 / 32768.0 * PathDcGain(row), 1e-4);
        std::printf("[ measured ] filter %-5d on-tone envelope %.6f\n", row.Code, 0.5 * (hi + lo));
    }
}

TEST(ReceiveChain, FullRateFiltersRejectTonesBeyondTheFirstNull) {
    struct Case {
        int code;
        double firstNull;
    };
    for (const Case& c : {Case{1000, 501.6}, Case{2000, 1006.0}, Case{3500, 1496.6}}) {
        const MainFilterRow& row = *FindMainFilter(c.code);
        SCOPED_TRACE(row.Code);
        const int settle = row.Fir->Taps + 50;
        const double ref = ToneEnvelope(row, kMixerHz, settle, 300);
        // Both sides of the mixer frequency, from just past the null over the
        // highest lobes. The peak of the envelope also carries the mixer's
        // sum-frequency leak; the mean is the filter's own stopband.
        double worstPeak = 0.0;
        double worstMean = 0.0;
        auto probe = [&](double hz) {
            double lo = 0.0;
            const double hi = ToneEnvelope(row, hz, settle, 300, &lo);
            worstPeak = std::max(worstPeak, hi);
            worstMean = std::max(worstMean, 0.5 * (hi + lo));
        };
        for (double off = c.firstNull * 1.01; off < c.firstNull + 600.0; off += 3.0) {
            probe(kMixerHz + off);
            if (off < kMixerHz - 50.0) probe(kMixerHz - off);
        }
        const double db = 20.0 * std::log10(ref / worstPeak);
        std::printf(
            "[ measured ] filter %-5d rejection beyond the first null %.1f dB (mean %.1f dB)\n",
            row.Code, db, 20.0 * std::log10(ref / worstMean));
        EXPECT_GT(db, 80.0);
    }
}

TEST(ReceiveChain, WholeChainHalfAmplitudeWidth) {
    // The main filter's own half-amplitude point (or, for the IIR sets, the
    // span between their -3 dB and -40 dB corners) bounds the whole chain's:
    // the decimators are nearly flat that close to the receive frequency.
    struct Bounds {
        int code;
        double lo, hi;  // Hz from the receive frequency
    };
    const Bounds bounds[] = {{10, 2.55, 2.65},     {20, 5.2, 5.4},       {30, 7.75, 8.05},
                             {70, 18.2, 18.9},     {140, 39.3, 40.9},    {280, 78.4, 81.6},
                             {600, 166.8, 173.6},  {1000, 275.5, 286.7}, {2000, 540.2, 562.2},
                             {3500, 883.3, 919.3}, {101, 16.0, 51.5},    {251, 40.0, 128.5},
                             {1001, 158.5, 509.0}};
    for (const Bounds& b : bounds) {
        const MainFilterRow& row = *FindMainFilter(b.code);
        SCOPED_TRACE(row.Code);
        const int settle = SettleSamples(row);
        const int window = 40 * Decimation(row.Rate) + 200;
        const double ref = ToneEnvelope(row, kMixerHz, settle, window);
        double lo = 0.0;
        double hi = 1600.0;
        for (int i = 0; i < 16; ++i) {
            const double mid = 0.5 * (lo + hi);
            (ToneEnvelope(row, kMixerHz + mid, settle, window) > 0.5 * ref ? lo : hi) = mid;
        }
        std::printf("[ measured ] filter %-5d -6 dB width %.1f Hz (+/- %.1f Hz)\n", row.Code,
                    2.0 * lo, lo);
        EXPECT_GT(lo, b.lo);
        EXPECT_LT(lo, b.hi);
    }
}

TEST(ReceiveChain, EnvelopeChangesOnlyOnDecimatedSamples) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (const MainFilterRow& row : AllMainFilters()) {
        SCOPED_TRACE(row.Code);
        const int every = Decimation(row.Rate);
        ReceiveChain chain(Sine());
        Load(chain, row);
        // Warm up past the start, where the envelope sits at exactly 0 while
        // the filters fill.
        const int warmUp = 36 * 20;
        for (int n = 0; n < warmUp; ++n) chain.EnvelopeFunction(u(rng));
        double last = chain.EnvelopeFunction(u(rng));
        int firstChange = -1;
        int changes = 0;
        const int total = 36 * 60;
        for (int n = 1; n < total; ++n) {
            const double e = chain.EnvelopeFunction(u(rng));
            if (e != last) {
                if (firstChange < 0) firstChange = n;
                EXPECT_EQ((n - firstChange) % every, 0) << "changed at sample " << n;
                ++changes;
            }
            last = e;
        }
        EXPECT_GE(changes, total / every - 1);
    }
}

TEST(ReceiveChain, EnvelopeIsExactlyZeroBelowTheEnergyFloor) {
    const MainFilterRow& row = *FindMainFilter(3500);
    for (const auto& [input, zero] : {std::pair{1e-7, true}, std::pair{3e-6, false}}) {
        ReceiveChain chain(Sine());
        Load(chain, row);
        chain.PhaseStep = 0;
        double e = -1.0;
        for (int n = 0; n < 200; ++n) e = chain.EnvelopeFunction(input);
        if (zero) {
            EXPECT_EQ(e, 0.0);
        } else {
            EXPECT_NEAR(e, input * PathDcGain(row), 1e-9);
        }
    }
}

TEST(ReceiveChain, PhaseResetRestartsTheOscillatorOnce) {
    // Full-rate FIR: no gates, and zeros leave the delay line at zero, so
    // after the reset a chain whose phase ran on behaves like a fresh one.
    const MainFilterRow& row = *FindMainFilter(2000);
    ReceiveChain fresh(Sine());
    ReceiveChain ran(Sine());
    Load(fresh, row);
    Load(ran, row);
    for (int n = 0; n < 77; ++n) ran.EnvelopeFunction(0.0);
    ran.PhaseResetFlag = 1;
    for (int n = 0; n < 300; ++n) {
        const double x = std::sin(0.3 * n);
        ASSERT_EQ(ran.EnvelopeFunction(x), fresh.EnvelopeFunction(x)) << n;
    }
    EXPECT_EQ(ran.PhaseResetFlag, 0);
}

TEST(ReceiveChain, SwitchingFiltersKeepsEachFunctionsHeldEnvelope) {
    ReceiveChain chain(Sine());
    chain.LoadFir(Fir10Hz, RateCode::R306);
    chain.PhaseStep = 0;
    double held = 0.0;
    for (int n = 0; n < 4000; ++n) held = chain.EnvelopeFunction(0.5);
    ASSERT_GT(held, 0.0);
    chain.LoadFir(Fir1000Hz, RateCode::R11025);
    for (int n = 0; n < 5; ++n) chain.EnvelopeFunction(0.0);
    chain.LoadFir(Fir10Hz, RateCode::R306);
    // The 306 function resumes with its own gates: until its next due sample
    // it returns the envelope it held before the switch, and within 36
    // samples it changes once.
    double last = held;
    int changes = 0;
    for (int n = 0; n < 36; ++n) {
        const double e = chain.EnvelopeFunction(0.5);
        if (n == 0) {
            EXPECT_EQ(e, held);
        }
        changes += e != last ? 1 : 0;
        last = e;
    }
    EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace quelp
