#include "support/Keying.h"

#include <cctype>
#include <cmath>
#include <random>

namespace quelp::test {

std::string MorseElements(char c) {
    switch (std::tolower(static_cast<unsigned char>(c))) {
        case 'a':
            return ".-";
        case 'b':
            return "-...";
        case 'c':
            return "-.-.";
        case 'd':
            return "-..";
        case 'e':
            return ".";
        case 'f':
            return "..-.";
        case 'g':
            return "--.";
        case 'h':
            return "....";
        case 'i':
            return "..";
        case 'j':
            return ".---";
        case 'k':
            return "-.-";
        case 'l':
            return ".-..";
        case 'm':
            return "--";
        case 'n':
            return "-.";
        case 'o':
            return "---";
        case 'p':
            return ".--.";
        case 'q':
            return "--.-";
        case 'r':
            return ".-.";
        case 's':
            return "...";
        case 't':
            return "-";
        case 'u':
            return "..-";
        case 'v':
            return "...-";
        case 'w':
            return ".--";
        case 'x':
            return "-..-";
        case 'y':
            return "-.--";
        case 'z':
            return "--..";
        case '0':
            return "-----";
        case '1':
            return ".----";
        case '2':
            return "..---";
        case '3':
            return "...--";
        case '4':
            return "....-";
        case '5':
            return ".....";
        case '6':
            return "-....";
        case '7':
            return "--...";
        case '8':
            return "---..";
        case '9':
            return "----.";
        case '.':
            return ".-.-.-";
        case ',':
            return "--..--";
        case '?':
            return "..--..";
        case '/':
            return "-..-.";
        case '=':
            return "-...-";
        case '-':
            return "-....-";
        case ':':
            return "---...";
        case ';':
            return "-.-.-.";
        case '(':
            return "-.--.";
        case ')':
            return "-.--.-";
        case '"':
            return ".-..-.";
        case '\'':
            return ".----.";
        case '_':
            return "..--.-";
        case '+':
            return ".-.-.";
        default:
            return "";
    }
}

namespace {

// Accumulates intervals in dots and cuts them at exact sample boundaries, so
// rounding never drifts over a long text.
class RunBuilder {
  public:
    RunBuilder(const KeyingOptions& o) : options_(o), rng_(o.seed) {
        dotSamples_ = 1.2 / o.wpm * o.samplingFreq;
    }
    void Add(bool down, double dots, bool jittered = true) {
        if (jittered && options_.jitter > 0.0) {
            // 32 random bits to [-1, 1]; independent of the library's
            // distribution classes, so every platform keys the same signal.
            const double u = static_cast<double>(rng_()) / 4294967295.0 * 2.0 - 1.0;
            dots *= 1.0 + options_.jitter * u;
        }
        time_ += dots;
        const auto end = static_cast<std::int64_t>(std::llround(time_ * dotSamples_));
        const std::int64_t length = end - emitted_;
        emitted_ = end;
        if (length <= 0) return;
        if (!runs_.empty() && runs_.back().down == down) {
            runs_.back().samples += length;
        } else {
            runs_.push_back(KeyRun{down, length});
        }
    }
    std::vector<KeyRun> Take() { return std::move(runs_); }

  private:
    const KeyingOptions& options_;
    std::mt19937 rng_;
    double dotSamples_ = 0.0;
    double time_ = 0.0;
    std::int64_t emitted_ = 0;
    std::vector<KeyRun> runs_;
};

}  // namespace

std::vector<KeyRun> KeyText(std::string_view text, const KeyingOptions& options) {
    // Split into characters (prosigns count as one) and word breaks.
    std::vector<std::string> items;  // elements, or "" for a word break
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ') {
            if (!items.empty() && !items.back().empty()) items.emplace_back();
            continue;
        }
        std::string elements;
        if (c == '<') {
            const std::size_t close = text.find('>', i);
            if (close == std::string_view::npos) break;
            for (std::size_t j = i + 1; j < close; ++j) elements += MorseElements(text[j]);
            i = close;
        } else {
            elements = MorseElements(c);
        }
        if (!elements.empty()) items.push_back(elements);
    }

    RunBuilder b(options);
    if (options.leadDots > 0) b.Add(false, options.leadDots, false);
    bool first = true;
    bool wordBreak = false;
    for (const std::string& item : items) {
        if (item.empty()) {
            wordBreak = true;
            continue;
        }
        if (!first) b.Add(false, wordBreak ? 7.0 : 3.0);
        first = false;
        wordBreak = false;
        for (std::size_t e = 0; e < item.size(); ++e) {
            if (e > 0) b.Add(false, 1.0);
            b.Add(true, item[e] == '-' ? 3.0 : 1.0);
        }
    }
    if (options.tailDots > 0) b.Add(false, options.tailDots, false);
    return b.Take();
}

std::vector<std::uint8_t> KeyStates(std::string_view text, const KeyingOptions& options) {
    std::vector<std::uint8_t> states;
    for (const KeyRun& run : KeyText(text, options)) {
        states.insert(states.end(), static_cast<std::size_t>(run.samples), run.down ? 1 : 0);
    }
    return states;
}

}  // namespace quelp::test
