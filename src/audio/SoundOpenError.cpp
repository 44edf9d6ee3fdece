#include "audio/SoundOpenError.h"

#include "ports/SoundDriver.h"

namespace quelp {

const char* SoundOpenErrorText(int result) {
    switch (result) {
        case soundresult::BadDeviceId:
            return "  Specified device identifier is out of range";
        case soundresult::Allocated:
            return "  Specified resource is already allocated";
        case soundresult::NoDriver:
            return "  No device driver is present";
        case soundresult::NoMem:
            return "  Unable to allocate or lock memory";
        case soundresult::BadFormat:
            return "  Attempted to open with an unsupported waveform-audio format\n";
        default:
            return " Unrecognized ERROR ";
    }
}

}  // namespace quelp
