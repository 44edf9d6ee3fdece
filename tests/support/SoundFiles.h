#pragma once
// Recordings in the formats other programs write (float and extensible WAV,
// FLAC, Ogg, headerless samples), made with the sound file library, for the
// tests of the command-line decoder.

#include <string>
#include <vector>

namespace quelp::test {

enum class SoundFormat {
    Pcm16Wav,
    FloatWav,         // 32-bit float, format tag 3
    Extensible24Wav,  // 24-bit PCM with the extensible header
    Flac16,
    OggVorbis,
    OggOpus,
    Mp3,
    Raw16,  // headerless signed 16-bit little endian
};

// Writes `samples` (1.0 = full scale) at `rate`, on every one of `channels`
// or only on `signalChannel` (0-based) with the others silent. False when the
// library refused the format or the file.
bool WriteSoundFile(const std::string& path, const std::vector<double>& samples, int rate,
                    SoundFormat format, int channels = 1, int signalChannel = -1);

}  // namespace quelp::test
