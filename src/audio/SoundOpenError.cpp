#include "audio/SoundOpenError.h"

namespace quelp {

const char* SoundOpenErrorText(SoundResult result) {
    switch (result) {
        case SoundResult::BadDeviceId:
            return "  Specified device identifier is out of range";
        case SoundResult::Allocated:
            return "  Specified resource is already allocated";
        case SoundResult::NoDriver:
            return "  No device driver is present";
        case SoundResult::NoMem:
            return "  Unable to allocate or lock memory";
        case SoundResult::BadFormat:
            return "  Attempted to open with an unsupported waveform-audio format\n";
        default:
            return " Unrecognized ERROR ";
    }
}

}  // namespace quelp
