#pragma once
// The capture file on a POSIX file system: open(2) for appending, created
// with mode 0644 when missing, never truncated, and held with an exclusive
// advisory lock so a second writer (another instance) cannot share it while
// readers still can. Built into quelp_posix, outside the core.

#include <string>
#include <string_view>

#include "ports/CaptureSink.h"

namespace quelp {

class PosixCaptureSink final : public CaptureSink {
  public:
    PosixCaptureSink() = default;
    PosixCaptureSink(const PosixCaptureSink&) = delete;
    PosixCaptureSink& operator=(const PosixCaptureSink&) = delete;
    ~PosixCaptureSink() override;

    bool Open(const std::string& path) override;
    bool IsOpen() const override { return fd_ >= 0; }
    void Write(std::string_view bytes) override;
    bool Close() override;

  private:
    int fd_ = -1;
    bool failed_ = false;
};

}  // namespace quelp
