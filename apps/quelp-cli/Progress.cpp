#include "Progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace quelp::cli {

namespace {

constexpr std::chrono::milliseconds kQuietStart{1000};
constexpr std::chrono::milliseconds kRedraw{200};

std::size_t TerminalColumns(std::FILE* terminal) {
    winsize size{};
    if (::ioctl(fileno(terminal), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

}  // namespace

bool ShowProgress(bool json, bool stderrIsTerminal, bool stdoutIsTerminal) {
    return !json && stderrIsTerminal && !stdoutIsTerminal;
}

std::string ProgressText(const std::string& name, std::optional<std::uint64_t> total,
                         std::uint64_t done, double rate, double elapsedSeconds) {
    const double seconds = static_cast<double>(done) / rate;
    char figures[64];
    if (total && *total > 0) {
        const double percent = std::min(100.0, 100.0 * static_cast<double>(done) / *total);
        std::snprintf(figures, sizeof figures, " %.0f%%", percent);
    } else {
        std::snprintf(figures, sizeof figures, " %.1f s", seconds);
    }
    std::string text = name + figures;
    if (elapsedSeconds > 0.0) {
        // A paced decode runs at about 1.24 times real time: a decimal there.
        const double times = seconds / elapsedSeconds;
        std::snprintf(figures, sizeof figures, times < 10.0 ? " %.1fx" : " %.0fx", times);
        text += figures;
    }
    return text;
}

int Progress::Begin(std::string name, std::optional<std::uint64_t> total, double rate) {
    const std::lock_guard lock(lock_);
    Slot slot{std::move(name), total, rate > 0.0 ? rate : 1.0, 0, Clock::now(), true};
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (!slots_[i].active) {
            slots_[i] = std::move(slot);
            return static_cast<int>(i);
        }
    }
    slots_.push_back(std::move(slot));
    return static_cast<int>(slots_.size() - 1);
}

void Progress::Advance(int slot, std::uint64_t done) {
    const std::lock_guard lock(lock_);
    if (slot >= 0 && static_cast<std::size_t>(slot) < slots_.size()) {
        slots_[static_cast<std::size_t>(slot)].done = done;
    }
}

void Progress::End(int slot) {
    const std::lock_guard lock(lock_);
    if (slot >= 0 && static_cast<std::size_t>(slot) < slots_.size()) {
        slots_[static_cast<std::size_t>(slot)].active = false;
    }
    // Its part of the line goes at once.
    ClearLocked();
}

void Progress::Draw() {
    if (terminal_ == nullptr) return;
    const std::lock_guard lock(lock_);
    const Clock::time_point now = Clock::now();
    if (shown_ && now - lastDraw_ < kRedraw) return;
    std::string line;
    for (const Slot& s : slots_) {
        if (!s.active || now - s.start < kQuietStart) continue;
        const std::chrono::duration<double> elapsed = now - s.start;
        if (!line.empty()) line += " | ";
        line += ProgressText(s.name, s.total, s.done, s.rate, elapsed.count());
    }
    if (line.empty()) {
        ClearLocked();
        return;
    }
    line = "quelp-cli: " + line;
    // One terminal line, or it would scroll instead of being redrawn.
    const std::size_t columns = TerminalColumns(terminal_);
    if (line.size() >= columns) line.resize(columns - 1);
    std::fprintf(terminal_, "\r%s\033[K", line.c_str());
    std::fflush(terminal_);
    shown_ = true;
    lastDraw_ = now;
}

void Progress::Clear() {
    if (terminal_ == nullptr) return;
    const std::lock_guard lock(lock_);
    ClearLocked();
}

void Progress::ClearLocked() {
    if (terminal_ == nullptr || !shown_) return;
    std::fputs("\r\033[K", terminal_);
    std::fflush(terminal_);
    shown_ = false;
}

}  // namespace quelp::cli
