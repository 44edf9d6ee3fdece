#pragma once
// The setup dialog without its widgets: the values of its controls
// as LoadSetupDialog fills them and ApplySetupDialog takes them back, the
// rules for the texts it shows and reads (device lists, the rate), its sample
// texts and the geometry of its two sample pictures.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainWindowState.h"

namespace quelp {

class SoundDriver;

// What the dialog's controls hold, page by page.
struct SetupValues {
    // --- page 0 "Interface" ------------------------------------------------------
    // Device lists: "DEFAULT", then "0  " .. "10  " (with the product name
    // where the device exists); the entry selected (0 = DEFAULT).
    std::vector<std::string> InDevices;
    int InDevice = 0;
    int InChannel = 0;         // 0 "Mono", 1 "Left", 2 "Right"
    std::string SamplingRate;  // InSamplingRateEdit, "00000.00"
    std::vector<std::string> OutDevices;
    int OutDevice = 0;
    int OutChannel = 0;
    bool AfcAtClick = false;
    bool SquelchEnabled = false;
    bool EnableManualLimit = false;

    // --- page 1 "Text" -----------------------------------------------------------------
    // The checked charset button, as the table it selects: 0 English,
    // 1 Russian, 2 user-defined, 3 Swedish.
    int Charset = 0;
    std::string UserCharsetFile;  // UserCharsetEdit
    bool CharsetChanged = false;
    bool CatchWordByOneClick = false;
    bool ContestMode = false;
    bool CopyTransferredData = false;
    bool PutTimeMarks = false;
    bool UseUTC = false;

    // --- page 2 "View" -----------------------------------------------------------------
    bool AlwaysOnTop = false;
    bool LogarithmicSpectrum = false;
    bool LogarithmicOsc = false;

    // --- page 3 "Fonts && colors" ------------------------------------------------------
    bool AppearanceChanged = false;
    // RxSampleMemo's font and colour (BkgColor).
    FontSettings RxFont;
    // The working copies of the eight display colours (the geometry fields
    // are not used).
    WindowSettings Colours;

    // --- page 4 "Tuning" ---------------------------------------------------------------
    int RigNumber = 0;  // entry: 0 "RIG1", 1 "RIG2"
    int TuneRig = 0;    // entry: 0 "NONE", 1 "RIT", 2 "Main VFO"
    bool UseWheel = false;
    int WheelSpeed = 0;  // -10..10

    // --- page 5 "Multi-decoder" --------------------------------------------------------
    bool MultiDecoderChanged = false;
    FontSettings ScanFont;  // SampleGrid's font and colour
    bool ReUseThresholdLimit = false;
    bool ReUseSpeedLimits = false;
};

namespace setup {

inline constexpr int kPages = 6;
inline constexpr int kDeviceNumbers = 11;  // entries "0  " to "10  "
inline constexpr int kMinWheelSpeed = -10;
inline constexpr int kMaxWheelSpeed = 10;
// A rate below this is not taken (the current one stays).
inline constexpr double kMinRate = 8000.0;

// The two sample lines of RxSampleMemo, and SampleGrid's three rows, in
// Windows-1251 (the Cyrillic letters shown through the font's code page).
inline constexpr std::string_view kSampleLine1 = "Sample text ABCD \xC0\xC1\xC2\xC3";
inline constexpr std::string_view kSampleLine2 = "ABCD abcd \xC0\xC1\xC2\xC3 \xE0\xE1\xE2\xE3";
inline constexpr std::string_view kSampleGridRow3 = "cq cq cq de vrelk";

// A device list: "DEFAULT", then "n  " for n = 0..10, with the product name
// after the blanks for each device the driver has and can name (null: no
// driver, numbers only).
std::vector<std::string> DeviceList(SoundDriver* driver);
// The entry of a stored device number: 0 for -1, else number + 1 (numbers
// that have no entry select nothing: -1).
int DeviceEntry(int soundCardNumber);

// The rate as the edit shows it: "00000.00" (11025 -> "11025.00").
std::string FormatSamplingRate(double rate);
// The rate typed into the edit (a decimal comma is taken for the point):
// nothing when it is not a number, or is below 8000 (or beyond any card).
std::optional<double> ParseSamplingRate(std::string_view text);

// The automation's page number 1..6 as a page index; nothing for others.
std::optional<int> PageOfAutomation(int page);

// --- sample pictures ------------------------------------------------------------------
struct Point {
    int x;
    int y;
    bool operator==(const Point&) const = default;
};
struct Segment {
    Point from;
    Point to;
    bool operator==(const Segment&) const = default;
};

inline constexpr int kSpectrumSampleWidth = 245;
inline constexpr int kSpectrumSampleHeight = 107;
inline constexpr int kOscSampleWidth = 245;
inline constexpr int kOscSampleHeight = 64;

// The spectrum sample's curve, from (78, h-1) through the 50 points of
// (1 - cos(0.12566 i)) x factor x h: the peak curve takes factor 0.4, the
// current one 0.25.
std::vector<Point> SpectrumSampleCurve(int h, double factor);
// The receive marks (x = 103 full height, x = 113 the lower third, the
// horizontal line at 4h/5) and the transmit mark (x = 90, the lowest
// quarter, drawn 3 wide).
std::vector<Segment> SpectrumSampleRxMarks(int w, int h);
Segment SpectrumSampleTxMark(int h);
// The oscilloscope sample's signal, from (0, h/2) through x = 1..w, and the
// threshold line.
std::vector<Point> OscSampleSignal(int w, int h);
Segment OscSampleThreshold(int w, int h);

}  // namespace setup

}  // namespace quelp
