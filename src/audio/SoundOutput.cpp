#include "audio/SoundOutput.h"

#include <cmath>

namespace quelp {

namespace {

struct Selection {
    UiItem item;
    int code;  // what is stored; not always the bandwidth
    const char* caption;
};

constexpr Selection kSelections[] = {
    {UiItem::SoundOff1, sound_filter::Off, "Sound Output  (Off)"},
    {UiItem::SoundWithoutFiltering1, sound_filter::Bypass, "Sound Output  (Bypass)"},
    {UiItem::N10Hz1, 10, "Sound Output  (10Hz)"},
    {UiItem::N20Hz1, 20, "Sound Output  (20Hz)"},
    {UiItem::N30Hz1, 30, "Sound Output  (30Hz)"},
    {UiItem::N70Hz1, 70, "Sound Output  (70Hz)"},
    {UiItem::N140Hz1, 140, "Sound Output  (140 Hz)"},
    {UiItem::N280Hz1, 280, "Sound Output  (280 Hz)"},
    {UiItem::N600Hz1, 600, "Sound Output  (600 Hz)"},
    {UiItem::N1000Hz1, 1000, "Sound Output  (1000 Hz)"},
    {UiItem::N2000Hz1, 2000, "Sound Output  (2000 Hz)"},
    {UiItem::N3000Hz1, 3500, "Sound Output  (3000 Hz)"},
    {UiItem::N100Hz1, 101, "Sound Output  (100 Hz IIR)"},
    {UiItem::N250Hz1, 251, "Sound Output  (250 Hz IIR)"},
    {UiItem::N1000Hz2, 1001, "Sound Output  (1000 Hz IIR)"},
};

// Samples of silence queued ahead of the first real sample after a
// selection: half a buffer.
constexpr int kLeadingSilence = 1024;

}  // namespace

SoundOutput::SoundOutput(SoundOut& out, MainView& view, DspSound& filter)
    : out_(out), view_(view), filter_(filter) {}

void SoundOutput::ShowSelection(UiItem item, const char* caption) {
    view_.SetCaption(UiItem::SoundOutputFilter1, caption);
    // The fifteen entries form one radio group.
    for (const Selection& s : kSelections) view_.SetChecked(s.item, s.item == item);
}

int SoundOutput::SelectSoundOutput(int code) {
    SoundFilter = kOff;  // nothing is fed while switching
    out_.Close();

    const Selection* selection = &kSelections[0];
    for (const Selection& s : kSelections) {
        if (s.code == code) selection = &s;
    }
    code = selection->code;
    ShowSelection(selection->item, selection->caption);
    if (code != kOff && code != kBypass) ApplySoundFilter(filter_, code);

    if (code != kOff) {
        if (out_.Open(device_) != SoundOutOpenResult::Ok) {
            SoundFilter = kOff;
            ShowSelection(kSelections[0].item, kSelections[0].caption);
        } else {
            // Half of the first buffer of a device just opened: always stored.
            for (int i = 0; i < kLeadingSilence; ++i) static_cast<void>(out_.PutSample(0));
            SoundFilter = code;
        }
    }

    if (SoundFilter != kBypass) lastSoundFilter_ = SoundFilter;
    return SoundFilter;
}

void SoundOutput::RestartSoundOutput(int device) {
    out_.Close();
    if (device < 0) device = -1;
    device_ = device;
    SelectSoundOutput(SoundFilter);
}

void SoundOutput::ToggleSoundBypass() {
    SelectSoundOutput(SoundFilter != kBypass ? kBypass : lastSoundFilter_);
}

// A sample the output cannot take is dropped: live input does not wait for
// the device (a file decode does, through WaitingForOutputBuffer), and a
// device that failed has said so itself.
void SoundOutput::FeedSoundOutput(int16_t sample) {
    if (SoundFilter == kOff) return;
    if (SoundFilter == kBypass) {
        static_cast<void>(out_.PutSample(sample));
        return;
    }
    double y = filter_.Process(sample);
    // The output gain of every filtered selection is 4.
    double v = std::floor(4.0 * y + 0.5);
    if (std::isnan(v)) v = 0.0;
    if (v > 32767.0) v = 32767.0;
    if (v < -32767.0) v = -32767.0;
    static_cast<void>(out_.PutSample(static_cast<int16_t>(v)));
}

bool SoundOutput::WaitingForOutputBuffer() const {
    return SoundFilter != kOff && out_.FreeBuffers.load() < 1;
}

bool SoundOutput::CodeOf(UiItem item, int& code) {
    for (const Selection& s : kSelections) {
        if (s.item == item) {
            code = s.code;
            return true;
        }
    }
    return false;
}

}  // namespace quelp
