// The clock of a recording being decoded: its time of day follows the
// position in the recording from the start the file or the option gives.

#include "RecordingClock.h"

#include <gtest/gtest.h>

#include "support/FakeClock.h"

namespace quelp::cli {
namespace {

std::string Text(const CivilTime& t) {
    char s[32];
    std::snprintf(s, sizeof s, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return s;
}

TEST(RecordingClock, SecondsAddAcrossDaysMonthsYearsAndLeapDays) {
    const struct {
        CivilTime start;
        std::int64_t seconds;
        const char* want;
    } cases[] = {
        {{2026, 12, 7, 23, 59, 30}, 45, "2026-12-08 00:00:15"},
        {{2026, 12, 31, 23, 0, 0}, 3600, "2027-01-01 00:00:00"},
        {{2024, 2, 28, 12, 0, 0}, 86400, "2024-02-29 12:00:00"},
        {{2100, 2, 28, 12, 0, 0}, 86400, "2100-03-01 12:00:00"},
        {{2000, 2, 28, 0, 0, 0}, 2 * 86400, "2000-03-01 00:00:00"},
        {{1970, 1, 1, 0, 0, 0}, -1, "1969-12-31 23:59:59"},
        {{2026, 3, 1, 0, 0, 0}, 40 * 86400 + 3723, "2026-04-10 01:02:03"},
    };
    for (const auto& c : cases) EXPECT_EQ(Text(AddSeconds(c.start, c.seconds)), c.want);
}

TEST(RecordingClock, ARecordingStartsAtMidnightOfItsFileDayOrTheTimeGiven) {
    test::FakeClock machine;
    // 2026-12-07 09:15:00 UTC.
    const std::int64_t written = 1796634900;
    EXPECT_EQ(Text(RecordingStart(written, std::nullopt, machine)), "2026-12-07 00:00:00");
    EXPECT_EQ(Text(RecordingStart(written, 18 * 3600 + 30 * 60, machine)), "2026-12-07 18:30:00");

    RecordingClock clock(machine);
    std::uint64_t positionMs = 0;
    clock.Follow({2026, 12, 7, 23, 59, 0}, [&] { return positionMs; });
    positionMs = 61500;
    EXPECT_EQ(Text(clock.Now(true)), "2026-12-08 00:00:01");
    EXPECT_EQ(Text(clock.Now(false)), "2026-12-08 00:00:01");
    EXPECT_EQ(clock.TickMs(), 61500u);
    clock.Release();
    EXPECT_EQ(Text(clock.Now(true)), Text(machine.Now(true)));
}

}  // namespace
}  // namespace quelp::cli
