#pragma once
// Where the program's text and messages go: a standard stream, written at
// once, or a buffer that another thread prints later (a file of a parallel
// batch, whose output must wait for the files before it on the command line).

#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace quelp::cli {

class Output {
  public:
    // Written to `file` and flushed at every write.
    explicit Output(std::FILE* file) : file_(file) {}
    // Kept until Take.
    Output() = default;
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // Writes all of `bytes`; false, with errno set, when the stream refused
    // them. A buffer never fails. Any thread.
    bool Write(std::string_view bytes);
    // What was written to the buffer since the last Take. Any thread.
    std::string Take();
    // Runs before every write to the stream (a progress line clears itself).
    void BeforeWrite(std::function<void()> hook) { beforeWrite_ = std::move(hook); }

  private:
    std::FILE* file_ = nullptr;
    std::function<void()> beforeWrite_;
    std::mutex lock_;
    std::string buffer_;
};

}  // namespace quelp::cli
