#pragma once
// The machine's clock: a monotonic tick counted from system start, the
// program's own elapsed time, and the calendar time in UTC or local time.

#include <cstdint>

#include "ports/Clock.h"

namespace quelp {

// The real clock of the machine.
class SystemClock final : public Clock {
  public:
    SystemClock();
    std::uint32_t TickMs() override;
    std::int64_t ElapsedMs() override;
    CivilTime Now(bool utc) override;
    void SleepMs(int ms) override;

  private:
    std::int64_t startMs_;
};

}  // namespace quelp
