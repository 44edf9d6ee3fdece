#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "dsp/DspSound.h"
#include "dsp/FirTables.h"
#include "dsp/IirTables.h"
#include "dsp/SoundFilter.h"

namespace quelp {
namespace {

const SineTable& Sine() {
    static const SineTable table;
    return table;
}

TEST(DspSound, SilentUntilConfiguredAndForUnknownRates) {
    int32_t step = 2976;
    DspSound sound(Sine(), step);
    EXPECT_TRUE(sound.Disabled());
    EXPECT_EQ(sound.Process(12345.0), 0.0);
    sound.SetFir(500, Fir140Hz.Taps, Fir140Hz.Coefficients);
    EXPECT_TRUE(sound.Disabled());
    for (int n = 0; n < 100; ++n) EXPECT_EQ(sound.Process(10000.0 * std::sin(n)), 0.0);
}

// A tone of amplitude A on the mixer frequency comes back at the same
// frequency with amplitude about A/2: fit a sine and a cosine at that
// frequency and look at what is left over.
TEST(DspSound, InBandToneComesBackAtHalfAmplitude) {
    struct Case {
        int code;
        int settle;
        double dcGain;  // decimators and filter on the path
    };
    const double d2 = 0.986425;
    const double d3 = 1.000049;
    const Case cases[] = {{20, 143 * 36 + 2000, d2 * d2 * d3 * d3},
                          {140, 79 * 12 + 1000, d2 * d2 * d3},
                          {3500, 400, 1.0},
                          {251, 6000, 1.0}};
    const int32_t bin = 186;
    const double w = 2.0 * std::numbers::pi * bin / 2048.0;
    const double amplitude = 10000.0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        int32_t step = 16 * bin;
        DspSound sound(Sine(), step);
        ASSERT_TRUE(ApplySoundFilter(sound, c.code));
        const int window = 2048;  // 186 whole cycles
        double s = 0.0;
        double k = 0.0;
        double energy = 0.0;
        for (int n = 0; n < c.settle + window; ++n) {
            const double y = sound.Process(amplitude * std::sin(w * n));
            if (n >= c.settle) {
                s += y * std::sin(w * n);
                k += y * std::cos(w * n);
                energy += y * y;
            }
        }
        const double fitted = 2.0 * std::hypot(s, k) / window;
        EXPECT_NEAR(fitted, amplitude / 2 * c.dcGain, 0.002 * amplitude);
        // Whatever is not at the mixer frequency: well under 1 % of the power.
        const double rest = energy / window - fitted * fitted / 2;
        EXPECT_LT(rest, 1e-4 * fitted * fitted);
    }
}

TEST(SoundFilter, CodesSelectTheMainFilterTablesOfTheSameName) {
    struct Case {
        int code;
        bool applies;
        RateCode rate;
    };
    const Case cases[] = {
        {10, true, RateCode::R306},     {30, true, RateCode::R306},
        {70, true, RateCode::R919},     {280, true, RateCode::R919},
        {600, true, RateCode::R2756},   {2000, true, RateCode::R11025},
        {3500, true, RateCode::R11025}, {101, true, RateCode::Iir},
        {1001, true, RateCode::Iir},    {0, false, RateCode::None},
        {9998, false, RateCode::None},  {3000, false, RateCode::None},
        {1, false, RateCode::None},     {-7, false, RateCode::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        int32_t step = 2976;
        DspSound sound(Sine(), step);
        EXPECT_EQ(ApplySoundFilter(sound, c.code), c.applies);
        EXPECT_EQ(sound.Rate(), c.rate);
        EXPECT_EQ(sound.Disabled(), !c.applies);
    }
}

}  // namespace
}  // namespace quelp
