// The settings file of the application object: the table of its keys, and
// the load and save that walk it.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "app/QuelpApp.h"
#include "app/SettingsTable.h"
#include "dsp/Bins.h"
#include "settings/ProfileNumbers.h"

namespace quelp {

namespace {

constexpr std::string_view kMain = "Quelp";
// Keys of this program's own, which no other program's file layout has.
constexpr std::string_view kDecoding = "Decoding";
constexpr std::string_view kWindow = "MainScreen";
constexpr std::string_view kRxFont = "RxFont";
constexpr std::string_view kScanScreen = "ScanScreen";
constexpr std::string_view kScanFont = "ScanFont";
constexpr std::string_view kSetupScreen = "SetupScreen";

constexpr double kLevelUnit = 0.0001;  // levels are stored in 1/10000
constexpr int kAfcDeviationStep = 5;   // the local deviation is stored in 5 Hz
constexpr int kDisplayCentreBin = 295;
// The sampling rates a settings file may calibrate, in hertz.
constexpr double kMinRate = 1000.0;
constexpr double kMaxRate = 1000000.0;

// double -> int truncating toward zero, limited to int's range (NaN gives 0),
// so that no level can overflow the conversion.
int TruncateToInt(double x) {
    if (std::isnan(x)) return 0;
    if (x <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    if (x >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(x);
}

std::string Text(int n) {
    return std::to_string(n);
}

std::string Quoted(std::string_view s) {
    std::string quoted;
    quoted.reserve(s.size() + 2);
    quoted.push_back('"');
    quoted.append(s);
    quoted.push_back('"');
    return quoted;
}

std::string LevelText(double level) {
    return Text(TruncateToInt(level * 10000.0));
}

// The bin of a stored frequency in hertz, taken only strictly inside the band.
bool BandBin(int hz, double rate, int& bin) {
    const int b = HzToBin(hz, rate);
    if (!(b > kFirstBin && b < kLastBin)) return false;
    bin = b;
    return true;
}

using Apply = bool (*)(QuelpApp&, std::string_view);
using Collect = std::string (*)(const QuelpApp&);

}  // namespace

// The table's rows reach into the application's state, so they are built
// where that state is visible.
struct SettingsBinding {
    // A key held as a plain int: any number is taken as it is. `Field` maps
    // the application to the int.
    template <auto Field>
    static SettingRow Int(SettingGroup group, std::string_view section, std::string_view key,
                          std::string_view defaultText, std::string_view sample, int rank) {
        return {group,
                section,
                key,
                defaultText,
                sample,
                rank,
                [](QuelpApp& a, std::string_view t) { return ParseProfileInt(t, Field(a)); },
                [](const QuelpApp& a) { return Text(Field(a)); }};
    }

    // The eight keys of a font group.
    template <auto Font>
    static void FontRows(std::vector<SettingRow>& rows, SettingGroup group,
                         std::string_view section, int rank) {
        rows.push_back({group, section, "Name", "MS Sans Serif", "Arial", rank,
                        [](QuelpApp& a, std::string_view t) {
                            Font(a).Name = std::string(t);
                            return true;
                        },
                        [](const QuelpApp& a) { return Quoted(Font(a).Name); }});
        rows.push_back(Int<[](auto& a) -> auto& { return Font(a).Charset; }>(
            group, section, "Charset", "204", "0", rank + 1));
        rows.push_back(Int<[](auto& a) -> auto& { return Font(a).Color; }>(
            group, section, "Color", "-2147483640", "255", rank + 2));
        rows.push_back(Int<[](auto& a) -> auto& { return Font(a).Height; }>(
            group, section, "Height", "-13", "-15", rank + 3));
        rows.push_back(Int<[](auto& a) -> auto& { return Font(a).Pitch; }>(group, section, "Pitch",
                                                                           "0", "2", rank + 4));
        rows.push_back(Int<[](auto& a) -> auto& { return Font(a).Size; }>(group, section, "Size",
                                                                          "10", "12", rank + 5));
        rows.push_back({group, section, "Style", "1", "6", rank + 6,
                        [](QuelpApp& a, std::string_view t) {
                            int n = 0;
                            if (!ParseProfileInt(t, n)) return false;
                            Font(a).Style = n & 15;  // bold, italic, underline, strike-out
                            return true;
                        },
                        [](const QuelpApp& a) { return Text(Font(a).Style & 15); }});
        rows.push_back(Int<[](auto& a) -> auto& { return Font(a).BkgColor; }>(
            group, section, "BkgColor", "-2147483643", "65535", rank + 7));
    }

    static std::vector<SettingRow> Rows();
};

std::vector<SettingRow> SettingsBinding::Rows() {
    using G = SettingGroup;
    constexpr G M = G::Main;
    std::vector<SettingRow> r;

    // --- main section, in load order --------------------------------------------
    r.push_back(
        {M, kMain, "AutoThreshold", "1", "0", 1,
         [](QuelpApp& a, std::string_view t) {
             int n = 0;
             if (!ParseProfileInt(t, n)) return false;
             a.receiver_.SetAutoThreshold(n != 0);
             return true;
         },
         [](const QuelpApp& a) { return Text(a.receiver_.Status().AutoThreshold ? 1 : 0); }});
    r.push_back({M, kMain, "OnTop", "0", "1", 2,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.window_.AlwaysOnTop = n != 0;
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.window_.AlwaysOnTop ? 1 : 0); }});
    r.push_back({M, kMain, "AutoGoToMax", "0", "1", 3,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.receiver_.SetAutoGoToMax(n != 0);
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.receiver_.Status().AutoGoToMax ? 1 : 0); }});
    r.push_back({M, kMain, "AfcEnabled", "1", "0", 4,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.receiver_.SetAfc(n != 0);
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.receiver_.Status().Afc ? 1 : 0); }});
    // Every conversion between hertz, bins and time divides by the rate: only
    // a rate a sound card can have is taken (the calibration of an 11025 Hz
    // card is never far from it; 1e-300 or 1e300 would make every figure
    // meaningless).
    r.push_back(
        {M, kMain, "SamplingFreq", "11025.0", "11024.5", 5,
         [](QuelpApp& a, std::string_view t) {
             double rate = 0.0;
             if (!ParseProfileReal(t, rate) || !(rate >= kMinRate && rate <= kMaxRate)) {
                 return false;
             }
             a.receiver_.SetSamplingFreq(rate);
             return true;
         },
         [](const QuelpApp& a) { return FormatProfileReal(a.receiver_.Params().SamplingFreq); }});
    // The spin control holds positions 5..3000 only.
    r.push_back({M, kMain, "AfcDeviation", "10", "12", 6,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     const std::int64_t hz = static_cast<std::int64_t>(n) * kAfcDeviationStep;
                     a.receiver_.SetAfcDeviationHz(static_cast<int>(std::clamp<std::int64_t>(
                         hz, Tuning::kMinDeviationHz, Tuning::kMaxDeviationHz)));
                     return true;
                 },
                 [](const QuelpApp& a) {
                     return Text(a.receiver_.Status().AfcDeviationHz / kAfcDeviationStep);
                 }});
    r.push_back({M, kMain, "AFC_Limit", "300", "250", 7,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.receiver_.SetAfcLimitHz(n);  // kept within 5..3000
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.receiver_.Status().AfcLimitHz); }});
    // The receive bin indexes the spectrum: a bin outside the band is refused.
    // While the AFC runs the receive bin wanders around its anchor; the
    // anchor is where the operator put it.
    r.push_back({M, kMain, "RxFreqBin", "186", "200", 8,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n) || n < kFirstBin || n > kLastBin) return false;
                     a.receiver_.SetReceiveBin(n);
                     return true;
                 },
                 [](const QuelpApp& a) {
                     const ReceiverStatus s = a.receiver_.Status();
                     return Text(s.Afc ? s.CentreBin : s.SignalBin);
                 }});
    // 0 is the designed centre; a frequency outside the band is refused.
    r.push_back({M, kMain, "FFTCenterFreq", "0", "1001", 20,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     int bin = kDisplayCentreBin;
                     if (!ParseProfileInt(t, n)) return false;
                     if (n != 0 && !BandBin(n, a.receiver_.Params().SamplingFreq, bin)) {
                         return false;
                     }
                     a.receiver_.SetDisplayCentreBin(bin);
                     return true;
                 },
                 [](const QuelpApp& a) {
                     const ReceiverStatus s = a.receiver_.Status();
                     return Text(BinToHz(s.DisplayCentreBin, s.SamplingFreq));
                 }});
    r.push_back({M, kMain, "Zoom", "1", "4", 21,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.SetZoom(n);  // an unknown factor zooms 1
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.window_.ZoomFactor); }});
    r.push_back(
        {M, kMain, "SquelchEnabled", "0", "1", 47,
         [](QuelpApp& a, std::string_view t) {
             int n = 0;
             if (!ParseProfileInt(t, n)) return false;
             a.receiver_.SetSquelchEnabled(n);
             return true;
         },
         [](const QuelpApp& a) { return Text(a.receiver_.Params().Levels.SquelchEnabled); }});
    r.push_back(
        {M, kMain, "EnableManualLimit", "0", "1", 48,
         [](QuelpApp& a, std::string_view t) {
             int n = 0;
             if (!ParseProfileInt(t, n)) return false;
             a.receiver_.SetManualLimit(n);
             return true;
         },
         [](const QuelpApp& a) { return Text(a.receiver_.Params().Levels.EnableManualLimit); }});
    // 0 is the designed mark; a frequency outside the band is refused. The
    // multi-channel band follows the mark.
    r.push_back({M, kMain, "TxFreq", "0", "1502", 19,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     int bin = Tuning::kStartBin;
                     if (!ParseProfileInt(t, n)) return false;
                     if (n != 0 && !BandBin(n, a.receiver_.Params().SamplingFreq, bin)) {
                         return false;
                     }
                     a.receiver_.SetTransmitBin(bin);
                     return true;
                 },
                 [](const QuelpApp& a) {
                     const ReceiverStatus s = a.receiver_.Status();
                     return Text(BinToHz(s.TxBin, s.SamplingFreq));
                 }});
    r.push_back({M, kMain, "DetectorThreshold", "1000", "1234", 9,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.receiver_.SetDetectorThreshold(n * kLevelUnit);
                     return true;
                 },
                 [](const QuelpApp& a) {
                     return LevelText(a.receiver_.Params().Levels.DetectorThreshold);
                 }});
    r.push_back({M, kMain, "MinAutoThreshold", "10", "25", 10,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.receiver_.SetMinAutoThreshold(n * kLevelUnit);
                     return true;
                 },
                 [](const QuelpApp& a) {
                     return LevelText(a.receiver_.Params().Levels.MinAutoThreshold);
                 }});
    r.push_back({M, kMain, "SquelchThreshold", "50", "75", 11,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.receiver_.SetSquelchThreshold(n * kLevelUnit);
                     return true;
                 },
                 [](const QuelpApp& a) {
                     return LevelText(a.receiver_.Params().Levels.SquelchThreshold);
                 }});
    // The burst filter divides by its length: below 1 is refused.
    r.push_back({M, kMain, "CwFilterTreshold", "175", "350", 12,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n) || n < 1) return false;
                     a.receiver_.RestoreBurstLength(n);
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.receiver_.BurstLength()); }});
    // Loaded by SelectMainFilter after the settings.
    r.push_back({M, kMain, "FilterWidth", "140", "280", 13,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.receiver_.SetMainFilterCode(n);
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.receiver_.MainFilterCode()); }});
    // Applied when the output device opens.
    r.push_back({M, kMain, "SoundFilter", "0", "140", 14,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.SetSoundOutputCode(n);
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.SoundOutputCode()); }});
    // Resolved with UserCharsetFile once both are read.
    r.push_back({M, kMain, "Charset", "0", "1", 15,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.pending_.Charset = (n >= 1 && n <= 3) ? n : 0;
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.receiver_.Params().Text.Charset); }});
    r.push_back(
        {M, kMain, "UserCharsetFile", "", "my table.txt", 16,
         [](QuelpApp& a, std::string_view t) {
             a.pending_.UserCharsetFile = std::string(t);
             return true;
         },
         [](const QuelpApp& a) { return Quoted(a.receiver_.Params().Text.UserCharsetFile); }});
    r.push_back({M, kMain, "ExportIniFile", "loginput.ini", "log.ini", 17,
                 [](QuelpApp& a, std::string_view t) {
                     a.params_.ExportIniFile = std::string(t);
                     return true;
                 },
                 [](const QuelpApp& a) { return a.params_.ExportIniFile; }});
    r.push_back({M, kMain, "ExportIniSection", "QSO", "Contest", 18,
                 [](QuelpApp& a, std::string_view t) {
                     a.params_.ExportIniSection = std::string(t);
                     return true;
                 },
                 [](const QuelpApp& a) { return a.params_.ExportIniSection; }});
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.LogarithmicSpectrum; }>(
        M, kMain, "LogarithmicSpectrum", "1", "0", 22));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.LogarithmicOsc; }>(
        M, kMain, "LogarithmicOsc", "1", "0", 23));
    r.push_back(
        {M, kMain, "ReUseThresholdLimit", "0", "1", 24,
         [](QuelpApp& a, std::string_view t) {
             int n = 0;
             if (!ParseProfileInt(t, n)) return false;
             a.receiver_.SetReuseThresholdLimit(n);
             return true;
         },
         [](const QuelpApp& a) { return Text(a.receiver_.Params().Reuse.ReUseThresholdLimit); }});
    r.push_back(
        {M, kMain, "ReUseSpeedLimits", "0", "1", 25,
         [](QuelpApp& a, std::string_view t) {
             int n = 0;
             if (!ParseProfileInt(t, n)) return false;
             a.receiver_.SetReuseSpeedLimits(n);
             return true;
         },
         [](const QuelpApp& a) { return Text(a.receiver_.Params().Reuse.ReUseSpeedLimits); }});
    r.push_back(Int<[](auto& a) -> auto& { return a.params_.Marks.PutTimeMarks; }>(
        M, kMain, "PutTimeMarks", "0", "1", 26));
    r.push_back(Int<[](auto& a) -> auto& { return a.params_.Marks.UseUTC; }>(M, kMain, "UseUTC",
                                                                             "1", "0", 27));
    r.push_back(Int<[](auto& a) -> auto& { return a.params_.CatchWordByOneClick; }>(
        M, kMain, "CatchWordByOneClick", "0", "1", 28));
    r.push_back(Int<[](auto& a) -> auto& { return a.params_.ContestMode; }>(M, kMain, "ContestMode",
                                                                            "0", "1", 29));
    r.push_back(Int<[](auto& a) -> auto& { return a.params_.CopyTransferredData; }>(
        M, kMain, "CopyTransferredData", "0", "1", 31));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.AfcAtClick; }>(M, kMain, "AfcAtClick",
                                                                           "0", "1", 30));
    r.push_back(
        Int<[](auto& a) -> auto& { return a.params_.ExCanal; }>(M, kMain, "ExCanal", "1", "2", 32));
    // Only the stored numbers 0 to 9 name a device; any other is the system's
    // default device.
    r.push_back({M, kMain, "SoundCardNumber", "-1", "3", 33,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.params_.Cards.SoundCardNumber = (n >= 0 && n <= 9) ? n : -1;
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.params_.Cards.SoundCardNumber); }});
    r.push_back({M, kMain, "InputCardChannel", "0", "2", 34,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n) || n < 0 || n > 2) return false;
                     a.params_.Cards.InputCardChannel = n;
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.params_.Cards.InputCardChannel); }});
    r.push_back({M, kMain, "OutputCardChannel", "0", "1", 35,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n) || n < 0 || n > 2) return false;
                     a.params_.Cards.OutputCardChannel = n;
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.params_.Cards.OutputCardChannel); }});
    r.push_back({M, kMain, "OutSoundCardNumber", "-1", "9", 36,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.params_.Cards.OutSoundCardNumber = (n >= 0 && n <= 9) ? n : -1;
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.params_.Cards.OutSoundCardNumber); }});
    r.push_back(Int<[](auto& a) -> auto& { return a.params_.LastTuneRig; }>(M, kMain, "LastTuneRig",
                                                                            "2", "1", 37));
    r.push_back(
        Int<[](auto& a) -> auto& { return a.params_.TuneRig; }>(M, kMain, "TuneRig", "0", "1", 38));
    r.push_back({M, kMain, "RigNumber", "1", "2", 39,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n) || (n != 1 && n != 2)) return false;
                     a.params_.RigNumber = n;
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.params_.RigNumber); }});
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.UseWheel; }>(M, kMain, "UseWheel", "1",
                                                                         "0", 40));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.WheelSpeed; }>(M, kMain, "WheelSpeed",
                                                                           "2", "-3", 41));
    // The lock and the window take effect together once both limits are read.
    // The decoder the operator chose: the main one unless "adaptive".
    r.push_back(
        {M, kDecoding, "Decoder", "classic", "adaptive", 100,
         [](QuelpApp& a, std::string_view t) {
             if (t != "classic" && t != "adaptive") return false;
             a.SelectDecoder(t == "adaptive" ? DecoderChoice::Adaptive : DecoderChoice::Classic);
             return true;
         },
         [](const QuelpApp& a) {
             return std::string(
                 a.receiver_.SelectedDecoder() == DecoderChoice::Adaptive ? "adaptive" : "classic");
         }});
    // Its squelch, in dB over the band's noise floor.
    r.push_back({M, kDecoding, "SquelchDb", "5.5", "8.5", 101,
                 [](QuelpApp& a, std::string_view t) {
                     double db = 0.0;
                     if (!ParseProfileReal(t, db) ||
                         !(db >= kMinSquelchDb && db <= kMaxSquelchDb)) {
                         return false;
                     }
                     AdaptiveSettings s = a.receiver_.Adaptive().Settings();
                     s.squelchDb = db;
                     a.receiver_.SetAdaptiveSettings(s);
                     return true;
                 },
                 [](const QuelpApp& a) {
                     return FormatProfileReal(a.receiver_.Adaptive().Settings().squelchDb);
                 }});
    r.push_back({M, kMain, "SpeedLocked", "0", "1", 42,
                 [](QuelpApp& a, std::string_view t) {
                     int n = 0;
                     if (!ParseProfileInt(t, n)) return false;
                     a.receiver_.RestoreSpeedLock(n);
                     return true;
                 },
                 [](const QuelpApp& a) { return Text(a.receiver_.Params().Speed.SpeedLocked); }});
    r.push_back(Int<[](auto& a) -> auto& { return a.pending_.LowerSpeed; }>(M, kMain, "LowerSpeed",
                                                                            "100", "90", 43));
    r.back().collect = [](const QuelpApp& a) {
        return Text(a.receiver_.Params().Speed.LowerSpeed);
    };
    r.push_back(Int<[](auto& a) -> auto& { return a.pending_.HigherSpeed; }>(
        M, kMain, "HigherSpeed", "150", "160", 44));
    r.back().collect = [](const QuelpApp& a) {
        return Text(a.receiver_.Params().Speed.HigherSpeed);
    };
    // The decoder's estimates: written for other programs, never read back.
    r.push_back({M, kMain, "DotLen", "662", "", 45, nullptr,
                 [](const QuelpApp& a) { return Text(a.receiver_.Params().Speed.DotLen); }});
    r.push_back({M, kMain, "ShortPauseLen", "662", "", 46, nullptr,
                 [](const QuelpApp& a) { return Text(a.receiver_.Params().Speed.ShortPauseLen); }});

    // --- window section: geometry (-1 keeps the designed value), colours ------------
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.Left; }>(M, kWindow, "Left",
                                                                            "-1", "10", 49));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.Top; }>(M, kWindow, "Top", "-1",
                                                                           "20", 50));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.Height; }>(M, kWindow, "Height",
                                                                              "-1", "480", 51));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.Width; }>(M, kWindow, "Width",
                                                                             "-1", "640", 52));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.SpectrumHeight; }>(
        M, kWindow, "SpectrumHeight", "-1", "120", 53));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.RxTextHeight; }>(
        M, kWindow, "RxTextHeight", "-1", "200", 54));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.FFTBackground; }>(
        M, kWindow, "FFTBackground", "16777215", "0", 55));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.CurrSpectrumColor; }>(
        M, kWindow, "CurrSpectrumColor", "16711680", "1", 56));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.PeakSpectrumColor; }>(
        M, kWindow, "PeakSpectrumColor", "32768", "2", 57));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.RxMarkColor; }>(
        M, kWindow, "RxMarkColor", "255", "3", 58));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.TxMarkColor; }>(
        M, kWindow, "TxMarkColor", "0", "4", 59));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.OscBackground; }>(
        M, kWindow, "OscBackground", "16777215", "5", 60));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.SignalColor; }>(
        M, kWindow, "SignalColor", "32768", "6", 61));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Window.ThresholdColor; }>(
        M, kWindow, "ThresholdColor", "255", "7", 62));

    // --- receive font ------------------------------------------------------------
    FontRows < [](auto& a) -> auto& {
        return a.window_.RxFont;
    }
    > (r, M, kRxFont, 63);

    // --- the multi-channel window and the Setup dialog -------------------------------
    constexpr G Scan = G::ScanWindow;
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Scan.Left; }>(Scan, kScanScreen, "Left",
                                                                          "-1", "30", 71));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Scan.Top; }>(Scan, kScanScreen, "Top",
                                                                         "-1", "40", 72));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Scan.Height; }>(
        Scan, kScanScreen, "Height", "-1", "300", 73));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Scan.Width; }>(
        Scan, kScanScreen, "Width", "-1", "400", 74));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Scan.WfWidth; }>(
        Scan, kScanScreen, "WfWidth", "-1", "90", 75));
    FontRows < [](auto& a) -> auto& {
        return a.window_.Scan.Font;
    }
    > (r, Scan, kScanFont, 76);
    constexpr G Setup = G::SetupWindow;
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Setup.Left; }>(Setup, kSetupScreen,
                                                                           "Left", "-1", "50", 84));
    r.push_back(Int<[](auto& a) -> auto& { return a.window_.Setup.Top; }>(Setup, kSetupScreen,
                                                                          "Top", "-1", "60", 85));
    return r;
}

std::span<const SettingRow> SettingsTable() {
    static const std::vector<SettingRow> rows = SettingsBinding::Rows();
    return rows;
}

bool ReadStartupOnTop(const ProfileFile& file) {
    int n = 0;
    return ParseProfileInt(file.GetString(kMain, "OnTop", "0"), n) && n != 0;
}

std::string UnableToWriteText(std::string_view settingsPath) {
    return "Unable to write to " + std::string(settingsPath);
}

std::string UnableToReadText(std::string_view settingsPath) {
    return "Unable to read " + std::string(settingsPath);
}

// --- load and save -------------------------------------------------------------------

void QuelpApp::LoadSettings() {
    ProfileFile file(params_.SettingsPath);
    // A file that is there but cannot be read (permissions, size) must not
    // pass for a missing one: the operator would lose the settings at the
    // next save without knowing why they were gone. The built-in values
    // apply, and the profile layer refuses to overwrite that file.
    if (file.Load() != ProfileResult::Ok) {
        ports_.view.ShowMessage(UnableToReadText(params_.SettingsPath), "Error");
    }
    ApplySettings(file);
}

void QuelpApp::ApplySettings(const ProfileFile& file) {
    pending_ = PendingSettings{};
    for (const SettingRow& row : SettingsTable()) {
        if (row.apply == nullptr) continue;
        // A window that exists keeps what it shows.
        if (row.group == SettingGroup::ScanWindow && window_.Scan.Created) continue;
        if (row.group == SettingGroup::SetupWindow && window_.Setup.Created) continue;
        const std::string text = file.GetString(row.section, row.key, row.defaultText);
        if (!row.apply(*this, text)) row.apply(*this, row.defaultText);
    }
    // What takes effect only with other keys: the speed window with its lock
    // (the pair is ordered and the estimates pulled in), the character table
    // with its file (the user table only when the file loads, else English
    // without a message), and the threshold's panel.
    receiver_.SetSpeedLimits(pending_.LowerSpeed, pending_.HigherSpeed);
    presenter_.Show(ReceiverChange::SpeedLock);
    receiver_.SelectStartupCharset(pending_.Charset, pending_.UserCharsetFile);
    presenter_.Show(ReceiverChange::Threshold);
    RunHook(windowHooks_.applyWindowSettings);
}

void QuelpApp::CollectSettings(ProfileFile& file) const {
    static const std::vector<const SettingRow*> saveOrder = [] {
        std::vector<const SettingRow*> order;
        for (const SettingRow& row : SettingsTable()) order.push_back(&row);
        std::stable_sort(order.begin(), order.end(), [](const SettingRow* x, const SettingRow* y) {
            return x->saveRank < y->saveRank;
        });
        return order;
    }();
    for (const SettingRow* row : saveOrder) {
        if (row->group == SettingGroup::ScanWindow && !window_.Scan.Created) continue;
        if (row->group == SettingGroup::SetupWindow && !window_.Setup.Created) continue;
        file.SetString(row->section, row->key, row->collect(*this));
    }
}

SettingsSaveResult QuelpApp::SaveSettings(bool showFailure) {
    return SaveSettingsTo(params_.SettingsPath, showFailure);
}

SettingsSaveResult QuelpApp::SaveSettingsTo(const std::string& path, bool showFailure) {
    // A second save asked for from a nested message loop while this one
    // runs is ignored.
    if (savingSettings_) return SettingsSaveResult::Busy;
    savingSettings_ = true;
    displayHoldOff_ = hold_off::kNone;
    RunHook(windowHooks_.reportWindowSettings);
    if (scanFormCreated_) RunHook(scanForm_.reportSettings);
    if (window_.Setup.Created) RunHook(setupForm_.reportSettings);
    // Every key in one rewrite: a failure leaves the old file whole.
    ProfileFile file(path);
    ProfileResult result = file.Load();
    if (result == ProfileResult::Ok) {
        CollectSettings(file);
        result = file.Save(settingsSave_);
    }
    savingSettings_ = false;
    if (result != ProfileResult::Ok) {
        if (showFailure) ports_.view.ShowMessage(UnableToWriteText(path), "Error");
        return SettingsSaveResult::Failed;
    }
    return SettingsSaveResult::Saved;
}

}  // namespace quelp
