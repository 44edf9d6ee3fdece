#pragma once
// What the main window shows of the receiver: the status-bar panels, the
// captions and check marks of the filter and zoom menus, the buttons' down
// states and the spin controls' edits. Every text is decided here; a view
// only renders it.

#include <cstdint>
#include <string>

#include "app/SpinControl.h"
#include "ports/MainView.h"
#include "receiver/Receiver.h"

namespace quelp {

class ReceiverPresenter {
  public:
    ReceiverPresenter(MainView& view, const Receiver& receiver)
        : view_(view), receiver_(receiver) {}

    // The window's answer to one change of the receiver.
    void Show(ReceiverChange change);
    // The burst filter menu after a choice of `lpm`: the offered speed's
    // item checked, the others not (a speed the menu does not offer changes
    // no check mark).
    void ShowBurstChoice(std::int32_t lpm);
    // The zoom menu's radio group.
    void ShowZoom(int zoom);

    // The menu item of a main filter code (aliases resolved), and the item's
    // code; false for an item that is no main filter.
    static UiItem MainFilterItem(int code);
    static bool MainFilterCodeOf(UiItem item, int& code);
    // The burst filter speed of a menu item.
    static bool BurstSpeedOf(UiItem item, std::int32_t& lpm);
    // The zoom factor of a Zoom menu item.
    static bool ZoomOf(UiItem item, int& zoom);

    // The spin controls of the control panel.
    static const SpinControl kAfcSpin;
    static const SpinControl kAfcLimitSpin;
    static const SpinControl kLowSpeedSpin;
    static const SpinControl kHighSpeedSpin;

  private:
    MainView& view_;
    const Receiver& receiver_;
};

// Zoom factors the window offers: 1, 2, 3, 4, 5, 10, 20; anything else is 1.
int ZoomOrDefault(int zoom);

// A frequency in the status bar: the bin's hertz rounded to a whole number,
// no padding, and no digit at all for 0, then " Hz" ("1001 Hz").
std::string FrequencyText(int bin, double samplingFreq);

// A speed in words per minute: one decimal, rounded half away from zero, no
// padding and no leading zero (19.98 gives "20.0", 0.46 gives ".5").
std::string FormatWpm(double wpm);

}  // namespace quelp
