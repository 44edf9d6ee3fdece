// The setup dialog's values without the dialog: what LoadSetupDialog puts in
// the controls, and what ApplySetupDialog takes back. The dialog as the
// operator meets it is the window tests' (tests/ui/TSetupForm_test.cpp).

#include "app/SetupDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/QuelpApp.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"
#include "support/FakeSoundDriver.h"

namespace quelp {
namespace {

struct Rig {
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    test::FakeSoundDriver input;
    test::FakeSoundDriver output;
    test::FakeSoundDriver* noEvents = nullptr;
    QuelpApp app{Ports()};
    std::vector<std::string> calls;

    Rig() {
        input.names = {"Line In", "USB Codec", "Mic"};
        output.names = {"Speakers"};
        ScanFormHooks scan;
        scan.create = [this] { calls.push_back("create scan"); };
        scan.applyFont = [this] { calls.push_back("scan font"); };
        scan.setMainStayOnTop = [this](bool on) { calls.push_back(on ? "top" : "normal"); };
        app.SetScanFormHooks(std::move(scan));
        WindowHooks window;
        window.applyAppearance = [this] { calls.push_back("appearance"); };
        app.SetWindowHooks(std::move(window));
        SetupFormHooks setup;
        setup.open = [this](int page) { calls.push_back("open " + std::to_string(page)); };
        app.SetSetupFormHooks(std::move(setup));
    }
    QuelpPorts Ports() {
        QuelpPorts p{view, clock, dialogs, rx};
        p.soundInDriver = &input;  // no event loop: lists only, no live input
        p.soundOutDriver = &output;
        return p;
    }
};

TEST(SetupDialog, TextsOfTheControls) {
    test::FakeSoundDriver driver;
    driver.names = {"A", "B"};
    const std::vector<std::string> list = setup::DeviceList(&driver);
    ASSERT_EQ(list.size(), 12u);
    EXPECT_EQ(list[0], "DEFAULT");
    EXPECT_EQ(list[1], "0  A");
    EXPECT_EQ(list[2], "1  B");
    EXPECT_EQ(list[3], "2  ");
    EXPECT_EQ(list[11], "10  ");
    driver.names.assign(14, "x");  // more than the list holds
    EXPECT_EQ(setup::DeviceList(&driver)[11], "10  x");
    EXPECT_EQ(setup::DeviceList(nullptr)[1], "0  ");
    EXPECT_EQ(setup::DeviceEntry(-1), 0);
    EXPECT_EQ(setup::DeviceEntry(9), 10);

    EXPECT_EQ(setup::FormatSamplingRate(11025.0), "11025.00");
    EXPECT_EQ(setup::FormatSamplingRate(8000.125), "08000.12");
    const struct {
        const char* text;
        double rate;  // 0: refused
    } rates[] = {{"11025,5", 11025.5}, {" 11024.75 ", 11024.75},
                 {"8000", 8000.0},     {"7999", 0},
                 {"7999.999", 0},      {"", 0},
                 {"abc", 0},           {"11025x", 0},
                 {"inf", 0},           {"0x3000", 0},
                 {"1e300", 0},         {"-11025", 0}};
    for (const auto& r : rates) {
        const auto parsed = setup::ParseSamplingRate(r.text);
        EXPECT_EQ(parsed.value_or(0.0), r.rate) << r.text;
    }
    EXPECT_EQ(setup::PageOfAutomation(1), 0);
    EXPECT_EQ(setup::PageOfAutomation(6), 5);
    EXPECT_FALSE(setup::PageOfAutomation(7));
    EXPECT_FALSE(setup::PageOfAutomation(0));
}

TEST(SetupDialog, SamplePicturesFollowTheFormulas) {
    const auto peak = setup::SpectrumSampleCurve(107, 0.4);
    ASSERT_EQ(peak.size(), 51u);
    EXPECT_EQ(peak[0], (setup::Point{78, 106}));
    // i = 25: 1 - cos(3.1415) = 2, so 0.8 of the height above the bottom.
    EXPECT_EQ(
        peak[25],
        (setup::Point{103, static_cast<int>(106 - (1 - std::cos(0.12566 * 25)) * 0.4 * 107)}));
    EXPECT_EQ(peak[25].y, 20);
    EXPECT_EQ(setup::SpectrumSampleCurve(107, 0.25)[25].y, 52);
    EXPECT_EQ(setup::SpectrumSampleRxMarks(245, 107),
              (std::vector<setup::Segment>{
                  {{103, 106}, {103, 0}}, {{113, 106}, {113, 71}}, {{0, 85}, {245, 85}}}));
    EXPECT_EQ(setup::SpectrumSampleTxMark(107), (setup::Segment{{90, 106}, {90, 81}}));
    const auto signal = setup::OscSampleSignal(245, 64);
    ASSERT_EQ(signal.size(), 246u);
    EXPECT_EQ(signal[0], (setup::Point{0, 32}));
    EXPECT_EQ(signal[6].y, 16);  // sin(1.539) ~ 1: a quarter of the height up
    EXPECT_EQ(setup::OscSampleThreshold(245, 64), (setup::Segment{{0, 32}, {245, 32}}));
}

TEST(SetupDialog, LoadShowsTheProgramsState) {
    Rig rig;
    ProfileFile file;
    file.Parse(
        "[Quelp]\nSoundCardNumber=1\nOutSoundCardNumber=-1\nInputCardChannel=2\n"
        "SamplingFreq=11024.5\nCharset=3\nContestMode=1\nOnTop=1\nTuneRig=2\nRigNumber=2\n"
        "WheelSpeed=-3\nReUseSpeedLimits=1\n");
    rig.app.ApplySettings(file);
    const SetupValues v = rig.app.LoadSetupDialog();
    EXPECT_EQ(rig.calls, (std::vector<std::string>{"create scan"}));  // first of all
    EXPECT_TRUE(rig.app.ScanFormCreated());
    EXPECT_EQ(v.InDevices[2], "1  USB Codec");
    EXPECT_EQ(v.InDevice, 2);
    EXPECT_EQ(v.InChannel, 2);
    EXPECT_EQ(v.OutDevices[1], "0  Speakers");
    EXPECT_EQ(v.OutDevice, 0);
    EXPECT_EQ(v.SamplingRate, "11024.50");
    EXPECT_EQ(v.Charset, 3);
    EXPECT_TRUE(v.ContestMode);
    EXPECT_TRUE(v.AlwaysOnTop);
    EXPECT_EQ(v.RigNumber, 1);
    EXPECT_EQ(v.TuneRig, 2);
    EXPECT_EQ(v.WheelSpeed, -3);
    EXPECT_TRUE(v.ReUseSpeedLimits);
    EXPECT_EQ(v.RxFont, rig.app.Window().RxFont);
    EXPECT_EQ(v.Colours, rig.app.Window().Window);
    EXPECT_EQ(v.ScanFont, rig.app.Window().Scan.Font);
    rig.app.LoadSetupDialog();
    EXPECT_EQ(rig.calls.size(), 1u);  // created once
}

TEST(SetupDialog, ApplyTakesWhatChangedInThePartsOrder) {
    Rig rig;
    SetupValues v = rig.app.LoadSetupDialog();
    rig.calls.clear();
    // Nothing changed: no device restarts, no hooks.
    rig.app.ApplySetupDialog(v);
    EXPECT_TRUE(rig.calls.empty());
    EXPECT_TRUE(rig.output.calls.empty());

    v.OutDevice = 1;  // device 0
    v.AlwaysOnTop = true;
    v.AppearanceChanged = true;
    v.Colours.FFTBackground = 0x123456;
    v.Colours.Left = 999;  // not a colour: stays
    v.MultiDecoderChanged = true;
    v.ScanFont.Name = "Arial";
    v.TuneRig = 1;
    v.UseWheel = false;
    v.WheelSpeed = 7;
    rig.app.ApplySetupDialog(v);
    EXPECT_EQ(rig.calls, (std::vector<std::string>{"top", "appearance", "scan font"}));
    EXPECT_EQ(rig.app.Params().Cards.OutSoundCardNumber, 0);
    EXPECT_EQ(rig.view.Status(panel::OnTop), "On Top");
    EXPECT_EQ(rig.app.Window().Window.FFTBackground, 0x123456);
    EXPECT_EQ(rig.app.Window().Window.Left, -1);
    EXPECT_EQ(rig.app.Window().Scan.Font.Name, "Arial");
    EXPECT_FALSE(v.AppearanceChanged);
    EXPECT_FALSE(v.MultiDecoderChanged);
    EXPECT_EQ(rig.app.Params().TuneRig, 1);  // kept without rig control
    EXPECT_EQ(rig.app.Window().UseWheel, 0);
    EXPECT_EQ(rig.app.Window().WheelSpeed, 7);

    // "Go" without rig control.
    rig.app.ShowOmniSetupButton1Click();
    EXPECT_EQ(rig.view.messages.back(),
              std::make_pair(std::string("Problem with OmniRig starting!"),
                             std::string("OmniRig Error")));
}

TEST(SetupDialog, ButtonsHoldTheDisplaysAndOpenTheRightPage) {
    Rig rig;
    rig.app.Setup11Click();
    EXPECT_EQ(rig.app.DisplayHoldOff(), 1650);
    rig.app.ShowSetupPage(3);
    rig.app.ShowSetupPage(7);
    EXPECT_EQ(rig.calls, (std::vector<std::string>{"open -1", "open 2", "open -1"}));
    SetupValues v = rig.app.LoadSetupDialog();
    rig.app.SetupApplyClick(v);
    EXPECT_EQ(rig.app.DisplayHoldOff(), 3000);
    rig.calls.clear();
    v.AlwaysOnTop = true;
    rig.app.SetupOkClick(v);
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
    // Applied (on top), then the main window back on top after the dialog.
    EXPECT_EQ(rig.calls, (std::vector<std::string>{"top", "top"}));
    rig.app.Setup11Click();
    rig.app.SetupCloseClick();
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
}

}  // namespace
}  // namespace quelp
