#include "support/SoundFiles.h"

#include <sndfile.h>

namespace quelp::test {

namespace {

int LibraryFormat(SoundFormat format) {
    switch (format) {
        case SoundFormat::Pcm16Wav:
            return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        case SoundFormat::FloatWav:
            return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        case SoundFormat::Extensible24Wav:
            return SF_FORMAT_WAVEX | SF_FORMAT_PCM_24;
        case SoundFormat::Flac16:
            return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        case SoundFormat::OggVorbis:
            return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
        case SoundFormat::OggOpus:
            return SF_FORMAT_OGG | SF_FORMAT_OPUS;
        case SoundFormat::Mp3:
            return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
        case SoundFormat::Raw16:
            return SF_FORMAT_RAW | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE;
    }
    return 0;
}

}  // namespace

bool WriteSoundFile(const std::string& path, const std::vector<double>& samples, int rate,
                    SoundFormat format, int channels, int signalChannel) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = LibraryFormat(format);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return false;
    // Float input scaled to the integer formats' full scale, not clipped
    // beyond it.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    std::vector<double> frames(samples.size() * static_cast<std::size_t>(channels), 0.0);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        for (int c = 0; c < channels; ++c) {
            if (signalChannel < 0 || c == signalChannel) {
                frames[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
                    samples[i];
            }
        }
    }
    const auto count = static_cast<sf_count_t>(samples.size());
    const bool written = sf_writef_double(file, frames.data(), count) == count;
    return sf_close(file) == 0 && written;
}

}  // namespace quelp::test
