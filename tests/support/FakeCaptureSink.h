#pragma once
// A capture file in memory: keeps what was written across reopenings, as an
// appended file would, and can be told to refuse opening or to fail on close.

#include <string>
#include <vector>

#include "ports/CaptureSink.h"

namespace quelp::test {

class FakeCaptureSink : public CaptureSink {
  public:
    bool Open(const std::string& path) override {
        openedPaths.push_back(path);
        if (refuseOpen) return false;
        open = true;
        return true;
    }
    bool IsOpen() const override { return open; }
    void Write(std::string_view bytes) override {
        if (open) contents.append(bytes);
    }
    bool Close() override {
        open = false;
        ++closes;
        return !failOnClose;
    }

    bool refuseOpen = false;
    bool failOnClose = false;
    bool open = false;
    int closes = 0;
    std::string contents;
    std::vector<std::string> openedPaths;
};

}  // namespace quelp::test
