#pragma once
// The progress line on standard error while recordings are decoded: one line
// for every recording that has run longer than a second (percentage, or
// seconds for a stream, and times real time), redrawn in place and erased
// when its recording ends or before any other output reaches the terminal.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quelp::cli {

// Whether to show the line at all: only where someone watches it (standard
// error is a terminal), where it cannot tear the decoded text (standard
// output is not the terminal) and never between JSON lines.
bool ShowProgress(bool json, bool stderrIsTerminal, bool stdoutIsTerminal);

// One recording's share of the line: "qso.wav 45% 1234x", "standard input
// 12.5 s 80x".
std::string ProgressText(const std::string& name, std::optional<std::uint64_t> total,
                         std::uint64_t done, double rate, double elapsedSeconds);

class Progress {
  public:
    using Clock = std::chrono::steady_clock;

    // Draws on `terminal`; null: never draws.
    explicit Progress(std::FILE* terminal) : terminal_(terminal) {}

    // Any thread. A slot per recording being decoded; `total` in samples at
    // `rate`, when the length is known.
    int Begin(std::string name, std::optional<std::uint64_t> total, double rate);
    void Advance(int slot, std::uint64_t done);
    void End(int slot);

    // From the thread that writes the program's output: redraws the line
    // when it is due (a fifth of a second after the last time).
    void Draw();
    // Erases the line until the next Draw.
    void Clear();

  private:
    struct Slot {
        std::string name;
        std::optional<std::uint64_t> total;
        double rate = 1.0;
        std::uint64_t done = 0;
        Clock::time_point start;
        bool active = false;
    };
    void ClearLocked();

    std::FILE* terminal_;
    std::mutex lock_;
    std::vector<Slot> slots_;
    bool shown_ = false;
    Clock::time_point lastDraw_{};
};

}  // namespace quelp::cli
