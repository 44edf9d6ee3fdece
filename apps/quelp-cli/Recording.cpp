#include "Recording.h"

#include <unistd.h>

#include <cstdio>

#include "RecordingClock.h"

namespace quelp::cli {

namespace {

constexpr std::uint16_t kPcm = 1;
constexpr std::uint16_t kFloat = 3;
constexpr std::uint16_t kALaw = 6;
constexpr std::uint16_t kMuLaw = 7;
constexpr std::uint16_t kExtensible = 0xFFFE;

// The library's words for a file it does not recognise at all.
std::string Reason(const std::string& error) {
    if (error.find("ormat not recognised") != std::string::npos ||
        error.find("unknown format") != std::string::npos) {
        return "not a recording in a known format";
    }
    return error;
}

// The reason, after what the recording is when a header was read: the
// adapter's description, else the WAV header's.
std::string Described(const SndfileSource& source, const std::optional<WaveFormat>& wave,
                      const std::string& error) {
    if (source.Info().rate > 0) return source.Info().Describe() + ": " + error;
    if (wave) return DescribeWaveFormat(*wave) + ": " + error;
    return Reason(error);
}

}  // namespace

ChannelChoice FileChannel(const CliOptions& options) {
    switch (options.channel.value_or(kChannelLeft)) {
        case kChannelRight:
            return ChannelChoice::Second;
        case kChannelMix:
            return ChannelChoice::Mix;
        default:
            return ChannelChoice::First;
    }
}

std::string DescribeWaveFormat(const WaveFormat& f) {
    std::string kind;
    switch (f.formatTag) {
        case kPcm:
            kind = "PCM";
            break;
        case kFloat:
            kind = "float";
            break;
        case kALaw:
            kind = "A-law";
            break;
        case kMuLaw:
            kind = "mu-law";
            break;
        case kExtensible:
            kind = "extensible";
            break;
        default: {
            char code[24];
            std::snprintf(code, sizeof code, "format 0x%04X", f.formatTag);
            kind = code;
        }
    }
    return std::to_string(f.samplesPerSec) + " Hz " + std::to_string(f.bitsPerSample) + "-bit " +
           kind + " WAV";
}

OpenProblem OpenRecording(const std::string& name, const CliOptions& options, Recording& out,
                          std::string& message) {
    out = Recording{};
    const ChannelChoice channel = FileChannel(options);
    std::string error;
    if (name == kStandardInput) {
        out.other = std::make_unique<SndfileSource>();
        if (!out.other->OpenStream(STDIN_FILENO, channel, options.rawRate, error)) {
            message = Described(*out.other, std::nullopt, error);
            out.other.reset();
            return OpenProblem::Unreadable;
        }
        return OpenProblem::None;
    }

    // The core's reader refuses what is no regular file, and so it says
    // whether the file can be opened at all.
    auto wave = std::make_unique<TWaveRead>();
    const WaveOpenResult walked = wave->Open(name);
    if (walked == WaveOpenResult::CannotOpen) return OpenProblem::CannotOpen;
    out.modified = FileModificationTime(name);
    if (!options.rawRate && walked == WaveOpenResult::Ok &&
        wave->CheckFormat() == WaveFormatResult::Ok) {
        wave->SelectChannel(channel);
        out.outputSamples = wave->OutputSamples();
        out.wave = std::move(wave);
        return OpenProblem::None;
    }

    out.other = std::make_unique<SndfileSource>();
    if (out.other->OpenFile(name, channel, options.rawRate, error)) {
        out.outputSamples = out.other->OutputSamples();
        return OpenProblem::None;
    }
    std::optional<WaveFormat> header;
    if (walked == WaveOpenResult::Ok) header = wave->Format();
    message = Described(*out.other, header, error);
    out.other.reset();
    return OpenProblem::Unreadable;
}

}  // namespace quelp::cli
