#pragma once
// The number edits with an up-down control that hold 5..3000 in steps of 5:
// the local and global AFC deviation and the two limits of the speed window.
// One rule for what an operator types into any of them.

#include <cstdint>
#include <optional>
#include <string_view>

#include "ports/MainView.h"

namespace quelp {

class SpinControl {
  public:
    static constexpr int kMin = 5;
    static constexpr int kMax = 3000;
    static constexpr int kStep = 5;

    explicit SpinControl(UiItem edit) : edit_(edit) {}

    UiItem Edit() const { return edit_; }
    // The position as the edit shows it: plain decimal.
    void Show(MainView& view, int position) const;

    // Typed text: blanks and tabs around it, an optional sign, decimal
    // digits and nothing else. A number too long for 64 bits reads as the
    // largest (or smallest) one. Nothing when the text is not a number.
    static std::optional<std::int64_t> Typed(std::string_view text);
    // Within the range: the value itself; beyond it: the nearer end.
    static int Limited(std::int64_t value);
    static bool InRange(std::int64_t value) { return value >= kMin && value <= kMax; }

  private:
    UiItem edit_;
};

}  // namespace quelp
