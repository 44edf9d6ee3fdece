#include "app/SpinControl.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

namespace quelp {

void SpinControl::Show(MainView& view, int position) const {
    view.SetText(edit_, std::to_string(position));
}

std::optional<std::int64_t> SpinControl::Typed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || end != text.data() + text.size()) return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        return text.front() == '-' ? std::numeric_limits<std::int64_t>::min()
                                   : std::numeric_limits<std::int64_t>::max();
    }
    if (ec != std::errc()) return std::nullopt;
    return value;
}

int SpinControl::Limited(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, kMin, kMax));
}

}  // namespace quelp
