#pragma once
// What the operator reads when a sound device does not open.

#include "ports/SoundDriver.h"

namespace quelp {

// Message text of a failed device open, by the driver's result code.
const char* SoundOpenErrorText(SoundResult result);

}  // namespace quelp
