// The main decoder on keyed text: after adapting to the sender it prints
// exactly what was sent, at every speed the operator is likely to meet.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "decoder/CharacterTables.h"
#include "decoder/MainDecoder.h"
#include "support/Keying.h"

namespace quelp {
namespace {

// What the English table prints for the sent text: prosigns upper case.
std::string Printed(std::string_view sent) {
    std::string out;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const char c = sent[i];
        if (c == '<') {
            const std::size_t close = sent.find('>', i);
            out += std::string(sent.substr(i + 1, close - i - 1));
            i = close;
        } else {
            out += c;
        }
    }
    return out;
}

struct Decoded {
    std::string text;
    int lockChars = 0;  // sent characters before the decoded text matches to the end
};

// Prints every decoded character with the English table.
class Printer final : public DecoderEvents {
  public:
    void CharacterDecoded(std::uint32_t code) override {
        text += tables_.LookupCharacter(code, charset::English);
    }
    void SpeedMeasured() override {}
    void SpeedLimitsChanged() override {}
    void SpeedWindowApplied() override {}
    void SpeedLockChanged() override {}
    std::string text;

  private:
    CharacterTables tables_;
};

Decoded DecodeKeyed(std::string_view sent, const test::KeyingOptions& options) {
    DecoderSpeed speed;
    const double samplingFreq = options.samplingFreq;
    Printer printer;
    MainDecoder d(speed, samplingFreq, printer);
    Decoded result;
    for (const test::KeyRun& run : test::KeyText(sent, options)) {
        for (std::int64_t i = 0; i < run.samples; ++i) d.DecodeSample(run.down);
    }
    result.text = printer.text;
    // Match from the end: everything after the first wrong character counts
    // as locked.
    const std::string expected = Printed(sent) + " ";
    std::size_t common = 0;
    while (common < expected.size() && common < result.text.size() &&
           expected[expected.size() - 1 - common] == result.text[result.text.size() - 1 - common]) {
        ++common;
    }
    result.lockChars = static_cast<int>(expected.size() - common);
    return result;
}

// Letters, digits, punctuation and prosigns.
constexpr std::string_view kText =
    "cq test de dl1abc/p = rst 599 5nn? name: ted, qth: berlin. <AR> tu <SK>";
constexpr std::string_view kShortText = "de dl1abc = 5nn? <AR>";

TEST(DecoderKeying, DecodesExactlyAfterAdaptingAtEverySpeed) {
    struct Case {
        double wpm;
        std::string_view text;
        int maxLockChars;  // as measured
    };
    // Measured: 1 character at 5 and 10 WPM (the first "d" or "c" splits),
    // none at 20 to 60 WPM.
    const Case cases[] = {
        {5, kShortText, 1}, {10, kText, 1}, {20, kText, 0},
        {30, kText, 0},     {40, kText, 0}, {60, kText, 0},
    };
    for (const Case& c : cases) {
        const std::string twice = std::string(c.text) + " " + std::string(c.text);
        test::KeyingOptions options;
        options.wpm = c.wpm;
        const Decoded got = DecodeKeyed(twice, options);
        std::printf("[ keying  ] %4.0f WPM: locked after %d characters: %.30s\n", c.wpm,
                    got.lockChars, got.text.c_str());
        EXPECT_LE(got.lockChars, c.maxLockChars) << c.wpm << " WPM: " << got.text;
        // The second copy is always exact.
        const std::string second = Printed(c.text) + " ";
        ASSERT_GE(got.text.size(), second.size());
        EXPECT_EQ(got.text.substr(got.text.size() - second.size()), second) << c.wpm << " WPM";
    }
}

TEST(DecoderKeying, TenPercentJitterAt20Wpm) {
    for (std::uint32_t seed = 1; seed <= 5; ++seed) {
        test::KeyingOptions options;
        options.wpm = 20;
        options.jitter = 0.10;
        options.seed = seed;
        const std::string twice = std::string(kText) + " " + std::string(kText);
        const Decoded got = DecodeKeyed(twice, options);
        std::printf("[ keying  ] 20 WPM, 10 %% jitter, seed %u: locked after %d characters\n", seed,
                    got.lockChars);
        EXPECT_EQ(got.lockChars, 0) << "seed " << seed << ": " << got.text;
    }
}

TEST(DecoderKeying, KeyingHelperTimesParisExactly) {
    test::KeyingOptions options;
    options.wpm = 20;
    options.tailDots = 0;
    // PARIS without its word space: 43 dots at 60 ms = 1.2 s.
    std::int64_t total = 0;
    std::int64_t down = 0;
    for (const test::KeyRun& run : test::KeyText("paris", options)) {
        total += run.samples;
        down += run.down ? run.samples : 0;
    }
    EXPECT_EQ(total, 28445);  // 43 × 661.5, rounded
    // 10 dots and 4 dashes, 22 × 661.5; each edge lands on the nearest sample.
    EXPECT_NEAR(static_cast<double>(down), 22 * 661.5, 14.0);
    // A prosign has no character gap inside: <AR> is .-.-. in 13 dots.
    total = 0;
    for (const test::KeyRun& run : test::KeyText("<AR>", options)) total += run.samples;
    EXPECT_EQ(total, 8600);  // 13 × 661.5, rounded
}

}  // namespace
}  // namespace quelp
