#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <string>

#include "dsp/FirTables.h"
#include "dsp/IirTables.h"

namespace quelp {
namespace {

// |H(f)| of a FIR table at rate fs; the unit phasor is advanced by rotation,
// accurate to about 1e-13 over a few hundred taps.
double FirGain(const FirTable& t, double f, double fs) {
    const std::complex<double> step = std::polar(1.0, -2.0 * std::numbers::pi * f / fs);
    std::complex<double> w = 1.0;
    std::complex<double> sum = 0.0;
    for (int n = 0; n < t.Taps; ++n) {
        sum += t.Coefficients[n] * w;
        w *= step;
    }
    return std::abs(sum);
}

double IirGain(const IirTable& t, double f, double fs) {
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * f / fs);
    const std::complex<double> z2 = z1 * z1;
    std::complex<double> h = t.Gain;
    for (int i = 0; i < 6; ++i) {
        const auto& b = t.Numerators[i];
        const auto& a = t.Denominators[i];
        h *= (b[0] + b[1] * z1 + b[2] * z2) / (a[0] + a[1] * z1 + a[2] * z2);
    }
    return std::abs(h);
}

// Where a falling response first crosses `level`, searched from 0 in steps
// of `step` and refined by bisection.
template <typename Gain>
double Crossing(Gain gain, double level, double step) {
    double f = 0.0;
    while (gain(f + step) > level) f += step;
    double lo = f;
    double hi = f + step;
    for (int i = 0; i < 40; ++i) {
        const double mid = 0.5 * (lo + hi);
        (gain(mid) > level ? lo : hi) = mid;
    }
    return lo;
}

struct FirCase {
    const char* name;
    const FirTable* table;
    int taps;
    double rate;  // the rate the table runs at in the chain
    double c0, c1, c2, centre;
    double halfAmplitude, firstNull, stopDb;
};

const FirCase kFir[] = {
    {"10", &Fir10Hz, 279, 306.25, 1.56031151704671e-05, 1.79385632516777e-05, 2.03063896444729e-05,
     0.0170337505638041, 2.6, 5.1, -70.6},
    {"20", &Fir20Hz, 143, 306.25, 3.30249461491679e-05, 4.41454624550961e-05, 5.60669154510025e-05,
     0.0345927527808268, 5.3, 10.1, -72.2},
    {"30", &Fir30Hz, 111, 306.25, 7.55485100652437e-06, 1.60760487213603e-05, 2.90833629807799e-05,
     0.0515862654391848, 7.9, 15.0, -77.6},
    {"70", &Fir70Hz, 141, 918.75, 6.5664773198455e-06, 1.1781531482429e-05, 1.90695098736155e-05,
     0.0402559870352278, 18.6, 35.1, -77.6},
    {"140", &Fir140Hz, 79, 918.75, -2.06338210074051e-05, -3.59025278765066e-05,
     -4.77783796462423e-05, 0.0870369145818357, 40.1, 70.2, -80.7},
    {"280", &Fir280Hz, 45, 918.75, -6.9889794318944e-06, -4.76875013449078e-05,
     -0.000135634229977094, 0.174097555423662, 80.0, 140.3, -89.1},
    {"600", &Fir600Hz, 63, 2756.25, -5.11392921931721e-06, -2.23096399206273e-05,
     -5.65581073643499e-05, 0.123363760818524, 170.2, 298.4, -89.0},
    {"1000", &Fir1000Hz, 137, 11025, -7.38964097873004e-06, -1.14723878095711e-05,
     -1.59548340935306e-05, 0.0507886358077249, 281.1, 501.6, -85.3},
    {"2000", &Fir2000Hz, 71, 11025, -8.63870964286257e-06, -2.09172860101219e-05,
     -3.51382688709993e-05, 0.0997683955276526, 551.2, 1006.0, -89.5},
    {"3000", &Fir3000Hz, 61, 11025, 1.12035074496622e-06, 9.49714239785809e-06,
     3.01210053167527e-05, 0.16326381541531, 901.3, 1496.6, -99.3},
};

TEST(FirTables, CoefficientsLengthSymmetryAndDcGain) {
    for (const FirCase& c : kFir) {
        SCOPED_TRACE(std::string(c.name) + " Hz");
        const FirTable& t = *c.table;
        ASSERT_EQ(t.Taps, c.taps);
        const double* h = t.Coefficients;
        const double listed[] = {c.c0, c.c1, c.c2, c.centre};
        const double stored[] = {h[0], h[1], h[2], h[(c.taps - 1) / 2]};
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(stored[i], listed[i], 1e-12 * std::abs(listed[i]));
        double sum = 0.0;
        for (int k = 0; k < c.taps; ++k) {
            EXPECT_EQ(h[k], h[c.taps - 1 - k]) << "tap " << k;
            sum += h[k];
        }
        EXPECT_LE(sum, 1.0 + 1e-12);
        EXPECT_GE(sum, 0.9997);
    }
}

TEST(FirTables, ResponseFigures) {
    for (const FirCase& c : kFir) {
        SCOPED_TRACE(std::string(c.name) + " Hz");
        auto gain = [&](double f) { return FirGain(*c.table, f, c.rate); };
        const double step = c.rate / 4000.0;
        const double half = Crossing(gain, 0.5, step);
        // The listed half-amplitude points of the wider tables read a little
        // high; 1 % holds for all.
        EXPECT_NEAR(half, c.halfAmplitude, 0.01 * c.halfAmplitude);

        // First null: the first minimum of the response past the pass band.
        double f = half;
        while (gain(f + step) < gain(f)) f += step;
        double lo = f - step;
        double hi = f + step;
        for (int i = 0; i < 60; ++i) {  // golden-section search for the minimum
            const double m1 = hi - 0.618 * (hi - lo);
            const double m2 = lo + 0.618 * (hi - lo);
            (gain(m1) < gain(m2) ? hi : lo) = (gain(m1) < gain(m2) ? m2 : m1);
        }
        const double null = 0.5 * (lo + hi);
        EXPECT_NEAR(null, c.firstNull, 0.01 * c.firstNull);

        // Highest stopband lobe from the first null to half the rate.
        double peak = 0.0;
        for (double g = null; g <= c.rate / 2; g += step / 4) peak = std::max(peak, gain(g));
        EXPECT_NEAR(20.0 * std::log10(peak), c.stopDb, 0.1);
    }
}

TEST(IirTables, UnitDcGainAndCorners) {
    struct Case {
        const IirTable* table;
        double minus3, minus40;
    };
    for (const Case& c : {Case{&Iir100Hz, 16.0, 51.5}, Case{&Iir250Hz, 40.0, 128.5},
                          Case{&Iir1000Hz, 158.5, 509.0}}) {
        auto gain = [&](double f) { return IirGain(*c.table, f, 11025.0); };
        // The 13-digit coefficients leave the DC gain up to 3e-6 below 1, and
        // the -3 dB corners of the two narrow sets about 1.2 % below the figures
        // they were designed for.
        EXPECT_NEAR(gain(0.0), 1.0, 1e-5);
        EXPECT_NEAR(Crossing(gain, std::pow(10.0, -3.0 / 20), 1.0), c.minus3, 0.02 * c.minus3);
        EXPECT_NEAR(Crossing(gain, 0.01, 1.0), c.minus40, 0.01 * c.minus40);
        for (const auto& b : c.table->Numerators) {
            EXPECT_EQ(b[1], 2.0 * b[0]);
            EXPECT_EQ(b[2], b[0]);
        }
    }
}

}  // namespace
}  // namespace quelp
