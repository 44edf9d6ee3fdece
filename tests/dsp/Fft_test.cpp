#include "dsp/Fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace quelp {
namespace {

// Direct DFT as the reference, twiddles computed in long double from exact
// integer phases.
void DirectDft(const std::vector<double>& re, const std::vector<double>& im,
               std::vector<double>& outRe, std::vector<double>& outIm) {
    const size_t n = re.size();
    outRe.assign(n, 0.0);
    outIm.assign(n, 0.0);
    std::vector<double> c(n), s(n);
    for (size_t e = 0; e < n; ++e) {
        const long double a = -2.0L * std::numbers::pi_v<long double> * e / n;
        c[e] = static_cast<double>(std::cos(a));
        s[e] = static_cast<double>(std::sin(a));
    }
    for (size_t k = 0; k < n; ++k) {
        double sr = 0, si = 0;
        for (size_t t = 0, e = 0; t < n; ++t, e = e + k >= n ? e + k - n : e + k) {
            sr += re[t] * c[e] - im[t] * s[e];
            si += re[t] * s[e] + im[t] * c[e];
        }
        outRe[k] = sr;
        outIm[k] = si;
    }
}

// Largest error over the largest output magnitude.
double RelativeError(int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> re(static_cast<size_t>(n)), im(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        re[static_cast<size_t>(i)] = u(rng), im[static_cast<size_t>(i)] = u(rng);
    std::vector<double> wantRe, wantIm, gotRe(re.size()), gotIm(re.size());
    DirectDft(re, im, wantRe, wantIm);
    Fft fft(n);
    EXPECT_TRUE(fft.Valid()) << n;
    fft.Transform(re.data(), im.data(), gotRe.data(), gotIm.data());
    double err = 0, scale = 0;
    for (size_t k = 0; k < re.size(); ++k) {
        err = std::max(err, std::hypot(gotRe[k] - wantRe[k], gotIm[k] - wantIm[k]));
        scale = std::max(scale, std::hypot(wantRe[k], wantIm[k]));
    }
    return err / scale;
}

TEST(Fft, MatchesDirectDftOnRandomInput) {
    // 2048: the block length (8 8 8 4); 2880: 10 8 4 3 3; 750: 10 5 5 3
    // (odd and even radices); the primes and 7*37*2 exercise the generic odd
    // butterfly, alone and mixed with the fixed ones.
    for (int n : {2048, 2880, 750, 2, 3, 7, 37, 518, 11 * 13 * 4}) {
        EXPECT_LT(RelativeError(n, static_cast<unsigned>(n)), 1e-12) << "length " << n;
    }
}

TEST(Fft, FactorsGreedilyByTheLargestRadixFirst) {
    EXPECT_EQ(Fft(2048).Factors(), (std::vector<int>{8, 8, 8, 4}));
    EXPECT_EQ(Fft(2880).Factors(), (std::vector<int>{10, 8, 4, 3, 3}));
    EXPECT_EQ(Fft(1).Factors(), (std::vector<int>{}));
}

TEST(Fft, RefusesLengthsWithLargePrimeFactors) {
    for (auto [n, bad] :
         std::vector<std::pair<int, int>>{{41, 41}, {2 * 43 * 3, 43}, {0, 0}, {-8, -8}}) {
        Fft fft(n);
        EXPECT_FALSE(fft.Valid()) << n;
        EXPECT_EQ(fft.BadFactor(), bad);
    }
    EXPECT_EQ(Fft(41).ErrorText(), "\nPrime factor of FFT length too large :     41");
    EXPECT_EQ(Fft(2048).ErrorText(), "");
    // A refused transform writes zeros and reads nothing it should not.
    Fft bad(41);
    std::vector<double> in(41, 1.0), re(41, 5.0), im(41, 5.0);
    bad.Transform(in.data(), in.data(), re.data(), im.data());
    for (int k = 0; k < 41; ++k)
        EXPECT_EQ(re[static_cast<size_t>(k)] + im[static_cast<size_t>(k)], 0.0);
}

TEST(Fft, FullScaleSineCentredOnABinReads32767Times1024) {
    std::vector<int16_t> block(2048);
    const int bin = 186;
    for (int n = 0; n < 2048; ++n)
        block[static_cast<size_t>(n)] = static_cast<int16_t>(
            std::lround(32767.0 * std::sin(2.0 * std::numbers::pi * bin * n / 2048)));
    std::vector<double> re(2048), im(2048);
    Fft::ForBlock().Transform(block.data(), re.data(), im.data());
    EXPECT_NEAR(std::hypot(re[bin], im[bin]), 32767.0 * 1024, 100.0);
    EXPECT_NEAR(std::hypot(re[2048 - bin], im[2048 - bin]), 32767.0 * 1024, 100.0);
    EXPECT_LT(std::hypot(re[bin + 5], im[bin + 5]), 100.0);
}

}  // namespace
}  // namespace quelp
