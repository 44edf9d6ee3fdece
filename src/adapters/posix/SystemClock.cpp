#include "adapters/posix/SystemClock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace quelp {

namespace {
std::int64_t MonotonicMs() {
    // steady_clock is CLOCK_MONOTONIC on Linux: it counts from system start.
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

SystemClock::SystemClock() : startMs_(MonotonicMs()) {}

std::uint32_t SystemClock::TickMs() {
    return static_cast<std::uint32_t>(MonotonicMs());
}

std::int64_t SystemClock::ElapsedMs() {
    return MonotonicMs() - startMs_;
}

CivilTime SystemClock::Now(bool utc) {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    // The reentrant forms: a batch of recordings decodes on several threads,
    // each with a clock of its own.
    if (utc) {
        ::gmtime_r(&now, &parts);
    } else {
        ::localtime_r(&now, &parts);
    }
    return CivilTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                     parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

void SystemClock::SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace quelp
