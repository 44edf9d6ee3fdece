#pragma once
// The clock the core sees while the command-line program decodes a recording:
// the machine's for pacing and waiting, but the time of day follows the
// position in the recording, so a time mark in the capture file says where in
// the recording its word was. Outside a decode it is the machine's clock.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ports/Clock.h"

namespace quelp::cli {

// `start` plus `seconds`, across midnights, months and years.
CivilTime AddSeconds(const CivilTime& start, std::int64_t seconds);

// 00:00:00 of the day a file was last written, in UTC; today for anything
// without a date (standard input). `startSecond` (seconds into the day)
// replaces midnight.
CivilTime RecordingStart(const std::optional<std::int64_t>& fileTime,
                         const std::optional<int>& startSecond, Clock& machine);

// The modification time of `path` in seconds since 1970, when it has one.
std::optional<std::int64_t> FileModificationTime(const std::string& path);

class RecordingClock final : public Clock {
  public:
    explicit RecordingClock(Clock& machine) : machine_(machine) {}

    // From now on the time is `start` plus `positionMs()`, the recording's
    // position in milliseconds; the tick counts the same milliseconds.
    void Follow(const CivilTime& start, std::function<std::uint64_t()> positionMs);
    // Back to the machine's time.
    void Release() { positionMs_ = nullptr; }

    std::uint32_t TickMs() override;
    std::int64_t ElapsedMs() override { return machine_.ElapsedMs(); }
    // The recording's own time, whether UTC or local time is asked for: a
    // recording has one time, the one it was given.
    CivilTime Now(bool utc) override;
    void SleepMs(int ms) override { machine_.SleepMs(ms); }

  private:
    Clock& machine_;
    CivilTime start_;
    std::function<std::uint64_t()> positionMs_;
};

}  // namespace quelp::cli
