#include "CliOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "adapters/sndfile/SndfileSource.h"
#include "adaptive/AdaptiveDecoder.h"
#include "dsp/MainFilterTable.h"
#include "dsp/SoundFilter.h"

namespace quelp {

namespace {

constexpr const char* kHint = "Try 'quelp-cli --help' for more information.";
constexpr const char* kFilterCodes = "10 20 30 70 140 280 600 1000 2000 3500 101 251 1001";
// The speed edits' spin controls hold 5..3000 LPM.
constexpr int kMinSpeed = 5;
constexpr int kMaxSpeed = 3000;
// The rates the rate converter takes.
constexpr int kMinRawRate = SndfileSource::kMinRate;
constexpr int kMaxRawRate = SndfileSource::kMaxRate;
// More threads than this would only wait for each other.
constexpr int kMaxJobs = 256;

bool ParseInt(std::string_view s, int& out) {
    if (s.empty()) return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

bool ParseNumber(std::string_view s, double& out) {
    if (s.empty()) return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size() && std::isfinite(out);
}

bool IsDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

enum class Scope { Both, Live };

// One pass over the arguments, failing at the first bad one.
class Parser {
  public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) {}

    CliParseResult Run() {
        for (; i_ < args_.size() && result_.status == 0; ++i_) {
            const std::string& a = args_[i_];
            if (!optionsEnded_ && a == "--") {
                optionsEnded_ = true;
            } else if (!optionsEnded_ && a.size() > 1 && a[0] == '-') {
                Option(a);
            } else {
                Positional(a);
            }
        }
        if (result_.status != 0 || help_ || version_) return Finish();
        if (!haveCommand_) return Fail("no command given (decode or live)");
        if (opt().command == CliCommand::Decode && opt().files.empty()) {
            return Fail("decode needs at least one recording (- reads standard input)");
        }
        if (std::count(opt().files.begin(), opt().files.end(), "-") > 1) {
            return Fail("standard input (-) can be read only once");
        }
        for (const auto& used : liveOnly_) {
            if (opt().command != CliCommand::Live) return Fail(used + " is only for live");
        }
        for (const auto& used : decodeOnly_) {
            if (opt().command != CliCommand::Decode) return Fail(used + " is only for decode");
        }
        // The sound card mixes a mono input itself; a file's channels are
        // mixed by the program.
        if (opt().command == CliCommand::Decode && opt().channel == kChannelMono) {
            return Fail("--channel wants left, right or mix for decode, not 'mono'");
        }
        if (opt().command == CliCommand::Live && opt().channel == kChannelMix) {
            return Fail("--channel wants mono, left or right for live, not 'mix'");
        }
        // Live input sets its own pace; a decode paced like the window is
        // a file's matter.
        if (opt().command == CliCommand::Live && opt().realtime) {
            return Fail("--realtime is only for decode");
        }
        return Finish();
    }

  private:
    CliOptions& opt() { return result_.options; }

    CliParseResult Fail(const std::string& error) {
        if (result_.status == 0) {
            result_.status = 2;
            result_.error = error;
            result_.hint = kHint;
        }
        return result_;
    }

    CliParseResult Finish() {
        if (result_.status == 0 && help_) {
            opt().command = CliCommand::Help;
        } else if (result_.status == 0 && version_) {
            opt().command = CliCommand::Version;
        }
        return result_;
    }

    void Positional(const std::string& a) {
        if (!haveCommand_) {
            if (a == "decode") {
                opt().command = CliCommand::Decode;
            } else if (a == "live") {
                opt().command = CliCommand::Live;
            } else {
                Fail("unknown command '" + a + "' (decode or live)");
                return;
            }
            haveCommand_ = true;
            return;
        }
        if (opt().command == CliCommand::Decode) {
            opt().files.push_back(a);
        } else {
            Fail("live takes no file arguments: '" + a + "'");
        }
    }

    // The option's value: after '=' or the next argument.
    bool Value(const std::string& name, std::string& value) {
        if (inlineValue_) {
            value = *inlineValue_;
            return true;
        }
        if (i_ + 1 >= args_.size()) {
            Fail(name + " needs a value");
            return false;
        }
        value = args_[++i_];
        return true;
    }

    bool Number(const std::string& name, double low, double high, std::optional<double>& out) {
        std::string v;
        if (!Value(name, v)) return false;
        double x = 0;
        if (!ParseNumber(v, x) || x < low || x > high) {
            Fail(name + " wants a number from " + Trim(low) + " to " + Trim(high) + ", not '" + v +
                 "'");
            return false;
        }
        out = x;
        return true;
    }

    bool Integer(const std::string& name, int low, int high, std::optional<int>& out) {
        std::string v;
        if (!Value(name, v)) return false;
        int x = 0;
        if (!ParseInt(v, x) || x < low || x > high) {
            Fail(name + " wants a whole number from " + std::to_string(low) + " to " +
                 std::to_string(high) + ", not '" + v + "'");
            return false;
        }
        out = x;
        return true;
    }

    bool Text(const std::string& name, std::optional<std::string>& out) {
        std::string v;
        if (!Value(name, v)) return false;
        if (v.empty()) {
            Fail(name + " needs a non-empty value");
            return false;
        }
        out = v;
        return true;
    }

    bool Device(const std::string& name, std::optional<CliDevice>& out) {
        std::optional<std::string> v;
        if (!Text(name, v)) return false;
        CliDevice d;
        int n = 0;
        if (IsDigits(*v) && ParseInt(*v, n)) {
            d.index = n;
        } else {
            d.name = *v;
        }
        out = d;
        return true;
    }

    static std::string Trim(double x) {
        std::string s = std::to_string(x);
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
        return s;
    }

    void Flag(const std::string& name, bool& out) {
        if (inlineValue_) {
            Fail(name + " takes no value");
            return;
        }
        out = true;
    }

    void Option(const std::string& arg) {
        std::string name = arg;
        inlineValue_.reset();
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue_ = arg.substr(eq + 1);
        } else if (arg.rfind("-j", 0) == 0 && arg.size() > 2) {
            // -j4, as make takes it.
            name = "-j";
            inlineValue_ = arg.substr(2);
        }
        CliOptions& o = opt();
        std::string v;
        if (name == "--help" || name == "-h") {
            Flag(name, help_);
        } else if (name == "--version" || name == "-V") {
            Flag(name, version_);
        } else if (name == "--decoder") {
            if (!Value(name, v)) return;
            if (v == "classic" || v == "adaptive") {
                o.adaptive = v == "adaptive";
            } else {
                Fail("--decoder wants classic or adaptive, not '" + v + "'");
            }
        } else if (name == "--squelch-db") {
            Number(name, kMinSquelchDb, kMaxSquelchDb, o.squelchDb);
        } else if (name == "--freq") {
            // The tunable band depends on the rate in force, which a settings
            // file may set: the band is checked once the settings are read.
            Number(name, 1, 100000, o.freqHz);
        } else if (name == "--filter") {
            if (!Value(name, v)) return;
            int code = 0;
            if (!ParseInt(v, code) || FindMainFilter(code) == nullptr) {
                Fail("--filter wants one of " + std::string(kFilterCodes) + ", not '" + v + "'");
                return;
            }
            o.filterCode = code;
        } else if (name == "--burst") {
            // Above 35000 LPM the burst filter would have no length at all.
            Integer(name, 1, 35000, o.burstLpm);
        } else if (name == "--threshold") {
            if (!Value(name, v)) return;
            double x = 0;
            if (v == "auto") {
                o.thresholdAuto = true;
                o.threshold.reset();
            } else if (ParseNumber(v, x) && x > 0 && x <= 100) {
                o.thresholdAuto = false;
                o.threshold = x;
            } else {
                Fail("--threshold wants auto or a level above 0 (1.0 is about full scale), not '" +
                     v + "'");
            }
        } else if (name == "--min-threshold") {
            Number(name, 0, 100, o.minThreshold);
        } else if (name == "--squelch") {
            Number(name, 0, 100, o.squelch);
        } else if (name == "--afc") {
            if (!Value(name, v)) return;
            if (v == "on" || v == "off") {
                o.afc = v == "on";
            } else {
                Fail("--afc wants on or off, not '" + v + "'");
            }
        } else if (name == "--afc-local") {
            // The deviations' spin controls hold 5..3000 Hz.
            Number(name, 5, 3000, o.afcLocalHz);
        } else if (name == "--afc-global") {
            Number(name, 5, 3000, o.afcGlobalHz);
        } else if (name == "--speed-lock") {
            SpeedLock(name);
        } else if (name == "--charset") {
            if (!Value(name, v)) return;
            if (v == "en") {
                o.charset = 0;
            } else if (v == "ru") {
                o.charset = 1;
            } else if (v == "sv") {
                o.charset = 3;
            } else if (!v.empty()) {
                o.charset = 2;
                o.charsetFile = v;
                return;
            } else {
                Fail("--charset wants en, ru, sv or a character table file");
                return;
            }
            o.charsetFile.clear();
        } else if (name == "--capture") {
            Text(name, o.captureFile);
        } else if (name == "--encoding") {
            if (!Value(name, v)) return;
            if (v == "cp1251") {
                o.encoding = CodePage::Cp1251;
            } else if (v == "cp1252") {
                o.encoding = CodePage::Cp1252;
            } else if (v == "raw") {
                o.encoding = CodePage::Raw;
            } else {
                Fail("--encoding wants cp1251, cp1252 or raw, not '" + v + "'");
            }
        } else if (name == "--stats") {
            Flag(name, o.stats);
        } else if (name == "--realtime") {
            Flag(name, o.realtime);
        } else if (name == "--multi") {
            Flag(name, o.multi);
        } else if (name == "--settings") {
            Text(name, o.settingsFile);
        } else if (name == "--save-settings") {
            Text(name, o.saveSettingsFile);
        } else if (name == "--history-save") {
            Text(name, o.historySaveDir);
        } else if (name == "--time-marks") {
            Flag(name, o.timeMarks);
        } else if (name == "--raw") {
            DecodeOnly(name);
            Integer(name, kMinRawRate, kMaxRawRate, o.rawRate);
        } else if (name == "--json") {
            DecodeOnly(name);
            Flag(name, o.json);
        } else if (name == "-j" || name == "--jobs") {
            DecodeOnly(name);
            Integer(name, 0, kMaxJobs, o.jobs);
        } else if (name == "--start-time") {
            DecodeOnly(name);
            StartTime(name);
        } else if (name == "--waterfall") {
            DecodeOnly(name);
            Text(name, o.waterfallFile);
        } else if (name == "--device") {
            LiveOnly(name);
            Device(name, o.device);
        } else if (name == "--channel") {
            if (!Value(name, v)) return;
            if (v == "mono") {
                o.channel = kChannelMono;
            } else if (v == "left") {
                o.channel = kChannelLeft;
            } else if (v == "right") {
                o.channel = kChannelRight;
            } else if (v == "mix") {
                o.channel = kChannelMix;
            } else {
                Fail("--channel wants left, right or mix (live: mono, left or right), not '" + v +
                     "'");
            }
        } else if (name == "--list-devices") {
            LiveOnly(name);
            Flag(name, o.listDevices);
        } else if (name == "--sound-out") {
            LiveOnly(name);
            if (!Value(name, v)) return;
            int code = 0;
            if (v == "off") {
                o.soundOut = sound_filter::Off;
            } else if (v == "raw") {
                o.soundOut = sound_filter::Bypass;
            } else if (ParseInt(v, code) &&
                       (code == sound_filter::Off || code == sound_filter::Bypass ||
                        FindMainFilter(code) != nullptr)) {
                o.soundOut = code;
            } else {
                Fail("--sound-out wants off, raw or one of " + std::string(kFilterCodes) +
                     ", not '" + v + "'");
            }
        } else if (name == "--out-device") {
            LiveOnly(name);
            Device(name, o.outDevice);
        } else if (name == "--record") {
            LiveOnly(name);
            Text(name, o.recordFile);
        } else if (name == "--overwrite") {
            LiveOnly(name);
            Flag(name, o.overwrite);
        } else {
            Fail("unknown option '" + name + "'");
        }
    }

    void SpeedLock(const std::string& name) {
        std::string v;
        if (!Value(name, v)) return;
        const auto dash = v.find('-');
        int low = 0;
        int high = 0;
        if (dash == std::string::npos || !ParseInt(std::string_view(v).substr(0, dash), low) ||
            !ParseInt(std::string_view(v).substr(dash + 1), high) || low < kMinSpeed ||
            high > kMaxSpeed || low > high) {
            Fail(name + " wants LOW-HIGH in LPM from 5 to 3000 with LOW not above HIGH, e.g. " +
                 "60-150, not '" + v + "'");
            return;
        }
        opt().speedLow = low;
        opt().speedHigh = high;
    }

    // HH:MM:SS, each part of two digits.
    void StartTime(const std::string& name) {
        std::string v;
        if (!Value(name, v)) return;
        int h = 0;
        int m = 0;
        int sec = 0;
        const std::string_view t(v);
        if (t.size() != 8 || t[2] != ':' || t[5] != ':' || !IsDigits(t.substr(0, 2)) ||
            !IsDigits(t.substr(3, 2)) || !IsDigits(t.substr(6, 2)) ||
            !ParseInt(t.substr(0, 2), h) || !ParseInt(t.substr(3, 2), m) ||
            !ParseInt(t.substr(6, 2), sec) || h > 23 || m > 59 || sec > 59) {
            Fail(name + " wants a time of day as HH:MM:SS, e.g. 18:30:00, not '" + v + "'");
            return;
        }
        opt().startSecond = h * 3600 + m * 60 + sec;
    }

    void LiveOnly(const std::string& name) { liveOnly_.push_back(name); }
    void DecodeOnly(const std::string& name) { decodeOnly_.push_back(name); }

    const std::vector<std::string>& args_;
    size_t i_ = 0;
    bool optionsEnded_ = false;
    bool haveCommand_ = false;
    bool help_ = false;
    bool version_ = false;
    std::optional<std::string> inlineValue_;
    std::vector<std::string> liveOnly_;
    std::vector<std::string> decodeOnly_;
    CliParseResult result_;
};

}  // namespace

CliParseResult ParseCliArgs(const std::vector<std::string>& args) {
    return Parser(args).Run();
}

namespace {

// --- the text of --help and of the manual page ------------------------------

constexpr const char* kSynopsis[] = {
    "decode FILE... [options]",
    "live [options]",
};

constexpr const char* kSummary =
    "Decodes Morse (CW) from recordings or from a sound card and writes the text to standard "
    "output.";

// What the sections below the options say, a paragraph each.
// Each paragraph in parentheses: its pieces are one string, not several.
constexpr const char* kDescription[] = {
    ("decode reads recordings. WAV files of 8, 16, 24 or 32-bit PCM at 11025, 22050 or 44100 Hz "
     "are read sample for sample as the window reads them; any other rate from 4000 to 768000 Hz "
     "and the common formats (WAV with float, extensible or RF64 headers, FLAC, Ogg Vorbis and "
     "Opus, MP3) are converted to 11025 Hz first. A FILE of - reads a WAV, FLAC or Ogg stream "
     "from standard input (--raw: headerless samples), and the text comes out as it is decoded."),
    ("With several recordings the text of each follows a line ==> FILE <==. Without -j the "
     "receiver carries its state (speed, threshold, tuning) from one recording into the next, as "
     "the window does; with -j every recording starts from the same state, so the output does "
     "not depend on the number of jobs."),
    ("When standard error is a terminal and standard output is not, a decode that runs longer "
     "than a second shows a progress line (percentage and times real time), cleared when the "
     "recording ends; never with --json."),
    ("live decodes the sound card until Ctrl-C, SIGTERM or SIGHUP, then closes its files "
     "completely."),
};

constexpr const char* kJson =
    "--json prints one JSON object per line. For each word as it ends: {\"type\": \"word\", "
    "\"file\", \"t\", \"text\", \"freq_hz\", \"wpm\"}, where t is the time in seconds into the "
    "recording at which the word's last element ended, freq_hz and wpm the frequency and speed "
    "the decoder heard it at (wpm null while there is none). With --multi, at the end of each "
    "recording, "
    "one object per channel row that holds text: {\"type\": \"row\", \"file\", \"t\", \"row\", "
    "\"lo_hz\", \"hi_hz\", \"text\"}. At the end of each recording a summary: {\"type\": "
    "\"summary\", \"file\", \"duration_s\", \"decode_s\", \"times_real_time\", \"freq_hz\", "
    "\"wpm\"}. Standard input is named \"-\".";

constexpr const char* kExitStatus =
    "0 done; 1 live: no input device, or it failed; 2 usage error (nothing was decoded or "
    "written); 3 a recording could not be decoded, opened or written whole (the others are "
    "still decoded); 4 the text could not be written to standard output.";

}  // namespace

const std::vector<CliOptionDoc>& CliOptionTable() {
    static const std::vector<CliOptionDoc> table = {
        {"Receiver", "--decoder classic|adaptive",
         "classic (default) or the adaptive decoder for fading, weak and crowded signals: it "
         "finds the strongest steady signal (or keeps within 50 Hz of --freq), settles on the "
         "first seconds and then prints them, and stays silent on noise"},
        {"Receiver", "--squelch-db DB",
         "the adaptive decoder prints only while the tone stands this many dB (0 to 40) over the "
         "band's noise floor, both in a 5 Hz band (default 5.5; lower for weaker signals, higher "
         "if band noise prints)"},
        {"Receiver", "--freq HZ",
         "receive frequency, within the tunable band (172 to 3004 Hz at 11025 Hz); without it "
         "(and without --settings) the receiver tunes to the strongest signal"},
        {"Receiver", "--filter CODE",
         "main filter: 10 20 30 70 140 280 600 1000 2000 3500 (FIR) or 101 251 1001 (IIR 100, "
         "250, 1000 Hz)"},
        {"Receiver", "--burst LPM", "burst filter speed in letters per minute"},
        {"Receiver", "--threshold auto|LEVEL", "detector threshold (1.0 is about full scale)"},
        {"Receiver", "--min-threshold LEVEL", "lower limit of the automatic threshold"},
        {"Receiver", "--afc on|off", "automatic frequency control"},
        {"Receiver", "--afc-local HZ", "AFC range around the current frequency (5 to 3000)"},
        {"Receiver", "--afc-global HZ", "AFC range around the centre frequency (5 to 3000)"},
        {"Receiver", "--squelch LEVEL",
         "squelch on at this level (without it, the settings file's squelch, off by default)"},
        {"Receiver", "--speed-lock LOW-HIGH",
         "lock the decoder to a speed window in LPM (5 to 3000)"},
        {"Receiver", "--multi",
         "run the multi-channel decoder as well and print its rows at the end (with -j or "
         "--json, at the end of each recording)"},
        {"Text", "--charset en|ru|sv|FILE", "character table, or a user table file"},
        {"Text", "--encoding cp1251|cp1252|raw",
         "conversion of the text to standard output (default: cp1252 for sv, cp1251 otherwise)"},
        {"Text", "--capture FILE", "also append the text to a capture file"},
        {"Text", "--time-marks",
         "time marks in the capture file, as PutTimeMarks=1 in a settings file: after a word "
         "space, at most once a minute; while a recording is decoded they tell the time in the "
         "recording"},
        {"Text", "--stats", "show speed and status lines on standard error"},
        {"Recordings", "--channel left|right|mix",
         "the channel of a stereo recording, or the mean of all channels (default: left, the "
         "first)"},
        {"Recordings", "--raw RATE",
         "the input is headerless signed 16-bit little-endian mono at RATE Hz (4000 to 768000)"},
        {"Recordings", "--json", "one JSON object per line instead of the text (see below)"},
        {"Recordings", "-j N, --jobs N",
         "decode N recordings at a time, each on a thread of its own, from the same state; 0: "
         "one per processor core; the output keeps the order of the command line"},
        {"Recordings", "--waterfall FILE.png",
         "write a picture of the spectrum over time: one row per block of 0.19 s downwards, the "
         "tunable band across, the receive frequency marked; with several recordings one "
         "picture each, FILE-NAME.png after each recording's name"},
        {"Recordings", "--start-time HH:MM:SS",
         "the time of day at which the recordings start, for the time marks (default: 00:00:00 "
         "UTC of the day each file was written)"},
        {"Recordings", "--realtime",
         "pace the decode as the window does (about 1.24 times real time)"},
        {"Settings", "--settings FILE", "start from the settings in FILE (the options win)"},
        {"Settings", "--save-settings FILE", "write the settings in use to FILE"},
        {"Live only", "--device N|NAME", "input device (see --list-devices)"},
        {"Live only", "--channel mono|left|right", "input channel"},
        {"Live only", "--list-devices", "list the sound devices and exit"},
        {"Live only", "--sound-out CODE", "play the signal: off, raw or a filter code"},
        {"Live only", "--out-device N|NAME", "output device"},
        {"Live only", "--record FILE.wav",
         "record the input to a WAV file (opened once the input runs)"},
        {"Live only", "--overwrite", "let --record replace an existing file"},
        {"Live only", "--history-save DIR", "save the last 60 s of audio under DIR when stopping"},
        {"Program", "-h, --help", "this text"},
        {"Program", "-V, --version", "the program's version"},
    };
    return table;
}

namespace {

// `text` broken into lines of at most `width` columns, every line but the
// first indented by `indent` blanks (the first continues wherever the caller
// left off, at column `column`).
std::string Wrap(std::string_view text, std::size_t column, std::size_t indent,
                 std::size_t width = 79) {
    std::string out;
    std::size_t at = column;
    bool lineEmpty = true;
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (word.empty()) continue;
        if (!lineEmpty && at + 1 + word.size() > width) {
            out += '\n';
            out.append(indent, ' ');
            at = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++at;
        }
        out += word;
        at += word.size();
        lineEmpty = false;
    }
    return out;
}

// The manual page's escapes: a backslash, a hyphen (a minus sign in
// options), and a line that would start with a control character.
std::string Roff(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

// "--freq HZ" as bold option names and italic values.
std::string RoffSynopsis(std::string_view synopsis) {
    std::string out;
    while (!synopsis.empty()) {
        const std::size_t space = synopsis.find(' ');
        std::string_view word = synopsis.substr(0, space);
        synopsis =
            space == std::string_view::npos ? std::string_view() : synopsis.substr(space + 1);
        const bool comma = !word.empty() && word.back() == ',';
        if (comma) word.remove_suffix(1);
        if (word.empty()) continue;
        if (!out.empty()) out += ' ';
        out += word[0] == '-' ? "\\fB" : "\\fI";
        out += Roff(word);
        out += "\\fR";
        if (comma) out += ',';
    }
    return out;
}

// Appends the pieces in turn. The texts are built by appending only: GCC 12
// at -O2 and above sees a bogus overlap (-Wrestrict) in an inlined
// `"literal" + std::string` and fails the optimised builds.
template <typename... Pieces>
void Append(std::string& out, const Pieces&... pieces) {
    (out.append(pieces), ...);
}

}  // namespace

std::string CliUsage() {
    constexpr std::size_t kHelpColumn = 25;
    std::string out;
    for (std::size_t i = 0; i < std::size(kSynopsis); ++i) {
        Append(out, i == 0 ? "Usage: " : "       ", "quelp-cli ", kSynopsis[i], "\n");
    }
    Append(out, "\n", Wrap(kSummary, 0, 0), "\n");
    std::string group;
    for (const CliOptionDoc& d : CliOptionTable()) {
        if (d.group != group) {
            group = d.group;
            Append(out, "\n", group, ":\n");
        }
        std::string line = "  ";
        line += d.synopsis;
        // A long synopsis takes its help to the next line.
        if (line.size() + 2 > kHelpColumn) {
            line += '\n';
            line.append(kHelpColumn, ' ');
        } else {
            line.append(kHelpColumn - line.size(), ' ');
        }
        Append(out, line, Wrap(d.help, kHelpColumn, kHelpColumn), "\n");
    }
    for (const char* paragraph : kDescription) Append(out, "\n", Wrap(paragraph, 0, 0), "\n");
    Append(out, "\n", Wrap(kJson, 0, 0), "\n");
    std::string exit = "Exit status: ";
    exit += kExitStatus;
    Append(out, "\n", Wrap(exit, 0, 0), "\n");
    return out;
}

std::string CliManPage(const std::string& version) {
    std::string out = ".TH QUELP\\-CLI 1 \"\" \"quelp\\-cli ";
    Append(out, Roff(version),
           "\" \"User Commands\"\n"
           ".SH NAME\n"
           "quelp\\-cli \\- decode Morse (CW) from recordings or a sound card\n"
           ".SH SYNOPSIS\n");
    // The command in bold, what follows it as the options' synopses are.
    for (const std::string_view synopsis : kSynopsis) {
        const std::size_t space = synopsis.find(' ');
        Append(out, ".B quelp\\-cli\n\\fB", Roff(synopsis.substr(0, space)), "\\fR ",
               RoffSynopsis(synopsis.substr(space + 1)), "\n.br\n");
    }
    Append(out, ".SH DESCRIPTION\n", Roff(kSummary), "\n");
    for (const char* paragraph : kDescription) Append(out, ".PP\n", Roff(paragraph), "\n");
    out += ".SH OPTIONS\n";
    std::string group;
    for (const CliOptionDoc& d : CliOptionTable()) {
        if (d.group != group) {
            group = d.group;
            Append(out, ".SS ", Roff(group), "\n");
        }
        Append(out, ".TP\n", RoffSynopsis(d.synopsis), "\n", Roff(d.help), "\n");
    }
    Append(out, ".SH JSON OUTPUT\n", Roff(kJson), "\n");
    Append(out, ".SH EXIT STATUS\n", Roff(kExitStatus), "\n");
    out +=
        ".SH EXAMPLES\n"
        ".nf\n"
        "quelp\\-cli decode qso.wav\n"
        "arecord \\-q \\-t wav \\-r 48000 \\-f S16_LE | quelp\\-cli decode \\- \\-\\-json\n"
        "quelp\\-cli decode \\-j 0 archive/*.flac \\-\\-stats\n"
        "quelp\\-cli decode qso.wav \\-\\-waterfall qso.png\n"
        ".fi\n";
    return out;
}

}  // namespace quelp
