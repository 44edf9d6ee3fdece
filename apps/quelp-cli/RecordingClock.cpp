#include "RecordingClock.h"

#include <sys/stat.h>

#include <string>

namespace quelp::cli {

namespace {

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar, and
// back (the era arithmetic of the civil calendar, exact for any year).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilTime CivilFromDays(std::int64_t z, std::int64_t secondOfDay) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    CivilTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
    t.hour = static_cast<int>(secondOfDay / 3600);
    t.minute = static_cast<int>(secondOfDay / 60 % 60);
    t.second = static_cast<int>(secondOfDay % 60);
    return t;
}

constexpr std::int64_t kDay = 86400;

}  // namespace

CivilTime AddSeconds(const CivilTime& start, std::int64_t seconds) {
    const std::int64_t at = DaysFromCivil(start.year, start.month, start.day) * kDay +
                            start.hour * 3600 + start.minute * 60 + start.second + seconds;
    const std::int64_t days = at >= 0 ? at / kDay : (at - kDay + 1) / kDay;
    return CivilFromDays(days, at - days * kDay);
}

CivilTime RecordingStart(const std::optional<std::int64_t>& fileTime,
                         const std::optional<int>& startSecond, Clock& machine) {
    CivilTime day;
    if (fileTime) {
        const std::int64_t t = *fileTime;
        const std::int64_t days = t >= 0 ? t / kDay : (t - kDay + 1) / kDay;
        day = CivilFromDays(days, 0);
    } else {
        day = machine.Now(true);
        day.hour = day.minute = day.second = 0;
    }
    return AddSeconds(day, startSecond.value_or(0));
}

std::optional<std::int64_t> FileModificationTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtime);
}

void RecordingClock::Follow(const CivilTime& start, std::function<std::uint64_t()> positionMs) {
    start_ = start;
    positionMs_ = std::move(positionMs);
}

std::uint32_t RecordingClock::TickMs() {
    // The tick wraps at 2^32 ms, like the machine's.
    return positionMs_ ? static_cast<std::uint32_t>(positionMs_()) : machine_.TickMs();
}

CivilTime RecordingClock::Now(bool utc) {
    if (!positionMs_) return machine_.Now(utc);
    return AddSeconds(start_, static_cast<std::int64_t>(positionMs_() / 1000));
}

}  // namespace quelp::cli
