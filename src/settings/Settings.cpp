#include "settings/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "settings/ProfileNumbers.h"

namespace quelp {

namespace {

using namespace settings_names;

// Usable band of the spectrum: frequencies taken from the file must land
// strictly inside it.
constexpr int kLowestBin = 32;
constexpr int kHighestBin = 558;
constexpr double kLevelUnit = 0.0001;  // levels are stored in 1/10000
constexpr int kSpinMin = 5;            // range of the AFC spin controls
constexpr int kSpinMax = 3000;
constexpr int kAfcDeviationStep = 5;  // the local deviation is stored in 5 Hz

// double -> int truncating toward zero, limited to int's range (NaN gives 0),
// so that no stored value can overflow the conversion.
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

int BinToHz(int bin, double rate) {
    return TruncateToInt(std::floor(bin * rate / 2048.0 + 0.5));
}

// The bin of a stored frequency in hertz when it lies inside the band.
bool TakeBin(int hz, double rate, int& bin) {
    const double b = std::floor(hz * 2048.0 / rate + 0.5);
    if (!(b > kLowestBin && b < kHighestBin)) return false;
    bin = static_cast<int>(b);
    return true;
}

class Reader {
  public:
    explicit Reader(const ProfileFile& file) : file_(file) {}

    // True, with value set, when the key holds a number.
    bool Int(std::string_view section, std::string_view key, int& value) const {
        return ParseProfileInt(file_.GetString(section, key, ""), value);
    }
    void Flag(std::string_view section, std::string_view key, bool& value) const {
        int n = 0;
        if (Int(section, key, n)) value = n != 0;
    }
    void Level(std::string_view section, std::string_view key, double& value) const {
        int n = 0;
        if (Int(section, key, n)) value = n * kLevelUnit;
    }
    std::string String(std::string_view section, std::string_view key, std::string_view def) const {
        return file_.GetString(section, key, def);
    }

  private:
    const ProfileFile& file_;
};

void ReadFont(const Reader& in, std::string_view section, FontSettings& font) {
    font.Name = in.String(section, "Name", font.Name);
    in.Int(section, "Charset", font.Charset);
    in.Int(section, "Color", font.Color);
    in.Int(section, "Height", font.Height);
    in.Int(section, "Pitch", font.Pitch);
    in.Int(section, "Size", font.Size);
    if (in.Int(section, "Style", font.Style)) font.Style &= 15;
    in.Int(section, "BkgColor", font.BkgColor);
}

void WriteInt(ProfileFile& file, std::string_view section, std::string_view key, int value) {
    file.SetString(section, key, std::to_string(value));
}

void WriteLevel(ProfileFile& file, std::string_view key, double level) {
    WriteInt(file, kMainSection, key, TruncateToInt(level * 10000.0));
}

void WriteFont(ProfileFile& file, std::string_view section, const FontSettings& font) {
    file.SetString(section, "Name", "\"" + font.Name + "\"");
    WriteInt(file, section, "Charset", font.Charset);
    WriteInt(file, section, "Color", font.Color);
    WriteInt(file, section, "Height", font.Height);
    WriteInt(file, section, "Pitch", font.Pitch);
    WriteInt(file, section, "Size", font.Size);
    WriteInt(file, section, "Style", font.Style & 15);
    WriteInt(file, section, "BkgColor", font.BkgColor);
}

void ReadMainSection(const Reader& in, SettingsValues& v) {
    const std::string_view m = kMainSection;
    in.Flag(m, "AutoThreshold", v.AutoThreshold);
    in.Flag(m, kOnTopKey, v.AlwaysOnTop);
    in.Flag(m, "AutoGoToMax", v.AutoGoToMax);
    in.Flag(m, "AfcEnabled", v.Afc);

    // Every conversion between hertz, bins and time divides by the rate, so
    // only a finite positive rate is taken.
    double rate = 0.0;
    if (ParseProfileReal(in.String(m, "SamplingFreq", "11025.0"), rate) && std::isfinite(rate) &&
        rate > 0.0) {
        v.SamplingFreq = rate;
    }

    int n = 0;
    if (in.Int(m, "AfcDeviation", n)) {
        // The spin control holds positions 5..3000 only.
        const std::int64_t hz = static_cast<std::int64_t>(n) * kAfcDeviationStep;
        v.AfcDeviation = static_cast<int>(std::clamp<std::int64_t>(hz, kSpinMin, kSpinMax));
    }
    if (in.Int(m, "AFC_Limit", n)) v.AfcLimit = std::clamp(n, kSpinMin, kSpinMax);
    // The receive bin indexes the spectrum: a bin outside the band would
    // point outside it, so such a value keeps the default.
    if (in.Int(m, "RxFreqBin", n) && n >= kLowestBin && n <= kHighestBin) v.RxBin = n;
    if (in.Int(m, "FFTCenterFreq", n) && n != 0) TakeBin(n, v.SamplingFreq, v.DisplayCentreBin);
    if (in.Int(m, "Zoom", n)) {
        const bool known = n == 1 || n == 2 || n == 3 || n == 4 || n == 5 || n == 10 || n == 20;
        v.ZoomFactor = known ? n : 1;
    }
    in.Int(m, "SquelchEnabled", v.SquelchEnabled);
    in.Int(m, "EnableManualLimit", v.EnableManualLimit);
    if (in.Int(m, "TxFreq", n) && n != 0) {
        TakeBin(n, v.SamplingFreq, v.TxBin);
        v.ScanStartBin = ScanStartBinFor(v.TxBin);
    }
    in.Level(m, "DetectorThreshold", v.DetectorThreshold);
    in.Level(m, "MinAutoThreshold", v.MinAutoThreshold);
    in.Level(m, "SquelchThreshold", v.SquelchThreshold);
    // The burst filter divides by its length: below 1 keeps the default.
    if (in.Int(m, "CwFilterTreshold", n) && n >= 1) v.BurstLength = n;
    in.Int(m, "FilterWidth", v.MainFilterCode);
    in.Int(m, "SoundFilter", v.SoundFilter);
    if (in.Int(m, "Charset", n)) v.Charset = (n >= 1 && n <= 3) ? n : 0;
    v.UserCharsetFile = in.String(m, "UserCharsetFile", v.UserCharsetFile);
    v.ExportIniFile = in.String(m, "ExportIniFile", v.ExportIniFile);
    v.ExportIniSection = in.String(m, "ExportIniSection", v.ExportIniSection);
    in.Int(m, "LogarithmicSpectrum", v.LogarithmicSpectrum);
    in.Int(m, "LogarithmicOsc", v.LogarithmicOsc);
    in.Int(m, "ReUseThresholdLimit", v.ReUseThresholdLimit);
    in.Int(m, "ReUseSpeedLimits", v.ReUseSpeedLimits);
    in.Int(m, "PutTimeMarks", v.PutTimeMarks);
    in.Int(m, "UseUTC", v.UseUTC);
    in.Int(m, "CatchWordByOneClick", v.CatchWordByOneClick);
    in.Int(m, "ContestMode", v.ContestMode);
    in.Int(m, "CopyTransferredData", v.CopyTransferredData);
    in.Int(m, "AfcAtClick", v.AfcAtClick);
    in.Int(m, "ExCanal", v.ExCanal);
    if (in.Int(m, "SoundCardNumber", n)) v.SoundCardNumber = n >= 0 ? n : -1;
    if (in.Int(m, "InputCardChannel", n) && n >= 0 && n <= 2) v.InputCardChannel = n;
    if (in.Int(m, "OutputCardChannel", n) && n >= 0 && n <= 2) v.OutputCardChannel = n;
    if (in.Int(m, "OutSoundCardNumber", n)) v.OutSoundCardNumber = (n >= 0 && n <= 9) ? n : -1;
    in.Int(m, "LastTuneRig", v.LastTuneRig);
    in.Int(m, "TuneRig", v.TuneRig);
    if (in.Int(m, "RigNumber", n) && (n == 1 || n == 2)) v.RigNumber = n;
    in.Int(m, "UseWheel", v.UseWheel);
    in.Int(m, "WheelSpeed", v.WheelSpeed);
    in.Int(m, "SpeedLocked", v.SpeedLocked);
    in.Int(m, "LowerSpeed", v.LowerSpeed);
    in.Int(m, "HigherSpeed", v.HigherSpeed);
}

void ReadWindowSection(const Reader& in, WindowSettings& w) {
    const std::string_view s = kWindowSection;
    in.Int(s, "Left", w.Left);
    in.Int(s, "Top", w.Top);
    in.Int(s, "Height", w.Height);
    in.Int(s, "Width", w.Width);
    in.Int(s, "SpectrumHeight", w.SpectrumHeight);
    in.Int(s, "RxTextHeight", w.RxTextHeight);
    in.Int(s, "FFTBackground", w.FFTBackground);
    in.Int(s, "CurrSpectrumColor", w.CurrSpectrumColor);
    in.Int(s, "PeakSpectrumColor", w.PeakSpectrumColor);
    in.Int(s, "RxMarkColor", w.RxMarkColor);
    in.Int(s, "TxMarkColor", w.TxMarkColor);
    in.Int(s, "OscBackground", w.OscBackground);
    in.Int(s, "SignalColor", w.SignalColor);
    in.Int(s, "ThresholdColor", w.ThresholdColor);
}

void WriteMainSection(const SettingsValues& v, ProfileFile& f) {
    const std::string_view m = kMainSection;
    WriteInt(f, m, "AutoThreshold", v.AutoThreshold ? 1 : 0);
    WriteInt(f, m, kOnTopKey, v.AlwaysOnTop ? 1 : 0);
    WriteInt(f, m, "AutoGoToMax", v.AutoGoToMax ? 1 : 0);
    WriteInt(f, m, "AfcEnabled", v.Afc ? 1 : 0);
    f.SetString(m, "SamplingFreq", FormatProfileReal(v.SamplingFreq));
    WriteInt(f, m, "AfcDeviation", v.AfcDeviation / kAfcDeviationStep);
    WriteInt(f, m, "AFC_Limit", v.AfcLimit);
    WriteInt(f, m, "RxFreqBin", v.RxBin);
    WriteLevel(f, "DetectorThreshold", v.DetectorThreshold);
    WriteLevel(f, "MinAutoThreshold", v.MinAutoThreshold);
    WriteLevel(f, "SquelchThreshold", v.SquelchThreshold);
    WriteInt(f, m, "CwFilterTreshold", v.BurstLength);
    WriteInt(f, m, "FilterWidth", v.MainFilterCode);
    WriteInt(f, m, "SoundFilter", v.SoundFilter);
    WriteInt(f, m, "Charset", v.Charset);
    f.SetString(m, "UserCharsetFile", "\"" + v.UserCharsetFile + "\"");
    f.SetString(m, "ExportIniFile", v.ExportIniFile);
    f.SetString(m, "ExportIniSection", v.ExportIniSection);
    WriteInt(f, m, "TxFreq", BinToHz(v.TxBin, v.SamplingFreq));
    WriteInt(f, m, "FFTCenterFreq", BinToHz(v.DisplayCentreBin, v.SamplingFreq));
    WriteInt(f, m, "Zoom", v.ZoomFactor);
    WriteInt(f, m, "LogarithmicSpectrum", v.LogarithmicSpectrum);
    WriteInt(f, m, "LogarithmicOsc", v.LogarithmicOsc);
    WriteInt(f, m, "ReUseThresholdLimit", v.ReUseThresholdLimit);
    WriteInt(f, m, "ReUseSpeedLimits", v.ReUseSpeedLimits);
    WriteInt(f, m, "PutTimeMarks", v.PutTimeMarks);
    WriteInt(f, m, "UseUTC", v.UseUTC);
    WriteInt(f, m, "CatchWordByOneClick", v.CatchWordByOneClick);
    WriteInt(f, m, "ContestMode", v.ContestMode);
    WriteInt(f, m, "AfcAtClick", v.AfcAtClick);
    WriteInt(f, m, "CopyTransferredData", v.CopyTransferredData);
    WriteInt(f, m, "ExCanal", v.ExCanal);
    WriteInt(f, m, "SoundCardNumber", v.SoundCardNumber);
    WriteInt(f, m, "InputCardChannel", v.InputCardChannel);
    WriteInt(f, m, "OutputCardChannel", v.OutputCardChannel);
    WriteInt(f, m, "OutSoundCardNumber", v.OutSoundCardNumber);
    WriteInt(f, m, "LastTuneRig", v.LastTuneRig);
    WriteInt(f, m, "TuneRig", v.TuneRig);
    WriteInt(f, m, "RigNumber", v.RigNumber);
    WriteInt(f, m, "UseWheel", v.UseWheel);
    WriteInt(f, m, "WheelSpeed", v.WheelSpeed);
    WriteInt(f, m, "SpeedLocked", v.SpeedLocked);
    WriteInt(f, m, "LowerSpeed", v.LowerSpeed);
    WriteInt(f, m, "HigherSpeed", v.HigherSpeed);
    WriteInt(f, m, "DotLen", v.DotLen);
    WriteInt(f, m, "ShortPauseLen", v.ShortPauseLen);
    WriteInt(f, m, "SquelchEnabled", v.SquelchEnabled);
    WriteInt(f, m, "EnableManualLimit", v.EnableManualLimit);
}

void WriteWindowSection(const WindowSettings& w, ProfileFile& f) {
    const std::string_view s = kWindowSection;
    WriteInt(f, s, "Left", w.Left);
    WriteInt(f, s, "Top", w.Top);
    WriteInt(f, s, "Height", w.Height);
    WriteInt(f, s, "Width", w.Width);
    WriteInt(f, s, "SpectrumHeight", w.SpectrumHeight);
    WriteInt(f, s, "RxTextHeight", w.RxTextHeight);
    WriteInt(f, s, "FFTBackground", w.FFTBackground);
    WriteInt(f, s, "CurrSpectrumColor", w.CurrSpectrumColor);
    WriteInt(f, s, "PeakSpectrumColor", w.PeakSpectrumColor);
    WriteInt(f, s, "RxMarkColor", w.RxMarkColor);
    WriteInt(f, s, "TxMarkColor", w.TxMarkColor);
    WriteInt(f, s, "OscBackground", w.OscBackground);
    WriteInt(f, s, "SignalColor", w.SignalColor);
    WriteInt(f, s, "ThresholdColor", w.ThresholdColor);
}

}  // namespace

int ScanStartBinFor(int txBin) {
    int start = (txBin - 148) / 8 * 8;
    if (start <= 32) start = 40;
    while (start > 251) start -= 8;
    return start;
}

ScanWindowSettings ReadScanWindowSettings(const ProfileFile& file) {
    const Reader in(file);
    ScanWindowSettings scan;
    const std::string_view s = kScanScreenSection;
    in.Int(s, "Left", scan.Left);
    in.Int(s, "Top", scan.Top);
    in.Int(s, "Height", scan.Height);
    in.Int(s, "Width", scan.Width);
    in.Int(s, "WfWidth", scan.WfWidth);
    ReadFont(in, kScanFontSection, scan.Font);
    return scan;
}

SetupWindowSettings ReadSetupWindowSettings(const ProfileFile& file) {
    const Reader in(file);
    SetupWindowSettings setup;
    in.Int(kSetupScreenSection, "Left", setup.Left);
    in.Int(kSetupScreenSection, "Top", setup.Top);
    return setup;
}

bool ReadStartupOnTop(const ProfileFile& file) {
    bool onTop = false;
    Reader(file).Flag(kMainSection, kOnTopKey, onTop);
    return onTop;
}

SettingsValues ReadSettings(const ProfileFile& file) {
    const Reader in(file);
    SettingsValues v;
    ReadMainSection(in, v);
    ReadWindowSection(in, v.Window);
    ReadFont(in, kRxFontSection, v.RxFont);
    v.Scan = ReadScanWindowSettings(file);
    v.Setup = ReadSetupWindowSettings(file);
    return v;
}

void WriteSettings(const SettingsValues& values, ProfileFile& file) {
    WriteMainSection(values, file);
    WriteWindowSection(values.Window, file);
    WriteFont(file, kRxFontSection, values.RxFont);
    if (values.Scan.Created) {
        const std::string_view s = kScanScreenSection;
        WriteInt(file, s, "Left", values.Scan.Left);
        WriteInt(file, s, "Top", values.Scan.Top);
        WriteInt(file, s, "Height", values.Scan.Height);
        WriteInt(file, s, "Width", values.Scan.Width);
        WriteInt(file, s, "WfWidth", values.Scan.WfWidth);
        WriteFont(file, kScanFontSection, values.Scan.Font);
    }
    if (values.Setup.Created) {
        WriteInt(file, kSetupScreenSection, "Left", values.Setup.Left);
        WriteInt(file, kSetupScreenSection, "Top", values.Setup.Top);
    }
}

SettingsValues LoadSettingsFile(const std::filesystem::path& path) {
    ProfileFile file(path);
    file.Load();
    return ReadSettings(file);
}

int SaveSettingsFile(const SettingsValues& values, const std::filesystem::path& path,
                     const ProfileSaveOptions& options) {
    ProfileFile file(path);
    if (const int rc = file.Load(); rc != profile_result::kOk) return rc;
    WriteSettings(values, file);
    return file.Save(options);
}

std::string UnableToWriteText(std::string_view settingsPath) {
    return "Unable to write to " + std::string(settingsPath);
}

}  // namespace quelp
