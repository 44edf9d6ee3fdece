#pragma once
// The receive text of the headless decoder: decoded characters arrive as
// bytes of the character table's code page and go to standard output (or a
// parallel batch's buffer) as UTF-8 the moment they are emitted.

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "Output.h"
#include "text/CodePage.h"

namespace quelp::cli {

class ConsoleTextSink {
  public:
    ConsoleTextSink(std::FILE* out, CodePage page) : own_(out), out_(own_), page_(page) {}
    ConsoleTextSink(Output& out, CodePage page) : out_(out), page_(page) {}

    // Writes the bytes at once. Outside raw mode the carriage returns of the
    // window's line ends are dropped, so lines end in a plain newline. After
    // a failed write nothing more is written.
    void Append(std::string_view bytes);
    // Writes text that is UTF-8 already (file labels, JSON lines) as it is.
    void WriteUtf8(std::string_view text);
    void SetCodePage(CodePage page) { page_ = page; }
    CodePage Page() const { return page_; }

    // Called once, at the first write or flush that fails (a full disk, a
    // closed pipe): the decoded text is being lost, so the run should end.
    void OnFailure(std::function<void()> handler) { onFailure_ = std::move(handler); }
    bool Failed() const { return error_ != 0; }
    // The system's reason for the failure.
    std::string FailureText() const;

  private:
    Output own_;
    Output& out_;
    CodePage page_;
    int error_ = 0;
    std::function<void()> onFailure_;
};

}  // namespace quelp::cli
