#pragma once
// The clipboard port on Qt's clipboard.

#include "ports/Clipboard.h"

namespace quelp::ui {

class QtClipboard final : public Clipboard {
  public:
    void SetText(std::string_view utf8) override;
};

}  // namespace quelp::ui
