// The settings file against the application's live state: what a load leaves
// in the receiver, the decoder and the window, and what a save writes back.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/QuelpApp.h"
#include "settings/TempDir.h"
#include "support/FakeCaptureSink.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp {
namespace {

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

    void Load(const std::filesystem::path& path) {
        app.Params().SettingsPath = path.string();
        app.LoadSettings();
    }
};

TEST(SettingsBinding, MissingFileLeavesEveryBuiltInValue) {
    TempDir dir;
    AppRig r;
    r.Load(dir / "QUELP.INI");
    QuelpApp& app = r.app;

    // The stored values as the live state holds them, then what follows
    // from them.
    EXPECT_EQ(app.CollectSettings(), SettingsValues{});
    EXPECT_EQ(app.Tune().CentreBin(), 186);
    EXPECT_EQ(app.Tune().PhaseStep(), 2976);
    EXPECT_EQ(app.Chain().PhaseStep, 2976);
    EXPECT_EQ(app.Params().UpperDotLimit, 662);
    EXPECT_EQ(app.Params().LowerDotLimit, 441);
    EXPECT_EQ(app.Params().DashLen, 1986);
    EXPECT_FALSE(app.Window().StayOnTop);

    // What the window shows.
    EXPECT_TRUE(r.view.down[UiItem::AutoTresholdButton]);
    EXPECT_TRUE(r.view.down[UiItem::AfcButton]);
    EXPECT_FALSE(r.view.down[UiItem::AutoGoToMaxButton]);
    EXPECT_FALSE(r.view.down[UiItem::SpeedLockButton]);
    EXPECT_EQ(r.view.texts[UiItem::LowSpeedEdit], "100");
    EXPECT_EQ(r.view.texts[UiItem::HighSpeedEdit], "150");
    EXPECT_TRUE(r.view.checked[UiItem::Zoom1]);
    EXPECT_EQ(r.view.Status(panel::Threshold), "Auto");
    EXPECT_TRUE(r.view.messages.empty());
    // Loading never creates the file.
    EXPECT_FALSE(std::filesystem::exists(dir / "QUELP.INI"));
}

// Changes every stored value through the operations the window uses.
void ChangeEverything(AppRig& r) {
    QuelpApp& app = r.app;
    Quelp_Params& p = app.Params();
    app.Detector().SetAutoDown(false);
    app.Window().AlwaysOnTop = true;
    app.Tune().SetAutoGoToMaxDown(true);
    app.Tune().SetAfcDown(false);
    p.SamplingFreq = 11020.5;
    app.Tune().Afc().SetPosition(125);
    app.Tune().AfcLimit().SetPosition(800);
    app.Tune().SetReceiveBin(250);
    app.Tune().DisplayCentreBin = 400;
    app.SetZoom(10);
    p.SquelchEnabled = 1;
    p.EnableManualLimit = 1;
    app.Tune().SetTransmitBin(330);
    // Levels exact in binary, so the 1/10000 units hold them.
    p.DetectorThreshold = 0.5;
    p.MinAutoThreshold = 0.25;
    p.SquelchThreshold = 0.125;
    app.Filters().SelectBurstFilter(100);
    app.Filters().SelectMainFilter(1000);
    app.Startup.soundFilterCode = [] { return 9998; };
    p.Charset = 3;
    p.UserCharsetFile = "my chars.txt";
    p.ExportIniFile = "log book.ini";
    p.ExportIniSection = "Contest";
    app.Window().LogarithmicSpectrum = 0;
    app.Window().LogarithmicOsc = 0;
    p.ReUseThresholdLimit = 1;
    p.ReUseSpeedLimits = 1;
    p.PutTimeMarks = 1;
    p.UseUTC = 0;
    p.CatchWordByOneClick = 1;
    p.ContestMode = 1;
    p.CopyTransferredData = 1;
    app.Window().AfcAtClick = 1;
    p.ExCanal = 3;
    p.SoundCardNumber = 2;
    p.InputCardChannel = 2;
    p.OutputCardChannel = 1;
    p.OutSoundCardNumber = 9;
    p.LastTuneRig = 1;
    p.TuneRig = 2;
    p.RigNumber = 2;
    app.Window().UseWheel = 0;
    app.Window().WheelSpeed = 5;
    p.SpeedLocked = 1;
    app.Decoder().SetSpeedLimits(200, 120);
    app.Window().Window = {10, 20, 300, 640, 80, 200, 1, 2, 3, 4, 5, 6, 7, 8};
    app.Window().RxFont = {"DejaVu Sans Mono", 0, 255, -15, 2, 11, 6, 16777215};
    app.Window().Scan = {true, 5, 6, 250, 500, 120, {"Liberation Mono", 1, 2, -12, 1, 9, 9, 3}};
    app.Window().Setup = {true, 70, 80};
}

TEST(SettingsBinding, SavedStateLoadsBackIntoASecondApplication) {
    TempDir dir;
    const auto path = dir / "QUELP.INI";
    AppRig first;
    ChangeEverything(first);
    ASSERT_TRUE(first.app.SaveSettingsTo(path.string()));

    AppRig second;
    int soundFilter = -1;
    second.app.Startup.setSoundFilterCode = [&](int code) { soundFilter = code; };
    second.Load(path);

    SettingsValues expected = first.app.CollectSettings();
    // The other windows' groups are read when those windows are created.
    expected.Scan.Created = false;
    expected.Setup.Created = false;
    EXPECT_EQ(second.app.CollectSettings(), expected);
    EXPECT_EQ(soundFilter, 9998);

    // The live state behind the record.
    const Tuning& t = second.app.Tune();
    EXPECT_EQ(t.SignalBin(), 250);
    EXPECT_EQ(t.PhaseStep(), 4000);
    EXPECT_EQ(second.app.Chain().PhaseStep, 4000);
    EXPECT_EQ(t.TxBin(), 330);
    EXPECT_EQ(t.ScanStartBin(), 176);
    EXPECT_EQ(second.app.Decoder().Burst.BurstLength, 350);
    EXPECT_EQ(second.app.Params().LowerSpeed, 120);
    EXPECT_EQ(second.app.Params().DotLen, 551);  // pulled into the locked window
    EXPECT_EQ(second.app.Params().UpperDotLimit, first.app.Params().UpperDotLimit);
    EXPECT_EQ(second.app.Params().LowerDotLimit, first.app.Params().LowerDotLimit);
    EXPECT_EQ(second.app.Params().DashLen, first.app.Params().DashLen);
    EXPECT_TRUE(second.view.down[UiItem::SpeedLockButton]);
    EXPECT_TRUE(second.view.checked[UiItem::Zoom10]);
    EXPECT_FALSE(second.view.checked[UiItem::Zoom1]);
    EXPECT_EQ(second.view.Status(panel::Threshold), "0.500");
    EXPECT_EQ(second.view.texts[UiItem::AfcEdit], "125");
    EXPECT_TRUE(second.view.messages.empty());
}

TEST(SettingsBinding, ReceiveBinIsSavedFromTheAfcAnchorWhileAfcIsOn) {
    TempDir dir;
    const auto path = dir / "QUELP.INI";
    AppRig r;
    r.app.Tune().SetReceiveBin(190);
    r.app.Spectrum().SpectrumPeak[196] = 1.0;  // within the local deviation
    r.app.Tune().AfcStep();
    ASSERT_EQ(r.app.Tune().SignalBin(), 196);
    ASSERT_EQ(r.app.Tune().CentreBin(), 190);

    for (const bool afc : {true, false}) {
        r.app.Tune().SetAfcDown(afc);
        ASSERT_TRUE(r.app.SaveSettingsTo(path.string()));
        AppRig back;
        back.Load(path);
        EXPECT_EQ(back.app.Tune().SignalBin(), afc ? 190 : 196) << "AFC " << afc;
        EXPECT_EQ(back.app.Tune().CentreBin(), afc ? 190 : 196);
    }
}

TEST(SettingsBinding, ThresholdIsTruncatedToWholeTenThousandths) {
    TempDir dir;
    const auto path = dir / "QUELP.INI";
    AppRig r;
    r.app.Params().DetectorThreshold = 0.00049;
    ASSERT_TRUE(r.app.SaveSettingsTo(path.string()));
    EXPECT_NE(ReadFile(path).find("\nDetectorThreshold=4\n"), std::string::npos);
    AppRig back;
    back.Load(path);
    EXPECT_DOUBLE_EQ(back.app.Params().DetectorThreshold, 0.0004);
}

TEST(SettingsBinding, StoredValuesReachTheLiveStateOrAreRefused) {
    struct Row {
        const char* keys;
        std::function<void(AppRig&)> check;
    };
    const Row rows[] = {
        {"FFTCenterFreq=100",  // bin 19 lies below the band
         [](AppRig& r) { EXPECT_EQ(r.app.Tune().DisplayCentreBin, 295); }},
        {"Zoom=7",
         [](AppRig& r) {
             EXPECT_EQ(r.app.Window().ZoomFactor, 1);
             EXPECT_TRUE(r.view.checked[UiItem::Zoom1]);
         }},
        {"Zoom=20",
         [](AppRig& r) {
             EXPECT_EQ(r.app.Window().ZoomFactor, 20);
             EXPECT_TRUE(r.view.checked[UiItem::Zoom20]);
             EXPECT_FALSE(r.view.checked[UiItem::Zoom1]);
             EXPECT_TRUE(r.app.Window().ScaleDirty);
         }},
        {"OutSoundCardNumber=10",
         [](AppRig& r) { EXPECT_EQ(r.app.Params().OutSoundCardNumber, -1); }},
        {"RigNumber=3", [](AppRig& r) { EXPECT_EQ(r.app.Params().RigNumber, 1); }},
        {"TxFreq=3000",
         [](AppRig& r) {
             EXPECT_EQ(r.app.Tune().TxBin(), 557);
             EXPECT_EQ(r.app.Tune().ScanStartBin(), 248);
         }},
        // Hertz convert at the rate read just before.
        {"SamplingFreq=22050\nTxFreq=1000", [](AppRig& r) { EXPECT_EQ(r.app.Tune().TxBin(), 93); }},
        {"RxFreqBin=300",
         [](AppRig& r) {
             EXPECT_EQ(r.app.Tune().SignalBin(), 300);
             EXPECT_EQ(r.app.Tune().CentreBin(), 300);
             EXPECT_EQ(r.app.Chain().PhaseStep, 4800);
         }},
        {"Charset=2\nUserCharsetFile=no such file.txt",
         [](AppRig& r) {
             EXPECT_EQ(r.app.Params().Charset, 0);
             EXPECT_TRUE(r.view.messages.empty());
         }},
        {"SpeedLocked=1\nLowerSpeed=200\nHigherSpeed=120",
         [](AppRig& r) {
             EXPECT_EQ(r.app.Params().LowerSpeed, 120);
             EXPECT_EQ(r.app.Params().HigherSpeed, 200);
             EXPECT_EQ(r.app.Params().DotLen, 551);
             EXPECT_EQ(r.view.Status(panel::Lpm), "120-200");
             EXPECT_TRUE(r.view.down[UiItem::SpeedLockButton]);
         }},
        {"AutoThreshold=0\nDetectorThreshold=1234",
         [](AppRig& r) { EXPECT_EQ(r.view.Status(panel::Threshold), "0.123"); }},
        {"CwFilterTreshold=350",
         [](AppRig& r) {
             EXPECT_EQ(r.app.Decoder().Burst.BurstLength, 350);
             EXPECT_EQ(r.app.Chain().PhaseResetFlag, 1);
         }},
        {"SoundFilter=9998",
         [](AppRig& r) { EXPECT_EQ(r.app.CollectSettings().SoundFilter, 9998); }},
        {"FilterWidth=2", [](AppRig& r) { EXPECT_EQ(r.app.Filters().MainFilterCode, 2); }},
    };
    TempDir dir;
    const auto path = dir / "QUELP.INI";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keys);
        WriteFile(path, std::string("[Quelp]\n") + row.keys + "\n");
        AppRig r;
        r.Load(path);
        row.check(r);
    }
}

TEST(SettingsBinding, FailedSaveShowsThePathAndKeepsTheOldFile) {
    TempDir dir;
    const auto path = dir / "QUELP.INI";
    const std::string old = "[Quelp]\nRxFreqBin=300\n[Other]\nKey=kept\n";
    WriteFile(path, old);

    AppRig r;
    r.app.Params().SettingsPath = path.string();
    r.app.DisplayHoldOff = 1650;
    r.app.SettingsSaveOptions.fault = [](SaveStep step) {
        return step == SaveStep::Rename ? FaultAction::Fail : FaultAction::Continue;
    };
    EXPECT_FALSE(r.app.SaveSettings());
    EXPECT_EQ(r.app.DisplayHoldOff, 0);
    ASSERT_EQ(r.view.messages.size(), 1u);
    EXPECT_EQ(r.view.messages[0].first, "Unable to write to " + path.string());
    EXPECT_EQ(r.view.messages[0].second, "Error");
    EXPECT_EQ(ReadFile(path), old);

    // The automation server reports the failure itself.
    EXPECT_FALSE(r.app.SaveSettings(false));
    EXPECT_EQ(r.view.messages.size(), 1u);

    // A folder where the file should be.
    AppRig f;
    EXPECT_FALSE(f.app.SaveSettingsTo(dir.path().string()));
    ASSERT_EQ(f.view.messages.size(), 1u);
    EXPECT_EQ(f.view.messages[0].first, "Unable to write to " + dir.path().string());
}

TEST(SettingsBinding, SaveAskedForDuringASaveIsIgnored) {
    TempDir dir;
    const auto path = dir / "QUELP.INI";
    AppRig r;
    r.app.Params().SettingsPath = path.string();
    int nested = 0;
    bool nestedResult = true;
    r.app.SettingsSaveOptions.fault = [&](SaveStep step) {
        if (step == SaveStep::CreateTemp) {
            ++nested;
            nestedResult = r.app.SaveSettings();
        }
        return FaultAction::Continue;
    };
    EXPECT_TRUE(r.app.SaveSettings());
    EXPECT_EQ(nested, 1);  // the nested call never reached the file
    EXPECT_FALSE(nestedResult);
    EXPECT_TRUE(r.view.messages.empty());
    EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace quelp
