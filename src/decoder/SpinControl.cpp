#include "decoder/SpinControl.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace quelp {

namespace {
std::int32_t Clamp(std::int64_t v) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(v, SpinControl::kMin, SpinControl::kMax));
}
}  // namespace

SpinControl::SpinControl(MainView& view, UiItem edit, std::int32_t position)
    : view_(view), edit_(edit), position_(Clamp(position)) {}

void SpinControl::SetPosition(std::int32_t position) {
    position_ = Clamp(position);
    view_.SetText(edit_, std::to_string(position_));
}

bool SpinControl::TakeEditText(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || end != text.data() + text.size()) return false;
    if (ec == std::errc::result_out_of_range) {
        value = (!text.empty() && text.front() == '-') ? kMin : kMax;
    } else if (ec != std::errc()) {
        return false;
    }
    position_ = Clamp(value);
    return true;
}

}  // namespace quelp
