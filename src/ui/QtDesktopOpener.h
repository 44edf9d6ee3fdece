#pragma once
// Opens files with the desktop's handler for their type (xdg-open and the
// like, through Qt).

#include "ports/DesktopOpener.h"

namespace quelp::ui {

class QtDesktopOpener final : public DesktopOpener {
  public:
    bool OpenWithDesktop(const std::string& path) override;
};

}  // namespace quelp::ui
