#pragma once
// The "Sound Output" selection: off, bypass (the raw input) or one of the
// thirteen output filters, played through SoundOut. The output filter
// itself (DspSound) belongs to the receive chain and is reached through hooks.

#include <atomic>
#include <cstdint>
#include <functional>

#include "audio/SoundOut.h"
#include "ports/MainView.h"

namespace quelp {

struct SoundOutputHooks {
    // Selects the output filter of a filter code (10 .. 3500, 101, 251, 1001)
    // in the sound output chain.
    std::function<void(int code)> configureFilter;
    // One raw sample through the selected output filter.
    std::function<double(int16_t sample)> filterStep;
};

class SoundOutput {
  public:
    static constexpr int kOff = 0;
    static constexpr int kBypass = 9998;

    SoundOutput(SoundOut& out, MainView& view, std::atomic<int>& displayHoldOff,
                SoundOutputHooks hooks);

    // Closes the device, selects the code's filter and opens the device again
    // unless the code is 0; returns the code in force afterwards. An unknown
    // code selects "Sound Off".
    int SelectSoundOutput(int code);
    // Closes the device, keeps `device` (below 0 or above 9: the default
    // device) and selects SoundFilter again.
    void RestartSoundOutput(int device);
    // Bypass, or back to the last other selection.
    void ToggleSoundBypass();
    // Every raw input sample that reaches the block processor, in order.
    void FeedSoundOutput(int16_t sample);
    // True while the output is on and all its buffers are with the driver:
    // a file decode waits (serving messages) until this turns false, so the
    // output device sets the pace and no sample is dropped.
    bool WaitingForOutputBuffer() const;

    // The menu handlers of the fifteen "Sound Output" entries; false when
    // `item` is none of them.
    bool SoundOutputMenuClick(UiItem item);
    // Opening the "Sound Output" submenu.
    void SoundOutputFilter1Click();

    // The selection code in force (0 off, 9998 bypass); set from the settings
    // before RestartSoundOutput at start-up.
    int SoundFilter = kOff;
    int LastSoundFilter() const { return lastSoundFilter_; }
    int DeviceNumber() const { return device_; }

  private:
    void ShowSelection(UiItem item, const char* caption);

    SoundOut& out_;
    MainView& view_;
    std::atomic<int>& displayHoldOff_;
    SoundOutputHooks hooks_;
    int lastSoundFilter_ = kOff;  // last code other than 9998
    int device_ = -1;
};

}  // namespace quelp
