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
    WriteUtf8(text);
}

void ConsoleTextSink::WriteUtf8(std::string_view text) {
    if (error_ != 0) return;
    if (out_.Write(text)) return;
    error_ = errno != 0 ? errno : EIO;
    if (onFailure_) onFailure_();
}

std::string ConsoleTextSink::FailureText() const {
    return error_ != 0 ? std::strerror(error_) : "";
}

}  // namespace quelp::cli
