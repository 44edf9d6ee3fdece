#include "ConsoleTextSink.h"

#include <string>

namespace quelp::cli {

void ConsoleTextSink::Append(std::string_view bytes) {
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
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fflush(out_);
}

}  // namespace quelp::cli
