#include "support/CwSynth.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <map>
#include <numbers>

namespace quelp::test {
namespace {

// SplitMix64: small, portable and the same on every platform, unlike the
// standard library's distributions.
class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in (0, 1].
    double Uniform() { return (static_cast<double>(Next() >> 11) + 1.0) * 0x1.0p-53; }
    double Gauss() {
        if (hasSpare_) {
            hasSpare_ = false;
            return spare_;
        }
        const double r = std::sqrt(-2.0 * std::log(Uniform()));
        const double a = 2.0 * std::numbers::pi * Uniform();
        spare_ = r * std::sin(a);
        hasSpare_ = true;
        return r * std::cos(a);
    }

  private:
    uint64_t state_;
    double spare_ = 0.0;
    bool hasSpare_ = false;
};

const std::map<char, const char*>& Table() {
    static const std::map<char, const char*> table = {
        {'A', ".-"},      {'B', "-..."},   {'C', "-.-."},   {'D', "-.."},    {'E', "."},
        {'F', "..-."},    {'G', "--."},    {'H', "...."},   {'I', ".."},     {'J', ".---"},
        {'K', "-.-"},     {'L', ".-.."},   {'M', "--"},     {'N', "-."},     {'O', "---"},
        {'P', ".--."},    {'Q', "--.-"},   {'R', ".-."},    {'S', "..."},    {'T', "-"},
        {'U', "..-"},     {'V', "...-"},   {'W', ".--"},    {'X', "-..-"},   {'Y', "-.--"},
        {'Z', "--.."},    {'0', "-----"},  {'1', ".----"},  {'2', "..---"},  {'3', "...--"},
        {'4', "....-"},   {'5', "....."},  {'6', "-...."},  {'7', "--..."},  {'8', "---.."},
        {'9', "----."},   {'.', ".-.-.-"}, {',', "--..--"}, {'?', "..--.."}, {'/', "-..-."},
        {'=', "-...-"},   {'+', ".-.-."},  {'-', "-....-"}, {':', "---..."}, {';', "-.-.-."},
        {'\'', ".----."}, {'"', ".-..-."}, {'(', "-.--."},  {')', "-.--.-"}, {'@', ".--.-."},
        {'!', "-.-.--"},  {'&', ".-..."},  {'_', "..--.-"},
    };
    return table;
}

// The text as a list of characters' codes, "" standing for a word space.
std::vector<std::string> Tokens(const std::string& text, std::vector<std::string>& skipped) {
    std::vector<std::string> tokens;
    auto space = [&] {
        if (!tokens.empty() && !tokens.back().empty()) tokens.push_back("");
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            space();
            continue;
        }
        if (c == '<') {
            const size_t close = text.find('>', i);
            if (close != std::string::npos) {
                // A prosign: its letters run together without letter gaps.
                std::string code;
                for (size_t j = i + 1; j < close; ++j) code += MorseCode(text[j]);
                if (!code.empty()) tokens.push_back(code);
                i = close;
                continue;
            }
        }
        const std::string code = MorseCode(c);
        if (code.empty()) {
            skipped.push_back(std::string(1, c));
        } else {
            tokens.push_back(code);
        }
    }
    while (!tokens.empty() && tokens.back().empty()) tokens.pop_back();
    return tokens;
}

std::vector<KeyInterval> Keying(const CwSignal& s, Random& random,
                                std::vector<std::string>& skipped) {
    std::vector<KeyInterval> keying;
    if (!(s.wpm > 0.0)) return keying;
    const double dot = 1.2 / s.wpm;
    auto length = [&](double dots) {
        if (s.jitter <= 0.0) return dots * dot;
        return dots * dot * std::clamp(1.0 + s.jitter * random.Gauss(), 0.3, 2.0);
    };
    // Stretched gaps: the time PARIS lacks at the overall speed, spread over
    // its 19 dots of letter and word gaps.
    double gapDots = 1.0;
    if (s.farnsworthWpm > 0.0 && s.farnsworthWpm < s.wpm) {
        const double extra = 60.0 / s.farnsworthWpm - 60.0 / s.wpm;
        gapDots = 1.0 + extra / (19.0 * dot);
    }
    double t = std::max(0.0, s.startSec);
    for (const std::string& token : Tokens(s.text, skipped)) {
        if (token.empty()) {
            t += length(4.0 * gapDots);  // with the letter gap before it: 7 dots
            continue;
        }
        for (size_t e = 0; e < token.size(); ++e) {
            if (e > 0) t += length(1.0);
            const double on = length(token[e] == '-' ? s.dashDots : 1.0);
            keying.push_back({t, t + on});
            t += on;
        }
        t += length(3.0 * gapDots);
    }
    return keying;
}

// Adds one keyed tone to `out`.
void AddSignal(const CwSignal& s, const std::vector<KeyInterval>& keying, int rate, double edgeSec,
               std::vector<double>& out) {
    std::vector<double> envelope(out.size(), 0.0);
    for (const KeyInterval& k : keying) {
        const auto first = static_cast<size_t>(std::max(0.0, std::ceil(k.start * rate)));
        const auto last = std::min(out.size(), static_cast<size_t>((k.end + edgeSec) * rate) + 1);
        for (size_t n = first; n < last; ++n) {
            const double t = static_cast<double>(n) / rate;
            double v = 1.0;
            if (t - k.start < edgeSec)
                v *= 0.5 - 0.5 * std::cos(std::numbers::pi * (t - k.start) / edgeSec);
            if (t >= k.end)
                v *= t - k.end < edgeSec
                         ? 0.5 + 0.5 * std::cos(std::numbers::pi * (t - k.end) / edgeSec)
                         : 0.0;
            envelope[n] = std::max(envelope[n], v);
        }
    }
    double phase = 0.0;
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = static_cast<double>(n) / rate;
        out[n] += s.level * FadeGain(s, t) * envelope[n] * std::sin(phase);
        phase += 2.0 * std::numbers::pi * (s.freqHz + s.driftHzPerMin * t / 60.0) / rate;
        if (phase > 2.0 * std::numbers::pi) phase -= 2.0 * std::numbers::pi;
    }
}

void PutLe(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string MorseCode(char c) {
    const auto it = Table().find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return it == Table().end() ? std::string() : std::string(it->second);
}

double FadeGain(const CwSignal& s, double t) {
    if (s.fadeDepth <= 0.0 || s.fadePeriodSec <= 0.0) return 1.0;
    return 1.0 - s.fadeDepth * (0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * t / s.fadePeriodSec));
}

CwSynthResult SynthesizeCw(const CwSynthOptions& o) {
    CwSynthResult result;
    if (o.rate <= 0) return result;
    Random keyRandom(o.seed);
    result.keying = Keying(o.signal, keyRandom, result.skipped);
    if (o.second) result.secondKeying = Keying(*o.second, keyRandom, result.skipped);
    const double edge = std::max(0.0, o.edgeMs) / 1000.0;
    double end = 0.0;
    for (const auto* keying : {&result.keying, &result.secondKeying})
        if (!keying->empty()) end = std::max(end, keying->back().end + edge);
    end = std::max(end, o.signal.startSec) + std::max(0.0, o.tailSec);
    result.samples.assign(static_cast<size_t>(std::ceil(end * o.rate)), 0.0);
    AddSignal(o.signal, result.keying, o.rate, edge, result.samples);
    if (o.second) AddSignal(*o.second, result.secondKeying, o.rate, edge, result.samples);
    if (o.snrDb) {
        const double signalPower = o.signal.level * o.signal.level / 2.0;
        const double variance =
            signalPower / std::pow(10.0, *o.snrDb / 10.0) * (o.rate / 2.0) / 2500.0;
        result.noiseSigma = std::sqrt(variance);
        // The noise has its own stream, so the keying of a given seed does not
        // depend on whether noise is added.
        Random noise(o.seed ^ 0x6E6F697365ull);
        for (double& x : result.samples) x += result.noiseSigma * noise.Gauss();
    }
    return result;
}

std::vector<int16_t> ToPcm16(const std::vector<double>& samples) {
    std::vector<int16_t> pcm(samples.size());
    for (size_t n = 0; n < samples.size(); ++n)
        pcm[n] =
            static_cast<int16_t>(std::lround(std::clamp(samples[n] * 32767.0, -32767.0, 32767.0)));
    return pcm;
}

int WriteWav(const std::string& path, const std::vector<double>& samples, int rate, int bits,
             int channels, int signalChannel) {
    if (rate <= 0 || (bits != 8 && bits != 16 && bits != 24 && bits != 32) || channels < 1 ||
        channels > 8 || signalChannel < -1 || signalChannel >= channels)
        return -1;
    const uint32_t blockAlign = static_cast<uint32_t>(channels * bits / 8);
    const uint64_t dataBytes = static_cast<uint64_t>(samples.size()) * blockAlign;
    if (dataBytes > 0xFFFFFFFFull - 44) return -1;
    std::string bytes;
    bytes.reserve(44 + dataBytes);
    bytes += "RIFF";
    PutLe(bytes, static_cast<uint32_t>(36 + dataBytes), 4);
    bytes += "WAVEfmt ";
    PutLe(bytes, 16, 4);
    PutLe(bytes, 1, 2);  // PCM
    PutLe(bytes, static_cast<uint32_t>(channels), 2);
    PutLe(bytes, static_cast<uint32_t>(rate), 4);
    PutLe(bytes, static_cast<uint32_t>(rate) * blockAlign, 4);
    PutLe(bytes, blockAlign, 2);
    PutLe(bytes, static_cast<uint32_t>(bits), 2);
    bytes += "data";
    PutLe(bytes, static_cast<uint32_t>(dataBytes), 4);
    const double full = bits == 8 ? 127.0 : std::ldexp(1.0, bits - 1) - 1.0;
    for (double x : samples) {
        const auto q = static_cast<int64_t>(std::llround(std::clamp(x, -1.0, 1.0) * full));
        for (int c = 0; c < channels; ++c) {
            const int64_t v = (signalChannel < 0 || signalChannel == c) ? q : 0;
            if (bits == 8) {
                bytes += static_cast<char>(static_cast<uint8_t>(v + 128));
            } else {
                PutLe(bytes, static_cast<uint32_t>(v), bits / 8);
            }
        }
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return -2;
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return file ? 0 : -3;
}

}  // namespace quelp::test
