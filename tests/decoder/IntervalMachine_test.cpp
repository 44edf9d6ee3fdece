// The interval machine on a host of its own, as a channel of the
// multi-channel decoder runs it: own estimates and start values, own emit
// target, no character counter and no pause tracking.

#include "decoder/IntervalMachine.h"

#include <gtest/gtest.h>

#include <vector>

#include "decoder/BurstFilter.h"
#include "decoder/CharacterTables.h"
#include "support/Keying.h"

namespace quelp {
namespace {

struct ChannelHost {
    static constexpr bool kTracksPauseDots = false;
    std::int32_t dotLen = 2600;
    std::int32_t dashLen = 1986;
    std::int32_t shortPauseLen = 2600;
    bool locked = false;
    std::int32_t lower = 441;
    std::int32_t upper = 662;
    std::vector<std::uint32_t> codes;

    std::int32_t& DotLen() { return dotLen; }
    std::int32_t& DashLen() { return dashLen; }
    std::int32_t& ShortPauseLen() { return shortPauseLen; }
    bool LockActive() const { return locked; }
    std::int32_t LowerDotLimit() const { return lower; }
    std::int32_t UpperDotLimit() const { return upper; }
    void CharacterEnded(std::uint32_t code) {
        if (code != 1) codes.push_back(code);
    }
    void WordSpace() { codes.push_back(0); }
};

std::string KeyInto(ChannelHost& host, IntervalState& state, std::string_view text, double wpm) {
    BurstFilter burst;
    test::KeyingOptions options;
    options.wpm = wpm;
    for (const test::KeyRun& run : test::KeyText(text, options)) {
        for (std::int64_t i = 0; i < run.samples; ++i) {
            IntervalStep(state, host, burst.Step(run.down));
        }
    }
    CharacterTables tables;
    std::string out;
    for (std::uint32_t code : host.codes) out += tables.LookupCharacter(code, charset::English);
    return out;
}

TEST(IntervalMachine, ChannelStartingSlowAdaptsOnItsOwnState) {
    ChannelHost host;
    IntervalState state;
    const std::string out = KeyInto(host, state, "vvv vvv cq de dl1abc k", 20.0);
    ASSERT_GE(out.size(), 19u);
    EXPECT_EQ(out.substr(out.size() - 19), "vvv cq de dl1abc k ");
    EXPECT_NEAR(host.dotLen, 662, 662 / 10);
    EXPECT_EQ(state.PauseDots, 10.0);  // not tracked for channels
}

TEST(IntervalMachine, LockUsesTheHostsLimits) {
    // Locked to 100..150 LPM, a 30 WPM (150 LPM) sender keeps the estimate
    // at the window's edge instead of following.
    ChannelHost host;
    host.dotLen = host.shortPauseLen = 662;
    host.locked = true;
    IntervalState state;
    KeyInto(host, state, "eeeee", 30.0);
    EXPECT_EQ(host.dotLen, 662);  // 441-sample dots sit on the excluded bound
    host.locked = false;
    KeyInto(host, state, "eeeee", 30.0);
    EXPECT_LT(host.dotLen, 500);
}

}  // namespace
}  // namespace quelp
