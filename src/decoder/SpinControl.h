#pragma once
// A speed edit with its up-down control: a position kept within 5..3000,
// stepped by 5, whose text the main view shows in the edit.

#include <cstdint>
#include <string_view>

#include "ports/MainView.h"
#include "ports/UiItem.h"

namespace quelp {

class SpinControl {
  public:
    static constexpr std::int32_t kMin = 5;
    static constexpr std::int32_t kMax = 3000;
    static constexpr std::int32_t kIncrement = 5;

    // The control starts at `position` with that text already in its edit.
    SpinControl(MainView& view, UiItem edit, std::int32_t position);

    std::int32_t Position() const { return position_; }
    // Clamps to 5..3000 and writes the position into the edit as decimal text.
    void SetPosition(std::int32_t position);
    // The operator typed into the edit: a whole number becomes the position
    // (clamped); anything else leaves the position as it was. The edit text
    // is not rewritten. Returns true when the text was a number.
    bool TakeEditText(std::string_view text);
    // The arrows.
    void StepUp() { SetPosition(position_ + kIncrement); }
    void StepDown() { SetPosition(position_ - kIncrement); }

  private:
    MainView& view_;
    UiItem edit_;
    std::int32_t position_;
};

}  // namespace quelp
