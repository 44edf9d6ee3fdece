#pragma once
// Port: opening a file with the program the desktop associates with it (the
// text editor for the buffer's copy, the help viewer for the help file).

#include <string>

namespace quelp {

class DesktopOpener {
  public:
    virtual ~DesktopOpener() = default;
    // Hands `path` to the desktop's handler and returns at once; false when
    // no handler could be started (the caller does not report it).
    virtual bool OpenWithDesktop(const std::string& path) = 0;
};

}  // namespace quelp
