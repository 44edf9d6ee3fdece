#pragma once
// What the layers outside the core add to the application's operations: the
// Qt window (bitmaps, timers, focus, the multi-channel window) and the
// message bus. Rig control is the core's own, over the rig-server port. Each fills its own struct
// once, before start-up; an empty hook is a step this front end does not have (the command-line
// decoder has no bitmaps, no timers and no focus).

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

namespace quelp {

struct WindowHooks {
    // Start-up, in the order they run.
    std::function<void()> createDisplayBitmaps;  // oscilloscope and spectrum bitmaps
    std::function<void()> checkSlowTimer;        // slow-timer mode on old systems
    std::function<void()> caretToEnd;            // receive text caret to the end
    std::function<void()> focusNullButton;       // keyboard focus parking place
    std::function<void()> installMessageFilter;  // menu hold-off and registered messages
    std::function<void()> startTimers;           // display timer on, start-up timer off
    // The settings were applied: the window takes its stored geometry,
    // colours and receive-text font from MainWindowState.
    std::function<void()> applyWindowSettings;
    // A save is about to collect the settings: the window reports its
    // geometry (SetMainWindowSettings) so the file gets what it shows.
    std::function<void()> reportWindowSettings;
    // The setup dialog applied a new look: the receive text takes
    // MainWindowState::RxFont (its highlight the font's colours), the
    // displays the eight colours of MainWindowState::Window.
    std::function<void()> applyAppearance;
    // Shut-down.
    std::function<void()> stopTimers;
    // A buffer could not be given back to the input driver: the window
    // closes (the command-line program stops).
    std::function<void()> endApplication;
};

struct ScanFormHooks {
    // First switch-on: create the window and apply its stored geometry and
    // font.
    std::function<void()> create;
    std::function<void()> show;
    std::function<void()> hide;
    // Main window stay-on-top (true) or normal (false) style.
    std::function<void(bool stayOnTop)> setMainStayOnTop;
    // The always-on-top setting of the main window.
    std::function<bool()> alwaysOnTop;
    // The grid's top row moved (ScanWindow::TopRow): the grid scrolls there.
    std::function<void()> scrollGrid;
    // The text pane takes MainWindowState::Scan.Font (the setup dialog).
    std::function<void()> applyFont;
    // A save is about to collect the settings: the window reports its
    // geometry and font (SetScanWindowSettings).
    std::function<void()> reportSettings;
};

struct SetupFormHooks {
    // Open the dialog: create it on first use (with its stored position),
    // LoadSetupDialog into its controls, select page `page` (0..5; -1 keeps
    // the page it showed last), make it stay on top and show it.
    std::function<void(int page)> open;
    // A save is about to collect the settings: the dialog reports its
    // position (SetSetupWindowSettings).
    std::function<void()> reportSettings;
};

struct IntegrationHooks {
    std::function<void()> registerMessages;                // the registered messages
    std::function<bool(int channel)> initExchangeLibrary;  // false: initialisation failed
    // The message bus: the registered key message ("VAD_CW") to every
    // program, with a key's code (Esc 0, F1 1, ...).
    std::function<void(int code)> broadcastKeyCode;
    // Automation clients hold the program: the window must not close.
    std::function<bool()> clientsHoldProgram;
    // Log export. The registered message "Tolvan_Message"
    // broadcast to every top-level window, asynchronously, with its two
    // parameters.
    std::function<void(std::uint32_t first, std::int32_t second)> broadcastMessage;
    // The automation objects that exist (0 to 8), and OnCommandEx fired to
    // every event sink of object `object` (0-based) with the word in UTF-8.
    std::function<int()> automationObjects;
    std::function<void(int object, std::int32_t commandW, std::int32_t commandL,
                       std::string_view text)>
        fireCommandEx;
};

// Calls a hook when it is set.
template <class F, class... Args>
inline void RunHook(const F& hook, Args&&... args) {
    if (hook) hook(std::forward<Args>(args)...);
}

}  // namespace quelp
