#include "adaptive/MorseTiming.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/CwSynth.h"

namespace quelp {
namespace {

class Letters final : public MorseTimingSink {
  public:
    void TimedCharacter(std::uint32_t code, std::int64_t first, std::int64_t end) override {
        spans.push_back({first, end});
        std::string elements;
        for (; code > 1; code >>= 1)
            elements.insert(elements.begin(), (code & 1u) != 0 ? '-' : '.');
        text += Letter(elements);
    }
    void TimedWordSpace() override { text += ' '; }

    static std::string Letter(const std::string& elements) {
        for (char c = 'a'; c <= 'z'; ++c) {
            if (test::MorseCode(c) == elements) return std::string(1, c);
        }
        for (char c = '0'; c <= '9'; ++c) {
            if (test::MorseCode(c) == elements) return std::string(1, c);
        }
        return "{" + elements + "}";
    }

    std::string text;
    std::vector<std::pair<std::int64_t, std::int64_t>> spans;  // first and end of each
};

// Keys `text` into the timing: marks and gaps in dots of `dot` seconds, the
// letter and word gaps stretched by `stretch`, the letter gaps after the
// letters listed in `short` keyed as element gaps. Every mark is handed
// over at its count since the start, and ends one later.
std::string Key(MorseTiming& timing, Letters& out, const std::string& text, double dot,
                double stretch, const std::string& shortAfter = "") {
    std::int64_t marks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ') {
            timing.Space(4.0 * stretch * dot);
            continue;
        }
        const std::string code = test::MorseCode(text[i]);
        for (std::size_t e = 0; e < code.size(); ++e) {
            if (e > 0) timing.Space(dot);
            timing.Mark((code[e] == '-' ? 3.0 : 1.0) * dot, marks, marks + 1);
            ++marks;
        }
        const bool merged = shortAfter.find(text[i]) != std::string::npos;
        timing.Space(merged ? 1.2 * dot : 3.0 * stretch * dot);
    }
    timing.End();
    return out.text;
}

TEST(MorseTiming, LetterAndWordGapsComeFromTheGapsMeasured) {
    const struct {
        const char* name;
        double stretch;
    } cases[] = {
        {"standard spacing", 1.0},
        {"18 WPM letters at 8 WPM overall", 4.3},
        {"25 WPM letters at 12 WPM overall", 3.85},
    };
    const std::string text = "cq cq de w1aw w1aw k r tnx fer call ur rst 599 599 name is bob";
    for (const auto& c : cases) {
        Letters out;
        MorseTiming timing(out);
        MorseTimingEstimates start;
        start.dot = start.elementGap = 0.06;
        start.dash = start.charGap = 0.18;
        start.wordGap = 0.42;
        timing.Reset(start);
        // Settled on the first pass, as the decoder does, then keyed again.
        Key(timing, out, text, 0.06, c.stretch);
        out.text.clear();
        EXPECT_EQ(Key(timing, out, text + " ", 0.06, c.stretch), text + " ") << c.name;
    }
}

TEST(MorseTiming, ACodeNoAlphabetHasIsSplitAtItsLongestGap) {
    Letters out;
    MorseTiming timing(out);
    MorseTimingEstimates start;
    timing.Reset(start);
    // "w" and "q" keyed with too short a gap: ".--" + "--.-" is no
    // character; the gap between them was the longest inside it.
    EXPECT_EQ(Key(timing, out, "wq", 0.06, 1.0, "w"), "wq");
    // Each part keeps where its own marks began and ended: 3 + 4 marks.
    const std::vector<std::pair<std::int64_t, std::int64_t>> spans = {{0, 3}, {3, 7}};
    EXPECT_EQ(out.spans, spans);
    out.text.clear();
    // "a" + "n" keyed together is "p", a letter: it stays one.
    EXPECT_EQ(Key(timing, out, "an", 0.06, 1.0, "a"), "p");
}

TEST(MorseTiming, AnElementNearTheDotDashBoundaryIsReadAsTheOtherWhenThatMakesACharacter) {
    // Hand keying: one element keyed 1.9 dots long, just over the boundary,
    // gives a code no alphabet has; read as a dot it is the character sent.
    // Splitting it at a gap of one dot would give two wrong characters.
    const struct {
        const char* sent;
        const char* elements;
        std::size_t stretched;
        const char* read;
    } cases[] = {{"3", "...--", 0, "3"}, {"7", "--...", 4, "7"}};
    for (const auto& c : cases) {
        Letters out;
        MorseTiming timing(out);
        timing.Reset(MorseTimingEstimates{});
        const double dot = MorseTimingEstimates{}.dot;
        const std::string elements = c.elements;
        for (std::size_t e = 0; e < elements.size(); ++e) {
            if (e > 0) timing.Space(dot);
            const double dots = e == c.stretched ? 1.9 : elements[e] == '-' ? 3.0 : 1.0;
            timing.Mark(dots * dot, 0, 0);
        }
        timing.Space(7.0 * dot);
        timing.End();
        EXPECT_EQ(out.text, std::string(c.read) + " ") << c.sent;
    }
}

TEST(MorseTiming, ARunOfDotsPartlyShortenedByAFadeIsNoNewSpeed) {
    // "is s" keyed into a fade: eight dots, some read short, the rest at
    // their length (measured so in a 30 dB fade). A faster sender's dashes,
    // read as dots, would be half as long again as the dots before them.
    Letters out;
    MorseTiming timing(out);
    timing.Reset(MorseTimingEstimates{});
    for (double seconds : {0.062, 0.047, 0.019, 0.031, 0.035, 0.084, 0.074, 0.072}) {
        timing.Mark(seconds, 0, 0);
        timing.Space(0.06);
    }
    EXPECT_NEAR(timing.Estimates().Unit(), 0.06, 0.01);
}

TEST(MorseTiming, ASenderWhoChangesSpeedWithoutAPauseIsReadAgainFromTheChangedWord) {
    // The answer keyed a word gap after the call at twice or half the speed:
    // all its first marks read as one kind (dots or dashes) until eight of
    // them show the new lengths; the word is then read again with them
    // rather than printed as a row of e's or t's.
    const struct {
        double before;
        double after;
        const char* read;
    } cases[] = {{0.04, 0.08, "k w1aw "}, {0.08, 0.04, "k w1aw "}};
    for (const auto& c : cases) {
        Letters out;
        MorseTiming timing(out);
        MorseTimingEstimates start;
        start.dot = start.elementGap = c.before;
        start.dash = start.charGap = 3.0 * c.before;
        start.wordGap = 7.0 * c.before;
        timing.Reset(start);
        auto key = [&](const std::string& word, double dot) {
            for (std::size_t i = 0; i < word.size(); ++i) {
                const std::string code = test::MorseCode(word[i]);
                for (std::size_t e = 0; e < code.size(); ++e) {
                    if (e > 0) timing.Space(dot);
                    timing.Mark((code[e] == '-' ? 3.0 : 1.0) * dot, 0, 0);
                }
                timing.Space(i + 1 < word.size() ? 3.0 * dot : 0.0);
            }
        };
        key("k", c.before);
        timing.Space(7.0 * c.before);
        key("w1aw", c.after);
        timing.Space(7.0 * c.after);
        timing.End();
        EXPECT_EQ(out.text, c.read) << c.before << " s to " << c.after << " s";
    }
}

TEST(MorseTiming, CharactersHeldInARunOfOneKindAreNotLost) {
    // A run longer than any speed change is handed over before it ends,
    // and held characters are judged audible as they end, not when the run
    // breaks (a long letter gap can fall under the squelch meanwhile).
    class Squelched final : public MorseTimingSink {
      public:
        void TimedCharacter(std::uint32_t, std::int64_t, std::int64_t) override { ++printed; }
        void TimedWordSpace() override {}
        bool Audible() const override { return audible; }
        bool audible = true;
        int printed = 0;
    };
    const double dot = MorseTimingEstimates{}.dot;
    auto fives = [dot](MorseTiming& timing, int count) {
        for (int i = 0; i < count; ++i) {
            for (int e = 0; e < 5; ++e) {
                if (e > 0) timing.Space(dot);
                timing.Mark(dot, 0, 0);
            }
            timing.Space(3.0 * dot);
        }
    };
    const struct {
        int fives;
        int printedInTheRun;
    } cases[] = {{5, 5}, {2, 0}};
    for (const auto& c : cases) {
        Squelched out;
        MorseTiming timing(out);
        timing.Reset(MorseTimingEstimates{});
        fives(timing, c.fives);
        EXPECT_EQ(out.printed, c.printedInTheRun) << c.fives;
        out.audible = false;  // the squelch closes before the run breaks
        timing.Mark(3.0 * dot, 0, 0);
        EXPECT_EQ(out.printed, c.fives) << c.fives;
    }
}

}  // namespace
}  // namespace quelp
