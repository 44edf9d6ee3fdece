#pragma once
// The settings file "QUELP.INI": every key the program keeps, with its
// default, its conversion on the way in (validation included) and on the way
// out. `SettingsValues` holds the settings in the units of the live state
// (bins, hertz of the spin controls, levels as doubles), so that applying a
// loaded record, or filling one before a save, is a plain copy member by
// member; ReadSettings and WriteSettings do every conversion.
//
// Section and key names chosen by this program (the others are fixed):
//   main section "Quelp"; in it "AutoThreshold", "OnTop" (always on top),
//   "AutoGoToMax", "AfcEnabled", "AfcDeviation" (local AFC deviation, units
//   of 5 Hz), "RxFreqBin" (receive frequency as an FFT bin, unlike TxFreq and
//   FFTCenterFreq, which hold hertz), "DetectorThreshold" (1/10000);
//   window section "MainScreen": "Left", "Top", "Height", "Width",
//   "SpectrumHeight", "RxTextHeight" and the eight colours;
//   receive-font section "RxFont".
// The main section is named "Quelp" so that "OnTop", which the start-up reads
// before anything else, is the very key the settings save writes: a saved
// always-on-top state takes effect at the next start.

#include <filesystem>
#include <string>
#include <string_view>

#include "settings/ProfileFile.h"

namespace quelp {

namespace settings_names {
inline constexpr std::string_view kMainSection = "Quelp";
inline constexpr std::string_view kWindowSection = "MainScreen";
inline constexpr std::string_view kRxFontSection = "RxFont";
inline constexpr std::string_view kScanScreenSection = "ScanScreen";
inline constexpr std::string_view kScanFontSection = "ScanFont";
inline constexpr std::string_view kSetupScreenSection = "SetupScreen";
inline constexpr std::string_view kOnTopKey = "OnTop";
}  // namespace settings_names

// Colours are Windows-convention 32-bit values: 0x00BBGGRR, or 0x800000nn
// for system colour nn.
inline constexpr int kColorWindowText = -2147483640;        // 0x80000008
inline constexpr int kColorWindowBackground = -2147483643;  // 0x80000005

// A font group: the font of a text pane and the pane's background colour.
struct FontSettings {
    std::string Name = "MS Sans Serif";
    int Charset = 204;  // GDI character set; 204 Cyrillic
    int Color = kColorWindowText;
    int Height = -13;  // pixels, negative = character height
    int Pitch = 0;     // 0 default, 1 variable, 2 fixed
    int Size = 10;     // points; applied after Height, so it wins
    int Style = 1;     // bits: 1 bold, 2 italic, 4 underline, 8 strike-out
    int BkgColor = kColorWindowBackground;

    bool operator==(const FontSettings&) const = default;
};

// Main-window geometry (-1 keeps the designed value) and display colours.
struct WindowSettings {
    int Left = -1;
    int Top = -1;
    int Height = -1;
    int Width = -1;
    int SpectrumHeight = -1;  // FFTBox
    int RxTextHeight = -1;    // RxMemo
    int FFTBackground = 16777215;
    int CurrSpectrumColor = 16711680;
    int PeakSpectrumColor = 32768;
    int RxMarkColor = 255;
    int TxMarkColor = 0;
    int OscBackground = 16777215;
    int SignalColor = 32768;
    int ThresholdColor = 255;

    bool operator==(const WindowSettings&) const = default;
};

// Sections "ScanScreen" and "ScanFont": the multi-channel window.
struct ScanWindowSettings {
    // Set when the window was created in this run; only then are its groups
    // saved (otherwise the values in the file stay as they are).
    bool Created = false;
    int Left = -1;
    int Top = -1;
    int Height = -1;
    int Width = -1;
    int WfWidth = -1;  // spectrum pane width; applied only when greater than 10
    FontSettings Font;

    bool operator==(const ScanWindowSettings&) const = default;
};

// Section "SetupScreen": position of the Setup dialog.
struct SetupWindowSettings {
    bool Created = false;  // as ScanWindowSettings::Created
    int Left = -1;
    int Top = -1;

    bool operator==(const SetupWindowSettings&) const = default;
};

struct SettingsValues {
    // --- main section, in the order it is read ----------------------------
    bool AutoThreshold = true;  // AutoTresholdButton down
    bool AlwaysOnTop = false;
    bool AutoGoToMax = false;  // AutoGoToMaxButton down
    bool Afc = true;           // AfcButton down
    double SamplingFreq = 11025.0;
    // AfcUpDown position in Hz (5..3000); stored in units of 5 Hz.
    int AfcDeviation = 50;
    int AfcLimit = 300;  // AfcLimitUpDown position in Hz (5..3000), key "AFC_Limit"
    // Receive bin: SignalBin = CentreBin = RxBin, PhaseStep = 16 x RxBin.
    // Save it from CentreBin while the AFC is on, else from SignalBin.
    int RxBin = 186;
    int DisplayCentreBin = 295;  // stored in hertz as "FFTCenterFreq"
    int ZoomFactor = 1;          // key "Zoom": 1, 2, 3, 4, 5, 10 or 20
    int SquelchEnabled = 0;
    int EnableManualLimit = 0;
    int TxBin = 186;                 // stored in hertz as "TxFreq"
    int ScanStartBin = 40;           // not stored: follows a stored TxFreq
    double DetectorThreshold = 0.1;  // levels are stored in units of 1/10000
    double MinAutoThreshold = 0.001;
    double SquelchThreshold = 0.005;
    int BurstLength = 175;     // key "CwFilterTreshold", samples
    int MainFilterCode = 140;  // key "FilterWidth"
    int SoundFilter = 0;       // 0 off, 9998 unfiltered, else a filter code
    // Character table 0 English, 1 Russian, 2 user file, 3 Swedish. A 2 holds
    // only if UserCharsetFile loads; the loader decides, not this record.
    int Charset = 0;
    std::string UserCharsetFile;
    std::string ExportIniFile = "loginput.ini";
    std::string ExportIniSection = "QSO";
    int LogarithmicSpectrum = 1;
    int LogarithmicOsc = 1;
    int ReUseThresholdLimit = 0;
    int ReUseSpeedLimits = 0;
    int PutTimeMarks = 0;
    int UseUTC = 1;
    int CatchWordByOneClick = 0;
    int ContestMode = 0;
    int CopyTransferredData = 0;
    int AfcAtClick = 0;
    int ExCanal = 1;
    int SoundCardNumber = -1;  // -1 system default device
    int InputCardChannel = 0;  // 0 mono, 1 left, 2 right
    int OutputCardChannel = 0;
    int OutSoundCardNumber = -1;
    int LastTuneRig = 2;
    int TuneRig = 0;
    int RigNumber = 1;
    int UseWheel = 1;
    int WheelSpeed = 2;
    // Read before SetSpeedLimits, which orders and limits the pair.
    int SpeedLocked = 0;
    int LowerSpeed = 100;
    int HigherSpeed = 150;
    // The decoder's estimates: written on save, never read back.
    int DotLen = 662;
    int ShortPauseLen = 662;

    // --- other sections -----------------------------------------------------
    WindowSettings Window;
    FontSettings RxFont;
    ScanWindowSettings Scan;
    SetupWindowSettings Setup;

    bool operator==(const SettingsValues&) const = default;
};

// Every key of the file, converted and validated; absent keys, and values
// that are not numbers where a number belongs, keep the defaults.
SettingsValues ReadSettings(const ProfileFile& file);

// Sets every key in the save order. The multi-channel window's groups and the
// Setup dialog's are set only when their windows were created.
void WriteSettings(const SettingsValues& values, ProfileFile& file);

// "OnTop" of section "Quelp", read at start-up before everything else.
bool ReadStartupOnTop(const ProfileFile& file);
// The groups a window reads when it is first created (Created stays false).
ScanWindowSettings ReadScanWindowSettings(const ProfileFile& file);
SetupWindowSettings ReadSetupWindowSettings(const ProfileFile& file);

// Whole-file helpers: a missing or unreadable file gives the defaults; the
// save sets every key and rewrites the file once, returning a
// profile_result code (0 on success).
SettingsValues LoadSettingsFile(const std::filesystem::path& path);
int SaveSettingsFile(const SettingsValues& values, const std::filesystem::path& path,
                     const ProfileSaveOptions& options = {});

// The message for a failed save: "Unable to write to " and the path.
std::string UnableToWriteText(std::string_view settingsPath);

// The first bin of the multi-channel decoder's band after a transmit mark
// was taken from the file: below the mark, a multiple of 8, from 40 to 251.
int ScanStartBinFor(int txBin);

}  // namespace quelp
