// cwsynth: text to a WAV file of keyed CW, optionally with noise, a second
// signal, fading, drift and hand-keying jitter. Deterministic from --seed.
//
//   cwsynth --text "cq test" --wpm 20 --freq 700 --snr 6 --rate 11025
//           --bits 16 --channels 1 --seed 1 -o out.wav

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/CwSynth.h"

namespace {

using quelp::test::CwSignal;
using quelp::test::CwSynthOptions;

constexpr const char* kUsage = R"(usage: cwsynth --text TEXT [options] -o FILE.wav

Signal:
  --text TEXT          text to send; "<AR>" sends a prosign without letter gaps
  --text-file PATH     read the text from a file instead
  --wpm N              speed in PARIS words per minute (default 20)
  --freq HZ            tone frequency (default 700)
  --level A            key-down amplitude, 1.0 = full scale (default 0.25)
  --start SEC          first key-down (default 0.5)
  --edge-ms MS         raised-cosine rise and fall time (default 5)
  --drift HZ_PER_MIN   linear frequency drift (default 0)
  --fade-depth D       slow fading, amplitude dips to 1-D (0..1, default 0)
  --fade-period SEC    fading period (default 10)
  --jitter J           hand keying: relative spread of elements and gaps (e.g. 0.1)
  --dash DOTS          dash length in dots (default 3; hand keying 2.5 to 4)
  --farnsworth WPM     overall speed, the letter and word gaps stretched to it
Second signal (present when --second-text is given):
  --second-text TEXT   --second-freq HZ (default 900)   --second-wpm N (default 25)
  --second-level A (default 0.25)   --second-start SEC (default 0.5)
  --second-drift HZ_PER_MIN   --second-jitter J
Noise:
  --snr DB             white Gaussian noise; SNR = key-down power of the first
                       signal / noise power in 2500 Hz (default: no noise)
  --seed N             seed of noise and jitter (default 1)
File:
  --rate HZ            sampling rate, normally 11025, 22050 or 44100 (default 11025)
  --bits N             8, 16, 24 or 32 (default 16)
  --channels N         1..8 (default 1)
  --signal-on WHICH    left, right, both (default) or a channel number from 0
  --tail SEC           silence after the last key-up (default 0.5)
  -o, --output FILE    output WAV file (required)
  -h, --help           this text
)";

bool ParseDouble(std::string_view text, double& out) {
    std::string copy(text);
    char* end = nullptr;
    out = std::strtod(copy.c_str(), &end);
    return !copy.empty() && end == copy.c_str() + copy.size() && std::isfinite(out);
}

bool ParseInt(std::string_view text, long long& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "cwsynth: %s\n(cwsynth --help shows the options)\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    CwSynthOptions options;
    CwSignal second;
    second.freqHz = 900.0;
    second.wpm = 25.0;
    bool haveSecond = false, haveText = false;
    long long bits = 16, channels = 1, rate = 11025;
    int signalOn = -1;
    std::string output;

    using Setter = std::function<bool(std::string_view)>;
    auto real = [](double& target, double low, double high) -> Setter {
        return [&target, low, high](std::string_view v) {
            double x = 0;
            if (!ParseDouble(v, x) || x < low || x > high) return false;
            target = x;
            return true;
        };
    };
    auto integer = [](long long& target, long long low, long long high) -> Setter {
        return [&target, low, high](std::string_view v) {
            long long x = 0;
            if (!ParseInt(v, x) || x < low || x > high) return false;
            target = x;
            return true;
        };
    };
    long long seed = 1;
    double snr = 0.0;
    const std::map<std::string, Setter> options_table = {
        {"--text",
         [&](std::string_view v) {
             options.signal.text = v;
             haveText = true;
             return true;
         }},
        {"--text-file",
         [&](std::string_view v) {
             std::ifstream file{std::string(v)};
             if (!file) return false;
             std::stringstream text;
             text << file.rdbuf();
             options.signal.text = text.str();
             haveText = true;
             return true;
         }},
        {"--wpm", real(options.signal.wpm, 1, 200)},
        {"--freq", real(options.signal.freqHz, 1, 1e6)},
        {"--level", real(options.signal.level, 0, 1)},
        {"--start", real(options.signal.startSec, 0, 3600)},
        {"--edge-ms", real(options.edgeMs, 0, 100)},
        {"--drift", real(options.signal.driftHzPerMin, -1e4, 1e4)},
        {"--fade-depth", real(options.signal.fadeDepth, 0, 1)},
        {"--fade-period", real(options.signal.fadePeriodSec, 0.01, 3600)},
        {"--jitter", real(options.signal.jitter, 0, 1)},
        {"--dash", real(options.signal.dashDots, 1.5, 6)},
        {"--farnsworth", real(options.signal.farnsworthWpm, 1, 100)},
        {"--second-text",
         [&](std::string_view v) {
             second.text = v;
             haveSecond = true;
             return true;
         }},
        {"--second-freq", real(second.freqHz, 1, 1e6)},
        {"--second-wpm", real(second.wpm, 1, 200)},
        {"--second-level", real(second.level, 0, 1)},
        {"--second-start", real(second.startSec, 0, 3600)},
        {"--second-drift", real(second.driftHzPerMin, -1e4, 1e4)},
        {"--second-jitter", real(second.jitter, 0, 1)},
        {"--snr",
         [&](std::string_view v) {
             if (!real(snr, -100, 200)(v)) return false;
             options.snrDb = snr;
             return true;
         }},
        {"--seed", integer(seed, 0, INT64_MAX)},
        {"--rate", integer(rate, 1000, 384000)},
        {"--bits", integer(bits, 8, 32)},
        {"--channels", integer(channels, 1, 8)},
        {"--signal-on",
         [&](std::string_view v) {
             long long n = 0;
             if (v == "left")
                 signalOn = 0;
             else if (v == "right")
                 signalOn = 1;
             else if (v == "both")
                 signalOn = -1;
             else if (ParseInt(v, n) && n >= 0 && n < 8)
                 signalOn = static_cast<int>(n);
             else
                 return false;
             return true;
         }},
        {"--tail", real(options.tailSec, 0, 3600)},
        {"--output",
         [&](std::string_view v) {
             output = v;
             return !output.empty();
         }},
    };

    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (name == "-h" || name == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (name == "-o") name = "--output";
        std::string value;
        if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return Fail("missing value for " + name);
        }
        const auto it = options_table.find(name);
        if (it == options_table.end()) return Fail("unknown option " + name);
        if (!it->second(value)) return Fail("bad value for " + name + ": \"" + value + "\"");
    }
    if (!haveText) return Fail("no text (--text or --text-file)");
    if (output.empty()) return Fail("no output file (-o)");
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Fail("--bits must be 8, 16, 24 or 32");
    if (signalOn >= channels) return Fail("--signal-on names a channel the file does not have");
    options.rate = static_cast<int>(rate);
    options.seed = static_cast<uint64_t>(seed);
    if (options.signal.freqHz >= rate / 2.0) return Fail("--freq must be below half the rate");
    if (haveSecond) {
        if (second.freqHz >= rate / 2.0) return Fail("--second-freq must be below half the rate");
        options.second = second;
    }

    const quelp::test::CwSynthResult result = quelp::test::SynthesizeCw(options);
    for (const std::string& c : result.skipped) {
        const auto byte = static_cast<unsigned char>(c[0]);
        if (byte >= 0x20 && byte < 0x7F) {
            std::fprintf(stderr, "cwsynth: no Morse code for \"%c\", skipped\n", byte);
        } else {
            std::fprintf(stderr, "cwsynth: no Morse code for byte 0x%02X, skipped\n", byte);
        }
    }
    size_t clipped = 0;
    for (double x : result.samples) clipped += std::abs(x) > 1.0 ? 1 : 0;
    const int code =
        quelp::test::WriteWav(output, result.samples, options.rate, static_cast<int>(bits),
                              static_cast<int>(channels), signalOn);
    if (code != 0) return Fail("cannot write " + output + " (code " + std::to_string(code) + ")");
    std::fprintf(stderr,
                 "cwsynth: %s: %.2f s, %zu elements, noise sigma %.5f, %zu samples clipped\n",
                 output.c_str(), static_cast<double>(result.samples.size()) / options.rate,
                 result.keying.size(), result.noiseSigma, clipped);
    if (clipped > 0)
        std::fputs("cwsynth: lower --level to keep the noise peaks inside full scale\n", stderr);
    return 0;
}
