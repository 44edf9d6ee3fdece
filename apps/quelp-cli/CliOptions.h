#pragma once
// The command line of the headless decoder:
//   quelp-cli decode FILE... [options]     (FILE "-": standard input)
//   quelp-cli live [options]
// parsed into one record, and the table of options that both --help and the
// manual page are written from. Nothing here touches a device or a file; the
// program decides what to do with the record.

#include <optional>
#include <string>
#include <vector>

#include "text/CodePage.h"

namespace quelp {

enum class CliCommand { Help, Version, Decode, Live };

// A sound device given by number (as listed) or by name.
struct CliDevice {
    int index = -1;    // -1 when chosen by name
    std::string name;  // empty when chosen by number
    bool operator==(const CliDevice&) const = default;
};

// Values of CliOptions::channel: live takes mono, left or right (the sound
// card's channel setting); decode takes left, right or mix.
inline constexpr int kChannelMono = 0;
inline constexpr int kChannelLeft = 1;
inline constexpr int kChannelRight = 2;
inline constexpr int kChannelMix = 3;

struct CliOptions {
    CliCommand command = CliCommand::Help;
    std::vector<std::string> files;  // decode: the recordings, in order; "-" standard input

    // Receiver (unset: the settings' or built-in value stays).
    std::optional<bool> adaptive;     // --decoder: adaptive (true) or classic
    std::optional<double> freqHz;     // checked against the band once the rate is known
    std::optional<double> squelchDb;  // --squelch-db: the adaptive decoder's squelch
    std::optional<int> filterCode;    // main filter code, e.g. 140 or 101
    std::optional<int> burstLpm;      // burst filter speed
    bool thresholdAuto = false;       // --threshold auto
    std::optional<double> threshold;
    std::optional<double> minThreshold;
    std::optional<bool> afc;
    std::optional<double> afcLocalHz;
    std::optional<double> afcGlobalHz;
    std::optional<double> squelch;
    std::optional<int> speedLow;  // --speed-lock LOW-HIGH, LPM
    std::optional<int> speedHigh;
    std::optional<int> charset;  // 0 English, 1 Russian, 2 user file, 3 Swedish
    std::string charsetFile;     // with charset 2
    std::optional<std::string> captureFile;
    std::optional<CodePage> encoding;  // of the text written to stdout
    bool stats = false;
    bool realtime = false;
    bool multi = false;
    std::optional<std::string> settingsFile;
    std::optional<std::string> saveSettingsFile;
    std::optional<std::string> historySaveDir;
    bool timeMarks = false;  // time marks in the capture file

    // decode only
    std::optional<int> rawRate;  // headerless 16-bit mono at this rate
    bool json = false;
    std::optional<int> jobs;         // files at a time; 0: one per core
    std::optional<int> startSecond;  // --start-time, seconds into the day
    std::optional<std::string> waterfallFile;

    // both, with the values each takes (see kChannel...)
    std::optional<int> channel;

    // live only
    std::optional<CliDevice> device;
    bool listDevices = false;
    std::optional<int> soundOut;  // sound output code; 0 off, 9998 unfiltered
    std::optional<CliDevice> outDevice;
    std::optional<std::string> recordFile;
    bool overwrite = false;  // --record may replace an existing file
};

struct CliParseResult {
    // 0: run with `options`; 2: usage error, `error` and `hint` say why.
    int status = 0;
    std::string error;  // one line, no program name
    std::string hint;
    CliOptions options;
};

// `args` are the arguments after the program name.
CliParseResult ParseCliArgs(const std::vector<std::string>& args);

// One option as --help and the manual page describe it.
struct CliOptionDoc {
    const char* group;     // "Receiver", "Text", ...
    const char* synopsis;  // "--freq HZ"
    const char* help;      // one paragraph, no line breaks
};

// Every option, in the order --help lists them.
const std::vector<CliOptionDoc>& CliOptionTable();

// The --help text.
std::string CliUsage();

// The manual page, quelp-cli(1), in roff.
std::string CliManPage(const std::string& version);

}  // namespace quelp
