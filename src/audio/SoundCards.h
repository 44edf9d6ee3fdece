#pragma once
// The sound cards the program uses and their channels.

namespace quelp {

struct SoundCardOptions {
    int SoundCardNumber = -1;     // input device, -1 = system default
    int InputCardChannel = 0;     // 0 mono, 1 left, 2 right
    int OutputCardChannel = 0;    // 0 mono, 1 left, 2 right
    int OutSoundCardNumber = -1;  // output device, -1 = system default
};

}  // namespace quelp
