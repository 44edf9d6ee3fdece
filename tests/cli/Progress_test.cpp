// The progress line: where it is shown, and what it says of a recording.

#include "Progress.h"

#include <gtest/gtest.h>

namespace quelp::cli {
namespace {

TEST(Progress, ShownOnlyOnATerminalThatTheTextDoesNotShare) {
    const struct {
        bool json, stderrTerminal, stdoutTerminal, shown;
    } cases[] = {
        {false, true, false, true},
        {false, true, true, false},  // the text would be torn by the line
        {false, false, false, false},
        {true, true, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShowProgress(c.json, c.stderrTerminal, c.stdoutTerminal), c.shown)
            << c.json << c.stderrTerminal << c.stdoutTerminal;
    }
}

TEST(Progress, APercentageForAKnownLengthSecondsForAStream) {
    const struct {
        std::optional<std::uint64_t> total;
        std::uint64_t done;
        double elapsed;
        const char* want;
    } cases[] = {
        {110250, 55125, 0.01, "qso.wav 50% 500x"},
        {110250, 110250, 4.0, "qso.wav 100% 2.5x"},
        {std::nullopt, 136710, 10.0, "qso.wav 12.4 s 1.2x"},
        {110250, 0, 0.0, "qso.wav 0%"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressText("qso.wav", c.total, c.done, 11025.0, c.elapsed), c.want);
    }
}

}  // namespace
}  // namespace quelp::cli
