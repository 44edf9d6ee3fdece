#pragma once
// Port: the system clipboard, for the words the operator transfers.
// The core hands over UTF-8 text, converted from the receive text's
// code page.

#include <string_view>

namespace quelp {

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    virtual void SetText(std::string_view utf8) = 0;
};

}  // namespace quelp
