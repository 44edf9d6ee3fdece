#pragma once
// The steps of start-up and shut-down that belong to subsystems outside the
// receiver (displays, sound, history, messages, exchange library, rig, timers).
// The start-up order calls them in its fixed place; each subsystem fills its
// own when it is wired into the application object, and an empty hook is a
// step that has nothing to do on this front end (the command-line decoder has
// no bitmaps, no timers and no focus).

#include <functional>
#include <utility>

namespace quelp {

struct StartupHooks {
    // --- start-up, in the order they run ---
    std::function<void()> createDisplayBitmaps;            // oscilloscope and spectrum bitmaps
    std::function<void()> registerMessages;                // the registered inter-program messages
    std::function<bool(int channel)> initExchangeLibrary;  // false: initialisation failed
    std::function<void()> applyChannelSpeedWindow;         // main speed window to the channels
    std::function<void(int samples)> setChannelBurstLength;  // burst length to the channels
    std::function<void()> createHistory;                     // the 60-second audio history
    std::function<void()> restartSoundInput;                 // with SoundCardNumber
    std::function<void()> restartSoundOutput;                // with OutSoundCardNumber
    std::function<void()> checkSlowTimer;                    // slow-timer mode on old systems
    std::function<void()> caretToEnd;                        // receive text caret to the end
    std::function<void()> applyRigTuning;                    // rig-tuning mode TuneRig
    std::function<void()> focusNullButton;                   // keyboard focus parking place
    std::function<void()> installMessageFilter;  // menu hold-off and registered messages
    std::function<void()> startTimers;           // display timer on, start-up timer off

    // --- settings owned by subsystems outside the receiver ---
    std::function<int()> soundFilterCode;              // the sound-output code in force
    std::function<void(int code)> setSoundFilterCode;  // from the settings, before the device opens

    // --- shut-down ---
    std::function<void()> closeSoundOutput;
    std::function<void()> stopSoundInput;  // waits until the driver returned every buffer
    std::function<void()> stopTimers;
};

// Calls a hook when it is set.
template <class F, class... Args>
inline void RunHook(const F& hook, Args&&... args) {
    if (hook) hook(std::forward<Args>(args)...);
}

}  // namespace quelp
