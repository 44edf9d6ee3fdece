#pragma once
// Keeps what was put on the clipboard, every time.

#include <string>
#include <vector>

#include "ports/Clipboard.h"

namespace quelp::test {

class FakeClipboard : public Clipboard {
  public:
    void SetText(std::string_view utf8) override { texts.emplace_back(utf8); }
    std::vector<std::string> texts;
};

}  // namespace quelp::test
