#pragma once
// Counts of input buffers during which the displays are not repainted
// (`DisplayHoldOff`): the input callback counts it down; commands set it.

namespace quelp::hold_off {

inline constexpr int kNone = 0;           // a menu or dialog closed: draw at once
inline constexpr int kAfterCommand = 1;   // most menu commands
inline constexpr int kStartup = 5;        // the first blocks after start-up
inline constexpr int kMenuOpen = 22;      // a menu or file dialog is open
inline constexpr int kSetupOpen = 1650;   // the setup dialog is open
inline constexpr int kSetupApply = 3000;  // the setup dialog's Apply or Save

}  // namespace quelp::hold_off
