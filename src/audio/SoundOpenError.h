#pragma once
// What the operator reads when a sound device does not open.

namespace quelp {

// Message text of a failed device open, by the driver's result code.
const char* SoundOpenErrorText(int result);

}  // namespace quelp
