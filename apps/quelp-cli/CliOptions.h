#pragma once
// The command line of the headless decoder:
//   quelp-cli decode FILE.wav... [options]
//   quelp-cli live [options]
// parsed into one record. Nothing here touches a device or a file; the
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

struct CliOptions {
    CliCommand command = CliCommand::Help;
    std::vector<std::string> files;  // decode: the WAV files, in order

    // Receiver (unset: the settings' or built-in value stays).
    std::optional<bool> adaptive;   // --decoder: adaptive (true) or classic
    std::optional<double> freqHz;   // checked against the band once the rate is known
    std::optional<int> filterCode;  // main filter code, e.g. 140 or 101
    std::optional<int> burstLpm;    // burst filter speed
    bool thresholdAuto = false;     // --threshold auto
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

    // live only
    std::optional<CliDevice> device;
    std::optional<int> channel;  // 0 mono, 1 left, 2 right
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

// The --help text.
std::string CliUsage();

}  // namespace quelp
