#pragma once
// Port: the clock. Time marks, date lines, file-decode pacing and history file
// names read it; the tests set it.

#include <cstdint>

namespace quelp {

// A calendar date and time of day, to the second.
struct CivilTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since system start (a monotonic counter that wraps at 2^32),
    // like the platform tick the time marks compare with.
    virtual std::uint32_t TickMs() = 0;
    // Milliseconds since the program started; paces file decoding.
    virtual std::int64_t ElapsedMs() = 0;
    // The current date and time, in UTC or local time.
    virtual CivilTime Now(bool utc) = 0;
    // Waits without busy-waiting (file decoding paces itself with it).
    virtual void SleepMs(int ms) = 0;
};

}  // namespace quelp
