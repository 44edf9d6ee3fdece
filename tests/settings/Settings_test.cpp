#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <string>

#include "app/QuelpParams.h"
#include "settings/TempDir.h"

namespace quelp {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

SettingsValues FromText(const std::string& text) {
    ProfileFile f;
    f.Parse(text);
    return ReadSettings(f);
}

// A record in which every member differs from its default.
SettingsValues EveryKeyChanged() {
    SettingsValues v;
    v.AutoThreshold = false;
    v.AlwaysOnTop = true;
    v.AutoGoToMax = true;
    v.Afc = false;
    v.SamplingFreq = 11024.873;
    v.AfcDeviation = 35;
    v.AfcLimit = 250;
    v.RxBin = 200;
    v.DisplayCentreBin = 300;
    v.ZoomFactor = 10;
    v.SquelchEnabled = 1;
    v.EnableManualLimit = 1;
    v.TxBin = 400;
    v.ScanStartBin = ScanStartBinFor(400);
    v.DetectorThreshold = 123 * 0.0001;  // as read back from 123
    v.MinAutoThreshold = 42 * 0.0001;
    v.SquelchThreshold = 77 * 0.0001;
    v.BurstLength = 23;
    v.MainFilterCode = 9100;
    v.SoundFilter = 9998;
    v.Charset = 3;
    v.UserCharsetFile = "/home/op/my tables/ru.txt";
    v.ExportIniFile = "/tmp/log input.ini";
    v.ExportIniSection = "Contest";
    v.LogarithmicSpectrum = 0;
    v.LogarithmicOsc = 0;
    v.ReUseThresholdLimit = 1;
    v.ReUseSpeedLimits = 1;
    v.PutTimeMarks = 1;
    v.UseUTC = 0;
    v.CatchWordByOneClick = 1;
    v.ContestMode = 1;
    v.CopyTransferredData = 1;
    v.AfcAtClick = 1;
    v.ExCanal = 0;
    v.SoundCardNumber = 3;
    v.InputCardChannel = 2;
    v.OutputCardChannel = 1;
    v.OutSoundCardNumber = 9;
    v.LastTuneRig = 1;
    v.TuneRig = 2;
    v.RigNumber = 2;
    v.UseWheel = 0;
    v.WheelSpeed = 7;
    v.SpeedLocked = 1;
    v.LowerSpeed = 60;
    v.HigherSpeed = 90;
    v.Window = {10, 20, 400, 600, 70, 180, 1, 2, 3, 4, 5, 6, 7, 8};
    v.RxFont = {"DejaVu Sans Mono", 0, 255, -15, 2, 12, 6, 16777215};
    v.Scan = {true, 5, 6, 300, 500, 120, {"Liberation Mono", 238, 1, -11, 1, 9, 9, 32768}};
    v.Setup = {true, 100, 200};
    return v;
}

TEST(Settings, AMissingFileLeavesTheBuiltInDefaults) {
    TempDir dir;
    const SettingsValues loaded = LoadSettingsFile(dir / "QUELP.INI");
    const SettingsValues defaults;
    EXPECT_EQ(loaded, defaults);
    EXPECT_FALSE(fs::exists(dir / "QUELP.INI"));

    // The members shared with the program's parameter record agree with it.
    const Quelp_Params params;
    EXPECT_EQ(defaults.SamplingFreq, params.SamplingFreq);
    EXPECT_EQ(defaults.DetectorThreshold, params.DetectorThreshold);
    EXPECT_EQ(defaults.MinAutoThreshold, params.MinAutoThreshold);
    EXPECT_EQ(defaults.SquelchThreshold, params.SquelchThreshold);
    EXPECT_EQ(defaults.LowerSpeed, params.LowerSpeed);
    EXPECT_EQ(defaults.HigherSpeed, params.HigherSpeed);
    EXPECT_EQ(defaults.DotLen, params.DotLen);
    EXPECT_EQ(defaults.ShortPauseLen, params.ShortPauseLen);
    EXPECT_EQ(defaults.ExportIniFile, params.ExportIniFile);
    EXPECT_EQ(defaults.ExportIniSection, params.ExportIniSection);
    EXPECT_EQ(defaults.SoundCardNumber, params.SoundCardNumber);
    EXPECT_EQ(defaults.OutSoundCardNumber, params.OutSoundCardNumber);
    EXPECT_EQ(defaults.LastTuneRig, params.LastTuneRig);
    EXPECT_EQ(defaults.RigNumber, params.RigNumber);
    EXPECT_EQ(defaults.UseUTC, params.UseUTC);
    EXPECT_EQ(defaults.ExCanal, params.ExCanal);
}

TEST(Settings, EverySavedKeyReadsBackToTheSameRecord) {
    TempDir dir;
    const fs::path path = dir / "QUELP.INI";
    // The defaults, into a file that does not exist yet.
    ASSERT_EQ(SaveSettingsFile(SettingsValues{}, path), profile_result::kOk);
    EXPECT_EQ(LoadSettingsFile(path), SettingsValues{});

    // Every key changed, over the file just written.
    SettingsValues changed = EveryKeyChanged();
    ASSERT_EQ(SaveSettingsFile(changed, path), profile_result::kOk);
    SettingsValues loaded = LoadSettingsFile(path);
    // DotLen and ShortPauseLen are written for other programs, never read.
    EXPECT_EQ(loaded.DotLen, 662);
    loaded.DotLen = changed.DotLen;
    loaded.ShortPauseLen = changed.ShortPauseLen;
    // Whether a window exists is a fact of the run, not of the file.
    EXPECT_FALSE(loaded.Scan.Created);
    loaded.Scan.Created = loaded.Setup.Created = true;
    EXPECT_EQ(loaded, changed);

    ProfileFile file(path);
    file.Load();
    EXPECT_TRUE(ReadStartupOnTop(file));
}

TEST(Settings, ConvertsAndValidatesOnTheWayIn) {
    const struct {
        const char* lines;
        double SettingsValues::*real;
        int SettingsValues::*integer;
        double expected;
    } cases[] = {
        // the sampling rate: comma accepted; empty, non-numeric, non-positive
        // and infinite rates keep 11025
        {"SamplingFreq=11024,5", &SettingsValues::SamplingFreq, nullptr, 11024.5},
        {"SamplingFreq= 1.1e4xyz", &SettingsValues::SamplingFreq, nullptr, 11000.0},
        {"SamplingFreq=", &SettingsValues::SamplingFreq, nullptr, 11025.0},
        {"SamplingFreq=abc", &SettingsValues::SamplingFreq, nullptr, 11025.0},
        {"SamplingFreq=-8000", &SettingsValues::SamplingFreq, nullptr, 11025.0},
        {"SamplingFreq=inf", &SettingsValues::SamplingFreq, nullptr, 11025.0},
        // levels in 1/10000
        {"DetectorThreshold=4", &SettingsValues::DetectorThreshold, nullptr, 0.0004},
        {"SquelchThreshold=-3", &SettingsValues::SquelchThreshold, nullptr, -0.0003},
        // integers like "%d"; not a number or too large keeps the default
        {"ExCanal= +12abc", nullptr, &SettingsValues::ExCanal, 12},
        {"ExCanal=abc", nullptr, &SettingsValues::ExCanal, 1},
        {"ExCanal=99999999999", nullptr, &SettingsValues::ExCanal, 1},
        {"WheelSpeed=-2147483648", nullptr, &SettingsValues::WheelSpeed, -2147483648.0},
        // the local AFC deviation in 5 Hz units, held by a 5..3000 spin control
        {"AfcDeviation=7", nullptr, &SettingsValues::AfcDeviation, 35},
        {"AfcDeviation=0", nullptr, &SettingsValues::AfcDeviation, 5},
        {"AfcDeviation=2000000000", nullptr, &SettingsValues::AfcDeviation, 3000},
        {"AFC_Limit=4000", nullptr, &SettingsValues::AfcLimit, 3000},
        // bins: the receive bin as is, inside the band only
        {"RxFreqBin=557", nullptr, &SettingsValues::RxBin, 557},
        {"RxFreqBin=5000", nullptr, &SettingsValues::RxBin, 186},
        // hertz to bin with the rate just read, taken when 32 < bin < 558
        {"FFTCenterFreq=100", nullptr, &SettingsValues::DisplayCentreBin, 295},
        {"FFTCenterFreq=1000", nullptr, &SettingsValues::DisplayCentreBin, 186},
        {"SamplingFreq=22050\nFFTCenterFreq=1000", nullptr, &SettingsValues::DisplayCentreBin, 93},
        {"FFTCenterFreq=3001", nullptr, &SettingsValues::DisplayCentreBin, 557},
        {"FFTCenterFreq=3002", nullptr, &SettingsValues::DisplayCentreBin, 295},
        {"TxFreq=3000", nullptr, &SettingsValues::TxBin, 557},
        {"TxFreq=3000", nullptr, &SettingsValues::ScanStartBin, 248},
        {"TxFreq=0", nullptr, &SettingsValues::ScanStartBin, 40},
        {"TxFreq=1500", nullptr, &SettingsValues::ScanStartBin, 128},
        {"TxFreq=100", nullptr, &SettingsValues::TxBin, 186},
        // lists and ranges
        {"Zoom=7", nullptr, &SettingsValues::ZoomFactor, 1},
        {"OutSoundCardNumber=10", nullptr, &SettingsValues::OutSoundCardNumber, -1},
        {"OutSoundCardNumber=0", nullptr, &SettingsValues::OutSoundCardNumber, 0},
        {"SoundCardNumber=-7", nullptr, &SettingsValues::SoundCardNumber, -1},
        {"InputCardChannel=3", nullptr, &SettingsValues::InputCardChannel, 0},
        {"RigNumber=3", nullptr, &SettingsValues::RigNumber, 1},
        {"Charset=7", nullptr, &SettingsValues::Charset, 0},
        // the burst filter divides by its length
        {"CwFilterTreshold=0", nullptr, &SettingsValues::BurstLength, 175},
        // no checks here: the decoder orders and limits the speed pair
        {"LowerSpeed=900\nHigherSpeed=2", nullptr, &SettingsValues::HigherSpeed, 2},
        {"TuneRig=5", nullptr, &SettingsValues::TuneRig, 5},
    };
    for (const auto& c : cases) {
        const SettingsValues v = FromText(std::string("[quelp]\n") + c.lines + "\n");
        const double got = c.real ? v.*c.real : static_cast<double>(v.*c.integer);
        EXPECT_DOUBLE_EQ(got, c.expected) << c.lines;
    }

    const SettingsValues v = FromText(
        "[Quelp]\nUserCharsetFile=\"/a b/c.txt\"\nAfcEnabled=0\nOnTop=5\n"
        "[RxFont]\nName=\"Courier New\"\nStyle=17\n[MainScreen]\nLeft=-300\n");
    EXPECT_EQ(v.UserCharsetFile, "/a b/c.txt");
    EXPECT_FALSE(v.Afc);
    EXPECT_TRUE(v.AlwaysOnTop);
    EXPECT_EQ(v.RxFont.Name, "Courier New");
    EXPECT_EQ(v.RxFont.Style, 1);  // only the four style bits mean anything
    EXPECT_EQ(v.Window.Left, -300);
}

TEST(Settings, WritesTheStoredFormsInTheSaveOrder) {
    SettingsValues v;
    v.SamplingFreq = 11024.87;
    v.AfcDeviation = 52;  // a position between steps is stored truncated
    v.DetectorThreshold = 0.00049;
    v.MinAutoThreshold = 0.0010999;
    v.TxBin = 557;
    v.UserCharsetFile = "/x y/z.txt";
    ProfileFile f;
    WriteSettings(v, f);
    const std::string text = f.Serialize();
    for (const char* line : {"SamplingFreq=11024.87\n", "AfcDeviation=10\n",
                             "DetectorThreshold=4\n", "MinAutoThreshold=10\n", "TxFreq=2998\n",
                             "FFTCenterFreq=1588\n", "UserCharsetFile=\"/x y/z.txt\"\n",
                             "Name=\"MS Sans Serif\"\n", "BkgColor=-2147483643\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(FromText(text).DetectorThreshold, 0.0004);

    // The main section first, then the window section and the receive font;
    // no window groups unless their windows exist.
    EXPECT_EQ(text.find("[Quelp]\nAutoThreshold=1\nOnTop=0\n"), 0u);
    EXPECT_NE(text.find("SquelchEnabled=0\nEnableManualLimit=0\n\n[MainScreen]"),
              std::string::npos);
    EXPECT_LT(text.find("[MainScreen]\nLeft="), text.find("[RxFont]\nName="));
    EXPECT_EQ(text.find("[ScanScreen]"), std::string::npos);
    EXPECT_EQ(text.find("[SetupScreen]"), std::string::npos);
}

TEST(Settings, ASaveKeepsEverythingElseInTheFile) {
    TempDir dir;
    const fs::path path = dir / "QUELP.INI";
    const std::string foreign =
        "; written by hand\r\n"
        "[Logger]\r\n"
        "Call=\"dl1abc\"\r\n"
        "\r\n"
        "[ScanScreen]\r\n"
        "Left=77\r\n";
    WriteFile(path, foreign + "[Quelp]\r\nZoom=2\r\nMyOwnKey=x\r\n\r\n[Tail]\r\nk=1");
    SettingsValues v = LoadSettingsFile(path);
    EXPECT_EQ(v.ZoomFactor, 2);
    EXPECT_EQ(v.Scan.Left, 77);
    v.Scan.Left = 5;  // the window was not created in this run: not saved
    ASSERT_EQ(SaveSettingsFile(v, path), profile_result::kOk);

    const std::string after = ReadFile(path);
    EXPECT_EQ(after.substr(0, foreign.size()), foreign);
    EXPECT_NE(after.find("[Quelp]\r\nZoom=2\r\nMyOwnKey=x\r\nAutoThreshold=1\r\n"),
              std::string::npos);
    EXPECT_NE(after.find("EnableManualLimit=0\r\n\r\n[Tail]\r\nk=1\r\n\r\n[MainScreen]\r\n"),
              std::string::npos);
    EXPECT_EQ(LoadSettingsFile(path).Scan.Left, 77);
}

TEST(Settings, AFailedSaveReportsThePathAndKeepsTheOldFile) {
    TempDir dir;
    const fs::path path = dir / "QUELP.INI";
    WriteFile(path, "[Quelp]\nZoom=5\n");
    ProfileSaveOptions options;
    options.sync = [](const fs::path&) { return false; };
    EXPECT_NE(SaveSettingsFile(SettingsValues{}, path, options), profile_result::kOk);
    EXPECT_EQ(ReadFile(path), "[Quelp]\nZoom=5\n");
    EXPECT_EQ(UnableToWriteText("./QUELP.INI"), "Unable to write to ./QUELP.INI");
}

}  // namespace
}  // namespace quelp
