// The receiver end to end: synthesized CW through the block processor with
// the default settings (140 Hz filter, automatic threshold, AFC on, receive
// bin 186 = 1001.3 Hz) into the receive text.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/ReceiverRig.h"
#include "support/CwSynth.h"
#include "support/EditDistance.h"

namespace quelp {
namespace {

using test::ReceiverRig;

constexpr double kBinHz = 11025.0 / 2048.0;
constexpr double kReceiveHz = 186 * kBinHz;

// What the receive text shows for a sent message: letters in lower case,
// prosigns as their table text, one space between words.
std::string Rendered(const std::string& sent) {
    std::string out;
    for (size_t i = 0; i < sent.size(); ++i) {
        const char c = sent[i];
        if (c == '<') {
            const size_t close = sent.find('>', i);
            const std::string sign = sent.substr(i + 1, close - i - 1);
            out += sign == "BT" ? "=" : sign;
            i = close;
        } else {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

std::string TrimEnd(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// The message from its word number `word` (0-based) on.
std::string FromWord(const std::string& text, int word) {
    size_t at = 0;
    for (int w = 0; w < word; ++w) at = text.find(' ', at) + 1;
    return text.substr(at);
}

// The second half of the message, starting at a word.
std::string SecondHalf(const std::string& text) {
    return text.substr(text.find(' ', text.size() / 2) + 1);
}

test::CwSynthOptions Message(const std::string& text, double wpm, double level = 0.25) {
    test::CwSynthOptions o;
    o.signal.text = text;
    o.signal.wpm = wpm;
    o.signal.freqHz = kReceiveHz;
    o.signal.level = level;
    o.tailSec = 1.0;
    return o;
}

std::vector<std::int16_t> Pcm(const test::CwSynthOptions& o) {
    return test::ToPcm16(test::SynthesizeCw(o).samples);
}

TEST(EditDistance, CountsEditsAndIgnoresWhatPrecedesTheReference) {
    EXPECT_EQ(test::EditDistance("", ""), 0u);
    EXPECT_EQ(test::EditDistance("kitten", "sitting"), 3u);
    EXPECT_EQ(test::EditDistance("abc", ""), 3u);
    EXPECT_EQ(test::SuffixEditDistance("de dl1abc", "xx eeide dl1abc"), 0u);
    EXPECT_EQ(test::SuffixEditDistance("de dl1abc", "de dl1abcx"), 1u);
    EXPECT_EQ(test::SuffixEditDistance("de dl1abc", "de dl1bc"), 1u);
    EXPECT_DOUBLE_EQ(test::CharacterErrorRate("abcd", "zzabxd"), 0.25);
}

// --- clean signals at several speeds ------------------------------------------

constexpr const char* kShortQso =
    "cq de dl1abc/p <AR> g4xyz de dl1abc <BT> ur rst 599 = qth berlin = hw? <SK>";

struct SpeedCase {
    int wpm;
    size_t maxLost;  // characters of the first word that may come out wrong
};

class CleanSpeed : public testing::TestWithParam<SpeedCase> {};

TEST_P(CleanSpeed, TextIsExactFromTheSecondWordOn) {
    const int wpm = GetParam().wpm;
    ReceiverRig rig;
    rig.Feed(Pcm(Message(kShortQso, wpm)));
    const std::string sent = Rendered(kShortQso);
    const std::string got = TrimEnd(rig.rx.text);
    const std::string tail = FromWord(sent, 1);
    ASSERT_TRUE(got.ends_with(tail)) << "decoded: " << got;
    // The estimates start at 20 WPM and the first mark counts on from 662
    // samples, so the first word may come out wrong.
    // (A word space before the first character is the start-up silence.)
    std::string head = got.substr(0, got.size() - tail.size());
    head.erase(0, head.find_first_not_of(' '));
    const size_t lost = test::EditDistance(sent.substr(0, sent.size() - tail.size()), head);
    std::printf("[ %2d WPM ] first word \"%s\", %zu characters lost\n", wpm, head.c_str(), lost);
    EXPECT_LE(lost, GetParam().maxLost);
}

// At 12 WPM the first dots are longer than 1.6 times the start estimate and
// count as dashes until the first real dash corrects it ("cq" comes out as
// "trq").
INSTANTIATE_TEST_SUITE_P(Receiver, CleanSpeed,
                         testing::Values(SpeedCase{12, 2}, SpeedCase{20, 0}, SpeedCase{30, 0},
                                         SpeedCase{45, 0}));

// --- noise ---------------------------------------------------------------------

constexpr const char* kQso =
    "cq cq de dl1abc dl1abc <AR> g4xyz de dl1abc = tnx fer call = ur rst 579 = "
    "name tom qth berlin/p = rig 100w es dipole = hw? <AR> g4xyz de dl1abc <KN>";

// Character error rate on the second half of the message at 20 WPM, with
// white noise at `snrDb` in 2500 Hz, through the main filter `filter`.
double NoisyCer(double snrDb, int filter, std::uint64_t seed, std::string* decoded = nullptr) {
    // Level 0.15 leaves room for the noise peaks at -3 dB without clipping.
    test::CwSynthOptions o = Message(kQso, 20, 0.15);
    o.snrDb = snrDb;
    o.seed = seed;
    ReceiverRig rig;
    rig.app.SelectMainFilter(filter);
    rig.Feed(Pcm(o));
    const std::string got = TrimEnd(rig.rx.text);
    if (decoded != nullptr) *decoded = got;
    return test::CharacterErrorRate(SecondHalf(Rendered(kQso)), got);
}

struct NoiseCase {
    double snrDb;
    int filter;
    double ceiling;  // measured, with a small margin
};

class NoisyReception : public testing::TestWithParam<NoiseCase> {};

TEST_P(NoisyReception, CharacterErrorRateStaysBelowItsCeiling) {
    const NoiseCase c = GetParam();
    std::string got;
    const double cer = NoisyCer(c.snrDb, c.filter, 1, &got);
    std::printf("[ %+.0f dB, %d Hz ] CER %.3f\n", c.snrDb, c.filter, cer);
    EXPECT_LE(cer, c.ceiling) << "decoded: " << got;
}

// Ceilings: the figure of seed 1, the one run here (0.486 at -3 dB through
// 140 Hz, 0.086 at +6 dB through 30 Hz), plus about one character. Over
// eight seeds the 140 Hz filter breaks down between 0 and -3 dB (mean 0.60,
// worst 0.77 at -3 dB: dips of the envelope under the automatic threshold
// split the elements); the 30 Hz filter is too slow for 20 WPM once any
// noise is present (its envelope barely falls in the gap between two
// elements; mean 0.14, worst 0.26 at +6 dB), so only its +6 dB case is kept
// here.
INSTANTIATE_TEST_SUITE_P(Receiver, NoisyReception,
                         testing::Values(NoiseCase{6, 140, 0.05}, NoiseCase{0, 140, 0.05},
                                         NoiseCase{-3, 140, 0.50}, NoiseCase{6, 70, 0.05},
                                         NoiseCase{0, 70, 0.05}, NoiseCase{-3, 70, 0.10},
                                         NoiseCase{6, 30, 0.10}));

// The table behind the ceilings: run with --gtest_also_run_disabled_tests.
TEST(ReceiverMeasurement, DISABLED_CharacterErrorRateTable) {
    for (int filter : {140, 70, 30}) {
        for (double snr : {6.0, 0.0, -3.0}) {
            double sum = 0, worst = 0;
            const int seeds = 8;
            for (int seed = 1; seed <= seeds; ++seed) {
                const double cer = NoisyCer(snr, filter, static_cast<std::uint64_t>(seed));
                sum += cer;
                worst = std::max(worst, cer);
            }
            std::printf("%d Hz %+.0f dB: mean CER %.3f, worst %.3f over %d seeds\n", filter, snr,
                        sum / seeds, worst, seeds);
        }
    }
}

}  // namespace
}  // namespace quelp

namespace quelp {
namespace {

// --- automatic tuning and the squelch ------------------------------------------

constexpr const char* kDriftText =
    "cq de dl1abc = qrl? = ur rst 599 = name tom = qth berlin = rig 100w = ant dipole = "
    "tnx fer qso = 73 <SK>";

TEST(Receiver, AfcFollowsADriftingToneWithinTheGlobalLimit) {
    test::CwSynthOptions o = Message(kDriftText, 25);
    o.signal.driftHzPerMin = 60.0;
    const test::CwSynthResult synth = test::SynthesizeCw(o);
    const std::vector<std::int16_t> pcm = test::ToPcm16(synth.samples);
    const double seconds = static_cast<double>(pcm.size()) / 11025.0;
    const double endBin = (kReceiveHz + 60.0 * seconds / 60.0) / kBinHz;
    ASSERT_GT(endBin, 186 + 4.5);  // the tone ends more than 4 bins away

    ReceiverRig rig;
    rig.Feed(pcm);
    EXPECT_NEAR(rig.app.Rx().Tune().SignalBin(), endBin, 1.5);
    std::printf("[ drift ] tone ends at bin %.1f, receive bin %d\n", endBin,
                rig.app.Rx().Tune().SignalBin());
    EXPECT_EQ(rig.app.Rx().Tune().CentreBin(), 186);  // AFC never moves the anchor
    EXPECT_EQ(test::SuffixEditDistance(SecondHalf(Rendered(kDriftText)), TrimEnd(rig.rx.text)), 0u)
        << rig.rx.text;

    // A global deviation of 20 Hz (4 bins) holds the receive bin at 190 at
    // most; it ends on the skirt of the tone.
    ReceiverRig limited;
    limited.app.SetAfcLimitHz(20);
    limited.Feed(pcm);
    EXPECT_LE(limited.app.Rx().Tune().SignalBin(), 190);
    EXPECT_GE(limited.app.Rx().Tune().SignalBin(), 188);
}

// A weak station on the receive bin stops after a short call; a stronger one
// 500 Hz higher keeps sending.
test::CwSynthOptions TwoStations(const std::string& strongText) {
    test::CwSynthOptions o = Message("vvv", 20, 0.08);
    test::CwSignal strong;
    strong.text = strongText;
    strong.wpm = 20;
    strong.freqHz = 279 * kBinHz;
    strong.level = 0.25;
    strong.startSec = 0.6;
    o.second = strong;
    return o;
}

TEST(Receiver, AutoGoToMaxMovesToTheStrongerStationAfterAPause) {
    const std::string text = "cq de g4xyz g4xyz = pse k = cq de g4xyz g4xyz <AR> k";
    ReceiverRig rig;
    rig.app.SetAutoGoToMax(true);
    rig.Feed(Pcm(TwoStations(text)));
    EXPECT_EQ(rig.app.Rx().Tune().SignalBin(), 279);
    EXPECT_EQ(rig.app.Rx().Tune().CentreBin(), 279);
    const std::string sent = Rendered(text);
    EXPECT_EQ(test::SuffixEditDistance(SecondHalf(sent), TrimEnd(rig.rx.text)), 0u) << rig.rx.text;
}

TEST(Receiver, GoToMaxButtonFindsTheStrongerStation) {
    const std::vector<std::int16_t> pcm = Pcm(TwoStations("cq de g4xyz g4xyz k"));
    ReceiverRig rig;
    const std::vector<std::int16_t> first(pcm.begin(), pcm.begin() + 6 * kBlockSize);
    rig.Feed(first);
    EXPECT_EQ(rig.app.Rx().Tune().SignalBin(), 186);  // without the button nothing jumps
    rig.app.GoToMaxButtonClick();
    EXPECT_EQ(rig.app.Rx().Tune().SignalBin(), 279);
    EXPECT_EQ(rig.app.Rx().Decoder().PauseDots(), 0.0);
}

TEST(Receiver, SquelchKeepsTheDecoderSilentOnNoiseAlone) {
    // 12 s of noise at the level of a 0 dB test, then a message at +6 dB.
    test::CwSynthOptions noise = Message("e", 20, 0.15);
    noise.signal.startSec = 30.0;  // beyond the end: noise only
    noise.tailSec = 0.0;
    noise.snrDb = 0.0;
    std::vector<std::int16_t> pcm = Pcm(noise);
    pcm.resize(64 * kBlockSize);

    for (int squelch : {0, 1}) {
        SCOPED_TRACE(squelch);
        ReceiverRig rig;
        // The noise peaks at the receive bin stay below 0.05; the keyed
        // 0.15 tone below keeps its peak between 0.28 and 0.53.
        rig.app.SetSquelch(squelch == 1, 0.12);
        rig.Feed(pcm);
        if (squelch == 1) {
            EXPECT_EQ(rig.rx.text, "");
        } else {
            EXPECT_GT(rig.rx.text.size(), 10u) << "noise alone should print without the squelch";
        }
    }

    ReceiverRig rig;
    rig.app.SetSquelch(true, 0.12);
    test::CwSynthOptions o = Message(kShortQso, 20, 0.15);
    o.snrDb = 6.0;
    rig.Feed(Pcm(o));
    EXPECT_EQ(test::SuffixEditDistance(FromWord(Rendered(kShortQso), 1), TrimEnd(rig.rx.text)), 0u)
        << rig.rx.text;
}

}  // namespace
}  // namespace quelp
