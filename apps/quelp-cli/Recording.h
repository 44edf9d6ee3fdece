#pragma once
// Opening what `quelp-cli decode` was given: a WAV file the core's reader
// takes (11025, 22050 or 44100 Hz integer PCM) goes through that reader,
// sample for sample as the window decodes it; any other recording, standard
// input ("-") and headerless input (--raw) go through the sound file adapter
// and its rate converter.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "CliOptions.h"
#include "adapters/sndfile/SndfileSource.h"
#include "audio/WaveRead.h"
#include "ports/SampleSource.h"

namespace quelp::cli {

// Samples per second of what a recording gives the receiver.
inline constexpr double kFileRate = SndfileSource::kOutputRate;

// Standard input on the command line.
inline constexpr const char* kStandardInput = "-";

struct Recording {
    std::unique_ptr<TWaveRead> wave;       // the core's reader, or
    std::unique_ptr<SndfileSource> other;  // the adapter
    // Samples at 11025 Hz the recording gives, when its length is known.
    std::optional<std::uint64_t> outputSamples;
    // Seconds since 1970 of the file's last change (none for standard input).
    std::optional<std::int64_t> modified;

    SampleSource& Source() { return wave ? static_cast<SampleSource&>(*wave) : *other; }
    // Why reading stopped before the end; empty when it did not.
    std::string ReadError() const { return other ? other->ReadError() : std::string(); }
};

enum class OpenProblem {
    None,
    // The file cannot be opened at all (missing, a folder, a FIFO, no
    // permission): the core's "File Open Error!" with the system's reason.
    CannotOpen,
    // It opens, but no reader takes it; `message` names what it is.
    Unreadable,
};

// Opens `name` as the options say (channel, --raw); `message` is set for
// Unreadable.
OpenProblem OpenRecording(const std::string& name, const CliOptions& options, Recording& out,
                          std::string& message);

// The channel choice of --channel for a file (the first when not given).
ChannelChoice FileChannel(const CliOptions& options);

// "48000 Hz 16-bit PCM WAV", "11025 Hz 32-bit float WAV", "8000 Hz 4-bit
// format 0x0011 WAV": what a WAV header says, for messages.
std::string DescribeWaveFormat(const WaveFormat& format);

}  // namespace quelp::cli
