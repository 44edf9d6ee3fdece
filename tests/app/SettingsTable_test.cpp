// The settings file against the application's live state, key by key from
// the table: what a load leaves in the receiver, the decoder and the window,
// and what a save writes back.

#include "app/SettingsTable.h"

#include <gtest/gtest.h>

#include <string>

#include "app/QuelpApp.h"
#include "app/ReceiverRig.h"
#include "settings/TempDir.h"
#include "support/FakeCaptureSink.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct AppRig {
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    test::FakeCaptureSink sink;
    QuelpApp app{{view, clock, dialogs, rx, &sink}};

    // Start-up with this settings file (which need not exist).
    explicit AppRig(const fs::path& settings) {
        app.DeferredInit(StartupOptions::ForDecoder(settings.string()));
    }
    // The file a save writes.
    std::string Saved(const fs::path& path) {
        EXPECT_EQ(app.SaveSettingsTo(path.string()), SettingsSaveResult::Saved);
        return ReadFile(path);
    }
};

std::string Value(const std::string& fileText, std::string_view section, std::string_view key) {
    ProfileFile f;
    f.Parse(fileText);
    return f.GetString(section, key, "(absent)");
}

// The file a save of the built-in state writes, byte for byte: the key
// order is the file's layout, and other programs read these keys.
constexpr std::string_view kDefaultFile =
    "[Quelp]\nAutoThreshold=1\nOnTop=0\nAutoGoToMax=0\nAfcEnabled=1\nSamplingFreq=11025\n"
    "AfcDeviation=10\nAFC_Limit=300\nRxFreqBin=186\nDetectorThreshold=1000\n"
    "MinAutoThreshold=10\nSquelchThreshold=50\nCwFilterTreshold=175\nFilterWidth=140\n"
    "SoundFilter=0\nCharset=0\nUserCharsetFile=\"\"\nExportIniFile=loginput.ini\n"
    "ExportIniSection=QSO\nTxFreq=1001\nFFTCenterFreq=1588\nZoom=1\nLogarithmicSpectrum=1\n"
    "LogarithmicOsc=1\nReUseThresholdLimit=0\nReUseSpeedLimits=0\nPutTimeMarks=0\nUseUTC=1\n"
    "CatchWordByOneClick=0\nContestMode=0\nAfcAtClick=0\nCopyTransferredData=0\nExCanal=1\n"
    "SoundCardNumber=-1\nInputCardChannel=0\nOutputCardChannel=0\nOutSoundCardNumber=-1\n"
    "LastTuneRig=2\nTuneRig=0\nRigNumber=1\nUseWheel=1\nWheelSpeed=2\nSpeedLocked=0\n"
    "LowerSpeed=100\nHigherSpeed=150\nDotLen=662\nShortPauseLen=662\nSquelchEnabled=0\n"
    "EnableManualLimit=0\n\n[MainScreen]\nLeft=-1\nTop=-1\nHeight=-1\nWidth=-1\n"
    "SpectrumHeight=-1\nRxTextHeight=-1\nFFTBackground=16777215\nCurrSpectrumColor=16711680\n"
    "PeakSpectrumColor=32768\nRxMarkColor=255\nTxMarkColor=0\nOscBackground=16777215\n"
    "SignalColor=32768\nThresholdColor=255\n\n[RxFont]\nName=\"MS Sans Serif\"\nCharset=204\n"
    "Color=-2147483640\nHeight=-13\nPitch=0\nSize=10\nStyle=1\nBkgColor=-2147483643\n"
    "\n[Decoding]\nDecoder=classic\nSquelchDb=5.5\n";

TEST(SettingsTable, AMissingFileLeavesTheBuiltInStateAndSavesItInTheFixedLayout) {
    TempDir dir;
    AppRig r(dir / "QUELP.INI");
    EXPECT_FALSE(fs::exists(dir / "QUELP.INI"));  // loading never creates it
    EXPECT_EQ(r.Saved(dir / "out.ini"), kDefaultFile);
    EXPECT_EQ(r.view.Status(panel::Threshold), "Auto");
    EXPECT_TRUE(r.view.checked[UiItem::Zoom1]);
    EXPECT_EQ(r.view.texts[UiItem::LowSpeedEdit], "100");
    EXPECT_TRUE(r.view.messages.empty());
}

// Walks the table: every key that is read takes its sample value into the
// live state (a fresh save would write the default) and writes it back
// unchanged, so a key added later is covered without touching this test.
TEST(SettingsTable, EveryKeyReachesTheLiveStateAndRoundTrips) {
    TempDir dir;
    const std::string defaults = AppRig(dir / "none.ini").Saved(dir / "defaults.ini");
    int read = 0;
    for (const SettingRow& row : SettingsTable()) {
        SCOPED_TRACE(std::string(row.section) + "/" + std::string(row.key));
        if (row.apply == nullptr) {
            EXPECT_NE(Value(defaults, row.section, row.key), "(absent)");  // written only
            continue;
        }
        ++read;
        ASSERT_NE(row.sample, row.defaultText);
        std::string file = "[";
        file.append(row.section).append("]\n").append(row.key).append("=");
        file.append(row.sample).append("\n");
        WriteFile(dir / "in.ini", file);
        AppRig r(dir / "in.ini");
        // The other windows' groups are saved once those windows exist.
        if (row.group == SettingGroup::ScanWindow) r.app.SetScanWindowSettings(r.app.Window().Scan);
        if (row.group == SettingGroup::SetupWindow) {
            r.app.SetSetupWindowSettings(r.app.Window().Setup);
        }
        const std::string saved = r.Saved(dir / "out.ini");
        EXPECT_EQ(Value(saved, row.section, row.key), row.sample);
        if (row.group == SettingGroup::Main) {
            EXPECT_NE(Value(defaults, row.section, row.key), row.sample);
        }
    }
    EXPECT_GE(read, 83);  // every key the file held when this was written, and more later
}

TEST(SettingsTable, StoredTextsAreConvertedAndValidatedOnTheWayIn) {
    // (lines of [Quelp], key, what a save then writes for the key)
    const struct {
        const char* lines;
        const char* key;
        const char* saved;
    } cases[] = {
        // the sampling rate: comma accepted; empty, non-numeric, non-positive
        // and infinite rates keep 11025
        {"SamplingFreq=11024,5", "SamplingFreq", "11024.5"},
        {"SamplingFreq= 1.1e4xyz", "SamplingFreq", "11000"},
        {"SamplingFreq=", "SamplingFreq", "11025"},
        {"SamplingFreq=-8000", "SamplingFreq", "11025"},
        {"SamplingFreq=inf", "SamplingFreq", "11025"},
        {"SamplingFreq=1e300", "SamplingFreq", "11025"},  // no sound card runs so
        {"SamplingFreq=1e-300", "SamplingFreq", "11025"},
        // levels in 1/10000, truncated on the way out
        {"DetectorThreshold=4", "DetectorThreshold", "4"},
        {"SquelchThreshold=-3", "SquelchThreshold", "-3"},
        // integers like "%d"; not a number or too large keeps the default
        {"ExCanal= +12abc", "ExCanal", "12"},
        {"ExCanal=abc", "ExCanal", "1"},
        {"ExCanal=99999999999", "ExCanal", "1"},
        {"WheelSpeed=-2147483648", "WheelSpeed", "-2147483648"},
        // the local AFC deviation in 5 Hz units, held by a 5..3000 spin control
        {"AfcDeviation=0", "AfcDeviation", "1"},
        {"AfcDeviation=2000000000", "AfcDeviation", "600"},
        {"AFC_Limit=4000", "AFC_Limit", "3000"},
        // bins: the receive bin as is, inside the band only
        {"RxFreqBin=557", "RxFreqBin", "557"},
        {"RxFreqBin=5000", "RxFreqBin", "186"},
        // hertz to bin with the rate just read, taken when 32 < bin < 558
        {"FFTCenterFreq=100", "FFTCenterFreq", "1588"},
        {"SamplingFreq=22050\nFFTCenterFreq=1000", "FFTCenterFreq", "1001"},
        {"FFTCenterFreq=3002", "FFTCenterFreq", "1588"},
        {"TxFreq=3000", "TxFreq", "2998"},
        {"TxFreq=100", "TxFreq", "1001"},
        // lists and ranges
        {"Zoom=7", "Zoom", "1"},
        {"OutSoundCardNumber=10", "OutSoundCardNumber", "-1"},
        {"SoundCardNumber=12", "SoundCardNumber", "-1"},  // only 0..9 name a device
        {"SoundCardNumber=-7", "SoundCardNumber", "-1"},
        {"InputCardChannel=3", "InputCardChannel", "0"},
        {"RigNumber=3", "RigNumber", "1"},
        {"Charset=7", "Charset", "0"},
        // the user table only when its file loads; English without a message
        {"Charset=2\nUserCharsetFile=no such file.txt", "Charset", "0"},
        // the burst filter divides by its length
        {"CwFilterTreshold=0", "CwFilterTreshold", "175"},
        // the decoder orders and limits the speed pair
        {"LowerSpeed=900\nHigherSpeed=2", "LowerSpeed", "5"},
        {"TuneRig=5", "TuneRig", "5"},
        {"OnTop=5", "OnTop", "1"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        WriteFile(dir / "in.ini", std::string("[quelp]\n") + c.lines + "\n");
        AppRig r(dir / "in.ini");
        EXPECT_EQ(Value(r.Saved(dir / "out.ini"), "Quelp", c.key), c.saved);
        EXPECT_TRUE(r.view.messages.empty());
    }
}

TEST(SettingsTable, KeysThatActTogetherReachTheReceiverAndTheWindow) {
    TempDir dir;
    WriteFile(dir / "in.ini",
              "[Quelp]\nSpeedLocked=1\nLowerSpeed=200\nHigherSpeed=120\nTxFreq=3000\n"
              "RxFreqBin=300\nAutoThreshold=0\nDetectorThreshold=1234\nCwFilterTreshold=350\n"
              "Zoom=20\nAfcDeviation=25\n[RxFont]\nStyle=17\n");
    AppRig r(dir / "in.ini");
    const ReceiverStatus s = r.app.Rx().Status();
    EXPECT_EQ(s.LowerSpeed, 120);
    EXPECT_EQ(s.HigherSpeed, 200);
    EXPECT_EQ(r.app.Rx().Params().Speed.DotLen, 551);  // pulled into the locked window
    EXPECT_EQ(s.TxBin, 557);
    EXPECT_EQ(s.ScanStartBin, 248);
    EXPECT_EQ(s.SignalBin, 300);
    EXPECT_EQ(s.CentreBin, 300);
    EXPECT_EQ(r.app.Rx().Chain().PhaseStep, 4800);
    EXPECT_EQ(r.app.Rx().Chain().PhaseResetFlag, 1);  // from the burst length
    EXPECT_EQ(s.BurstLength, 350);
    EXPECT_EQ(r.app.Window().RxFont.Style, 1);  // only the four style bits mean anything
    EXPECT_TRUE(r.app.Window().ScaleDirty);
    EXPECT_EQ(r.view.Status(panel::Lpm), "120-200");
    EXPECT_TRUE(r.view.down[UiItem::SpeedLockButton]);
    EXPECT_EQ(r.view.Status(panel::Threshold), "0.123");
    EXPECT_TRUE(r.view.checked[UiItem::Zoom20]);
    EXPECT_FALSE(r.view.checked[UiItem::Zoom1]);
    EXPECT_EQ(r.view.texts[UiItem::AfcEdit], "125");
    EXPECT_FALSE(r.view.down[UiItem::AutoTresholdButton]);
}

TEST(SettingsTable, ReceiveBinIsSavedFromTheAfcAnchorWhileAfcIsOn) {
    TempDir dir;
    AppRig r(dir / "none.ini");
    r.app.SetReceiveBin(190);
    // A tone six bins up, within the local deviation: the AFC follows it.
    const auto tone = test::ToneBlock(196, 8000.0);
    for (int i = 0; i < 3; ++i) r.app.ProcessBlock(tone.data(), 1);
    ASSERT_EQ(r.app.Rx().Status().SignalBin, 196);
    ASSERT_EQ(r.app.Rx().Status().CentreBin, 190);
    EXPECT_EQ(Value(r.Saved(dir / "a.ini"), "Quelp", "RxFreqBin"), "190");
    r.app.SetAfc(false);
    EXPECT_EQ(Value(r.Saved(dir / "b.ini"), "Quelp", "RxFreqBin"), "196");
}

TEST(SettingsTable, ASaveKeepsEverythingElseInTheFile) {
    TempDir dir;
    const fs::path path = dir / "QUELP.INI";
    const std::string foreign =
        "; written by hand\r\n[Logger]\r\nCall=\"dl1abc\"\r\n\r\n[ScanScreen]\r\nLeft=77\r\n";
    WriteFile(path, foreign + "[Quelp]\r\nZoom=2\r\nMyOwnKey=x\r\n\r\n[Tail]\r\nk=1");
    AppRig r(path);
    EXPECT_EQ(r.app.Window().ZoomFactor, 2);
    EXPECT_EQ(r.app.Window().Scan.Left, 77);
    const std::string after = r.Saved(path);
    EXPECT_EQ(after.substr(0, foreign.size()), foreign);
    EXPECT_NE(after.find("[Quelp]\r\nZoom=2\r\nMyOwnKey=x\r\nAutoThreshold=1\r\n"),
              std::string::npos);
    EXPECT_NE(after.find("EnableManualLimit=0\r\n\r\n[Tail]\r\nk=1\r\n\r\n[MainScreen]\r\n"),
              std::string::npos);
    // Once the multi-channel window exists, its group is written.
    ScanWindowSettings scan = r.app.Window().Scan;
    scan.Left = 5;
    r.app.SetScanWindowSettings(scan);
    EXPECT_EQ(Value(r.Saved(path), "ScanScreen", "Left"), "5");
}

TEST(SettingsTable, AFailedSaveShowsThePathAndKeepsTheOldFile) {
    TempDir dir;
    const fs::path path = dir / "QUELP.INI";
    const std::string old = "[Quelp]\nRxFreqBin=300\n[Other]\nKey=kept\n";
    WriteFile(path, old);
    AppRig r(path);
    ProfileSaveOptions failing;
    failing.fault = [](SaveStep step) {
        return step == SaveStep::Rename ? FaultAction::Fail : FaultAction::Continue;
    };
    r.app.SetSettingsSaveOptions(failing);
    EXPECT_EQ(r.app.SaveSettings(), SettingsSaveResult::Failed);
    EXPECT_EQ(r.app.DisplayHoldOff(), 0);
    ASSERT_EQ(r.view.messages.size(), 1u);
    EXPECT_EQ(r.view.messages[0].first, "Unable to write to " + path.string());
    EXPECT_EQ(r.view.messages[0].second, "Error");
    EXPECT_EQ(ReadFile(path), old);
    // The automation server reports the failure itself.
    EXPECT_EQ(r.app.SaveSettings(false), SettingsSaveResult::Failed);
    EXPECT_EQ(r.view.messages.size(), 1u);
    // A folder where the file should be.
    EXPECT_EQ(r.app.SaveSettingsTo(dir.path().string()), SettingsSaveResult::Failed);
    EXPECT_EQ(r.view.messages.back().first, "Unable to write to " + dir.path().string());
}

TEST(SettingsTable, ASaveAskedForDuringASaveIsIgnored) {
    TempDir dir;
    const fs::path path = dir / "QUELP.INI";
    AppRig r(path);
    int nested = 0;
    SettingsSaveResult nestedResult = SettingsSaveResult::Saved;
    ProfileSaveOptions reentering;
    reentering.fault = [&](SaveStep step) {
        if (step == SaveStep::CreateTemp) {
            ++nested;
            nestedResult = r.app.SaveSettings();
        }
        return FaultAction::Continue;
    };
    r.app.SetSettingsSaveOptions(reentering);
    EXPECT_EQ(r.app.SaveSettings(), SettingsSaveResult::Saved);
    EXPECT_EQ(nested, 1);  // the nested call never reached the file
    EXPECT_EQ(nestedResult, SettingsSaveResult::Busy);
    EXPECT_TRUE(fs::exists(path));
}

}  // namespace
}  // namespace quelp
