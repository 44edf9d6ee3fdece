#pragma once
// Port: the text capture file. Bytes are appended; the file is never
// truncated, other programs may read it while it is captured but not write.

#include <string>
#include <string_view>

namespace quelp {

class CaptureSink {
  public:
    virtual ~CaptureSink() = default;
    // Opens (creating when missing) for appending. False when the file cannot
    // be opened or another program holds it.
    virtual bool Open(const std::string& path) = 0;
    virtual bool IsOpen() const = 0;
    // Write errors are remembered and reported by Close.
    virtual void Write(std::string_view bytes) = 0;
    // Closes the file; false when anything could not be written.
    virtual bool Close() = 0;
};

}  // namespace quelp
