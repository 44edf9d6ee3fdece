#pragma once
// A clock the test sets by hand.

#include "ports/Clock.h"

namespace quelp::test {

class FakeClock : public Clock {
  public:
    std::uint32_t TickMs() override { return tick; }
    std::int64_t ElapsedMs() override { return elapsed; }
    CivilTime Now(bool isUtc) override { return isUtc ? utc : local; }
    // Sleeping moves the clock on at once.
    void SleepMs(int ms) override {
        Advance(ms);
        ++sleeps;
    }
    int sleeps = 0;

    // Moves every counter forward together.
    void Advance(std::int64_t ms) {
        tick += static_cast<std::uint32_t>(ms);
        elapsed += ms;
    }

    std::uint32_t tick = 0;
    std::int64_t elapsed = 0;
    CivilTime utc{2026, 12, 7, 14, 5, 9};
    CivilTime local{2026, 12, 7, 15, 5, 9};
};

}  // namespace quelp::test
