#include "ConsoleTextSink.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace quelp::cli {

void ConsoleTextSink::Append(std::string_view bytes) {
    if (error_ != 0) return;
    std::string text;
    if (page_ == CodePage::Raw) {
        text.assign(bytes);
    } else {
        text.reserve(bytes.size() * 2);
        for (const char ch : bytes) {
            if (ch == '\r') continue;
            AppendUtf8(text, CodePageToUnicode(page_, static_cast<unsigned char>(ch)));
        }
    }
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), out_) == text.size();
    if (std::fflush(out_) == 0 && written) return;
    error_ = errno != 0 ? errno : EIO;
    if (onFailure_) onFailure_();
}

std::string ConsoleTextSink::FailureText() const {
    return error_ != 0 ? std::strerror(error_) : "";
}

}  // namespace quelp::cli
