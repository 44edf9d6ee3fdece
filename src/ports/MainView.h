#pragma once
// Port: what the core shows in the main window. The Qt window and the console
// view of the command-line decoder implement it; the tests record every call.
// The core decides every text, caption, check mark and message; a view only
// renders them.

#include <string_view>

#include "ports/UiItem.h"

namespace quelp {

class MainView {
  public:
    virtual ~MainView() = default;

    // Status bar panel text (see `panel::` for the numbers).
    virtual void SetStatusText(int panel, std::string_view text) = 0;
    // Menu item or submenu caption.
    virtual void SetCaption(UiItem item, std::string_view caption) = 0;
    // Check mark of a menu item.
    virtual void SetChecked(UiItem item, bool checked) = 0;
    // Menu item or button enabled.
    virtual void SetEnabled(UiItem item, bool enabled) = 0;
    // Pressed state of a toggle button.
    virtual void SetDown(UiItem item, bool down) = 0;
    // Text of an edit (the spin controls' edits).
    virtual void SetText(UiItem item, std::string_view text) = 0;
    // Modal message box with an OK button.
    virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
    // One pass of the window's message loop: pending input buffers, menus,
    // automation calls. Called from inside long operations (file decoding).
    virtual void ProcessMessages() = 0;
    // Repaint the spectrum, scale and oscilloscope from the core's arrays.
    virtual void UpdateDisplays() = 0;
};

}  // namespace quelp
