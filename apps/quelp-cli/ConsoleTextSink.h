#pragma once
// The receive text of the headless decoder: decoded characters arrive as
// bytes of the character table's code page and go to standard output as
// UTF-8 the moment they are emitted.

#include <cstdio>
#include <string_view>

#include "text/CodePage.h"

namespace quelp::cli {

class ConsoleTextSink {
  public:
    ConsoleTextSink(std::FILE* out, CodePage page) : out_(out), page_(page) {}

    // Writes the bytes at once. Outside raw mode the carriage returns of the
    // window's line ends are dropped, so lines end in a plain newline.
    void Append(std::string_view bytes);
    void SetCodePage(CodePage page) { page_ = page; }

  private:
    std::FILE* out_;
    CodePage page_;
};

}  // namespace quelp::cli
