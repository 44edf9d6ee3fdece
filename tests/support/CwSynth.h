#pragma once
// CW (Morse) audio synthesizer for tests, benchmarks and the cwsynth tool:
// text keyed at a given speed (PARIS timing, dot = 1.2 / WPM seconds) as a
// tone with raised-cosine edges, optionally with white Gaussian noise at a
// given SNR, a second signal, slow fading, linear drift and hand-keying
// jitter. Everything is deterministic from the seed.
//
// SNR: key-down power of the first signal (level^2 / 2) over the noise power
// in a 2500 Hz bandwidth. White noise of variance s^2 spreads over fs/2, so
// the noise in 2500 Hz is s^2 x 2500 / (fs/2), and
//   s^2 = (level^2 / 2) / 10^(SNR/10) x (fs/2) / 2500.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quelp::test {

struct CwSignal {
    std::string text;             // letters, digits, punctuation, "<AR>" prosigns
    double freqHz = 700.0;        // tone at the start
    double wpm = 20.0;            // PARIS words per minute
    double level = 0.25;          // key-down amplitude, 1.0 = full scale (room for noise)
    double startSec = 0.5;        // first key-down
    double driftHzPerMin = 0.0;   // linear frequency drift
    double fadeDepth = 0.0;       // 0..1: the amplitude dips to (1 - depth)
    double fadePeriodSec = 10.0;  // period of the (raised-cosine) fading
    double jitter = 0.0;          // relative spread of every element and gap
    double dashDots = 3.0;        // dash length in dots (hand keying: 2.5 to 4)
    // Overall speed with the characters at `wpm` and the letter and word
    // gaps stretched to reach it (slow practice sending); 0: not stretched.
    double farnsworthWpm = 0.0;
};

struct CwSynthOptions {
    int rate = 11025;
    CwSignal signal;
    std::optional<CwSignal> second;
    double edgeMs = 5.0;          // rise and fall time of the keying
    std::optional<double> snrDb;  // white noise at this SNR; none: clean
    double tailSec = 0.5;         // silence after the last key-up
    uint64_t seed = 1;
};

// A key-down interval in seconds (the keying edge starts at `start` and the
// fall at `end`, so the half-amplitude points are start + edge/2, end + edge/2).
struct KeyInterval {
    double start;
    double end;
};

struct CwSynthResult {
    std::vector<double> samples;  // mono, 1.0 = full scale
    std::vector<KeyInterval> keying;
    std::vector<KeyInterval> secondKeying;
    double noiseSigma = 0.0;           // standard deviation of the added noise
    std::vector<std::string> skipped;  // characters without a Morse code
};

// Dots and dashes of one character (lower case accepted), or empty when it
// has none.
std::string MorseCode(char c);

CwSynthResult SynthesizeCw(const CwSynthOptions& options);

// The amplitude factor of a signal's fading at `t` seconds: 1 at the start,
// 1 - fadeDepth half a period later.
double FadeGain(const CwSignal& signal, double t);

// 16-bit samples, rounded and limited to +-32767.
std::vector<int16_t> ToPcm16(const std::vector<double>& samples);

// Writes a PCM WAV file: bits 8 (unsigned), 16, 24 or 32; 1..8 channels; the
// signal on `signalChannel` (0-based) or on every channel when it is -1, the
// other channels silent. Returns 0, or -1 for a bad format, -2 when the file
// cannot be created, -3 when writing fails.
int WriteWav(const std::string& path, const std::vector<double>& samples, int rate, int bits,
             int channels, int signalChannel = -1);

}  // namespace quelp::test
