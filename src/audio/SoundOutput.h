#pragma once
// The "Sound Output" selection: off, bypass (the raw input) or one of the
// thirteen output filters, played through SoundOut. The output filter
// itself (DspSound) follows the receive chain's mixer and belongs to the
// receiver.

#include <cstdint>

#include "audio/SoundOut.h"
#include "dsp/DspSound.h"
#include "dsp/SoundFilter.h"
#include "ports/MainView.h"

namespace quelp {

class SoundOutput {
  public:
    static constexpr int kOff = sound_filter::Off;
    static constexpr int kBypass = sound_filter::Bypass;

    // filter: the output filter the filtered selections load and run.
    SoundOutput(SoundOut& out, MainView& view, DspSound& filter);

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

    // The code of one of the fifteen "Sound Output" entries; false when
    // `item` is none of them.
    static bool CodeOf(UiItem item, int& code);

    // The selection code in force (0 off, 9998 bypass); set from the settings
    // before RestartSoundOutput at start-up.
    int SoundFilter = kOff;
    int LastSoundFilter() const { return lastSoundFilter_; }
    int DeviceNumber() const { return device_; }

  private:
    void ShowSelection(UiItem item, const char* caption);

    SoundOut& out_;
    MainView& view_;
    DspSound& filter_;
    int lastSoundFilter_ = kOff;  // last code other than 9998
    int device_ = -1;
};

}  // namespace quelp
