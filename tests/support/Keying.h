#pragma once
// Turns text into a keyed Morse signal, sample by sample, with the PARIS
// timing: a dot lasts 1.2 / WPM seconds, a dash 3 dots, the gap inside a
// character 1 dot, between characters 3 and between words 7. A prosign
// written in angle brackets ("<AR>", "<SK>") is sent as one character without
// inner gaps. Letters are case-insensitive; characters without a Morse code
// are skipped.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quelp::test {

struct KeyingOptions {
    double wpm = 20.0;
    double samplingFreq = 11025.0;
    // Each mark and gap is stretched by a factor drawn uniformly from
    // [1 - jitter, 1 + jitter] (0.1 = 10 %), from `seed`.
    double jitter = 0.0;
    std::uint32_t seed = 1;
    // Key-up time before the first and after the last element, in dots.
    double leadDots = 0.0;
    double tailDots = 30.0;
};

// One interval of constant key state.
struct KeyRun {
    bool down = false;
    std::int64_t samples = 0;
};

// The elements of one character ('.' and '-'), empty when it has no code.
std::string MorseElements(char c);

std::vector<KeyRun> KeyText(std::string_view text, const KeyingOptions& options);
// The same runs, one key state per sample.
std::vector<std::uint8_t> KeyStates(std::string_view text, const KeyingOptions& options);

}  // namespace quelp::test
