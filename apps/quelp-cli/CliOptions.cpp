#include "CliOptions.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "dsp/MainFilterTable.h"
#include "dsp/SoundFilter.h"

namespace quelp {

namespace {

constexpr const char* kHint = "Try 'quelp-cli --help' for more information.";
constexpr const char* kFilterCodes = "10 20 30 70 140 280 600 1000 2000 3500 101 251 1001";
// The speed edits' spin controls hold 5..3000 LPM.
constexpr int kMinSpeed = 5;
constexpr int kMaxSpeed = 3000;

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
            return Fail("decode needs at least one WAV file");
        }
        for (const auto& used : liveOnly_) {
            if (opt().command != CliCommand::Live) return Fail(used + " is only for live");
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
        } else if (name == "--device") {
            LiveOnly(name);
            Device(name, o.device);
        } else if (name == "--channel") {
            LiveOnly(name);
            if (!Value(name, v)) return;
            if (v == "mono") {
                o.channel = 0;
            } else if (v == "left") {
                o.channel = 1;
            } else if (v == "right") {
                o.channel = 2;
            } else {
                Fail("--channel wants mono, left or right, not '" + v + "'");
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

    void LiveOnly(const std::string& name) { liveOnly_.push_back(name); }

    const std::vector<std::string>& args_;
    size_t i_ = 0;
    bool optionsEnded_ = false;
    bool haveCommand_ = false;
    bool help_ = false;
    bool version_ = false;
    std::optional<std::string> inlineValue_;
    std::vector<std::string> liveOnly_;
    CliParseResult result_;
};

}  // namespace

CliParseResult ParseCliArgs(const std::vector<std::string>& args) {
    return Parser(args).Run();
}

std::string CliUsage() {
    return R"(Usage: quelp-cli decode FILE.wav... [options]
       quelp-cli live [options]

Decodes Morse (CW) from WAV files (PCM 8, 16, 24 or 32 bit, 11025, 22050 or
44100 Hz) or from a sound card, and writes the text to standard output.

Receiver:
  --decoder classic|adaptive  classic (default) or the adaptive decoder for
                         fading, weak and crowded signals: it finds the
                         strongest steady signal (or keeps within 50 Hz of
                         --freq), settles on the first seconds and then
                         prints them, and stays silent on noise
  --freq HZ              receive frequency, within the tunable band (172 to
                         3004 Hz at 11025 Hz); without it (and without
                         --settings) the receiver tunes to the strongest signal
  --filter CODE          main filter: 10 20 30 70 140 280 600 1000 2000 3500
                         (FIR) or 101 251 1001 (IIR 100, 250, 1000 Hz)
  --burst LPM            burst filter speed in letters per minute
  --threshold auto|LEVEL detector threshold (1.0 is about full scale)
  --min-threshold LEVEL  lower limit of the automatic threshold
  --afc on|off           automatic frequency control
  --afc-local HZ         AFC range around the current frequency (5 to 3000)
  --afc-global HZ        AFC range around the centre frequency (5 to 3000)
  --squelch LEVEL        squelch on at this level (without it, the settings
                         file's squelch, off by default)
  --speed-lock LOW-HIGH  lock the decoder to a speed window in LPM (5 to 3000)
  --multi                run the multi-channel decoder as well

Text:
  --charset en|ru|sv|FILE  character table, or a user table file
  --encoding cp1251|cp1252|raw  conversion of the text to standard output
                         (default: cp1252 for sv, cp1251 otherwise)
  --capture FILE         also append the text to a capture file (with time
                         marks when a settings file has PutTimeMarks=1)
  --stats                show speed and status lines on standard error

Files and settings:
  --realtime             decode: pace files as the window does (about 1.24
                         times real time)
  --settings FILE        start from the settings in FILE (the options win)
  --save-settings FILE   write the settings in use to FILE
  --history-save DIR     live: save the last 60 s of audio under DIR
                         when stopping

Live only:
  --device N|NAME        input device (see --list-devices)
  --channel mono|left|right  input channel
  --list-devices         list the sound devices and exit
  --sound-out CODE       play the signal: off, raw or a filter code
  --out-device N|NAME    output device
  --record FILE.wav      record the input to a WAV file (opened once the
                         input runs)
  --overwrite            let --record replace an existing file

  --help                 this text
  --version              the program's version

Live runs until Ctrl-C, SIGTERM or SIGHUP, then closes its files completely.

Exit status: 0 done; 1 live: no input device, or it failed; 2 usage error;
3 a file could not be decoded, opened or written whole (the other files are
still decoded); 4 the text could not be written to standard output.
)";
}

}  // namespace quelp
