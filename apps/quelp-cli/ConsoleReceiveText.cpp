#include "ConsoleReceiveText.h"

#include <limits>

namespace quelp::cli {

int ConsoleReceiveText::CharacterCount() {
    // The port counts in int; a console left running for years must not
    // overflow it.
    constexpr std::size_t kMax = static_cast<std::size_t>(std::numeric_limits<int>::max());
    return static_cast<int>(text_.size() < kMax ? text_.size() : kMax);
}

void ConsoleReceiveText::AppendAtEnd(std::string_view text) {
    text_.append(text);
    if (divert_) {
        divert_(text);
        return;
    }
    sink_.Append(text);
    if (!text.empty()) lineOpen_ = text.back() != '\n';
}

void ConsoleReceiveText::EndLine() {
    if (!lineOpen_) return;
    sink_.Append("\n");
    lineOpen_ = false;
}

}  // namespace quelp::cli
