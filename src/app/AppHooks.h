#pragma once
// What the layers outside the core add to the application's operations: the
// Qt window (bitmaps, timers, focus, the multi-channel window) and the
// message bus. Rig control is the core's own, over the rig-server port. Each fills its own struct
// once, before start-up; an empty hook is a step this front end does not have (the command-line
// decoder has no bitmaps, no timers and no focus).

#include <functional>
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
};

struct IntegrationHooks {
    std::function<void()> registerMessages;                // the registered messages
    std::function<bool(int channel)> initExchangeLibrary;  // false: initialisation failed
    // The message bus: the registered key message ("VAD_CW") to every
    // program, with a key's code (Esc 0, F1 1, ...).
    std::function<void(int code)> broadcastKeyCode;
    // Automation clients hold the program: the window must not close.
    std::function<bool()> clientsHoldProgram;
};

// Calls a hook when it is set.
template <class F, class... Args>
inline void RunHook(const F& hook, Args&&... args) {
    if (hook) hook(std::forward<Args>(args)...);
}

}  // namespace quelp
