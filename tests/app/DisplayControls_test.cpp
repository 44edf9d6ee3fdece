// The mouse on the spectrum, the wheel and the key table, without a window:
// what each gesture changes in the receiver, on the figures the window is
// known by (a 571-pixel spectrum centred on bin 295).

#include "app/DisplayControls.h"

#include <gtest/gtest.h>

#include "app/QuelpApp.h"
#include "display/SpectrumPicture.h"
#include "settings/ProfileFile.h"
#include "support/FakeAppPorts.h"
#include "support/ScriptedRig.h"
#include "support/ToneBlock.h"

namespace quelp {
namespace {

struct ControlsRig : test::FakeAppPorts {
    test::ScriptedRig rig;
    QuelpApp app{With(&rig)};
    DisplayControls controls{app, view};

    std::size_t RigWrites() const { return rig.writes.size(); }
    void Settings(const std::string& keys) {
        ProfileFile file;
        file.Parse("[Quelp]\n" + keys);
        app.ApplySettings(file);
    }
    ReceiverStatus Status() const { return app.Rx().Status(); }
    // The pointer over `bin` (or at pixel x with `atX`).
    SpectrumPointer At(int bin, HeldKeys held = {}, bool atX = false) const {
        const int zoom = app.Window().ZoomFactor;
        const int offset = ScaleOffset(571, zoom, app.Rx().Tune().DisplayCentreBin);
        return {atX ? bin : BinToX(offset, zoom, bin), 10, false, 571, 50, held};
    }
    void Click(const SpectrumPointer& p) {
        controls.SpectrumMouseDown(p);
        SpectrumPointer up = p;
        up.held.Left = up.held.Right = false;
        controls.SpectrumMouseUp(up);
    }
};

constexpr HeldKeys kLeft{.Left = true};
constexpr HeldKeys kRight{.Right = true};

TEST(DisplayControls, ClicksTuneWithinTheBand) {
    ControlsRig r;
    r.Click(r.At(250, kLeft));
    EXPECT_EQ(r.Status().SignalBin, 250);
    EXPECT_EQ(r.Status().CentreBin, 250);
    EXPECT_EQ(r.app.Rx().Tune().PhaseStep(), 16 * 250);
    EXPECT_EQ(r.view.Status(panel::Frequency), "1346 Hz");
    r.Click(r.At(2, kLeft, true));  // left of bin 32
    EXPECT_EQ(r.Status().SignalBin, 32);
    r.Click(r.At(570, kLeft, true));  // right of bin 558
    EXPECT_EQ(r.Status().SignalBin, 558);
    // On the scale the image sits a pixel to the left.
    SpectrumPointer scale = r.At(299, kLeft, true);
    scale.onScale = true;
    r.Click(scale);
    EXPECT_EQ(r.Status().SignalBin, 310);
}

TEST(DisplayControls, RightClickOrCtrlSetsTheTransmitMark) {
    ControlsRig r;
    r.Click(r.At(300, kRight));
    EXPECT_EQ(r.Status().TxBin, 300);
    EXPECT_EQ(r.Status().ScanStartBin, 152);
    EXPECT_EQ(r.Status().SignalBin, 186);  // the receive frequency stays
    r.Click(r.At(186, {.Ctrl = true, .Left = true}));
    EXPECT_EQ(r.Status().TxBin, 186);
    EXPECT_EQ(r.Status().ScanStartBin, 40);
    // Dragging shows the mark's frequency.
    r.controls.SpectrumMouseMove(r.At(250, kRight));
    EXPECT_EQ(r.Status().TxBin, 250);
    EXPECT_EQ(r.view.Status(panel::Frequency), "1346 Hz");
}

TEST(DisplayControls, ShiftSetsTheSquelchOnlyWhileItIsOn) {
    ControlsRig r;
    const double before = r.Status().SquelchThreshold;
    r.Click(r.At(250, {.Shift = true, .Left = true}));
    EXPECT_EQ(r.Status().SquelchThreshold, before);
    EXPECT_EQ(r.Status().SignalBin, 186);
    r.app.SetSquelch(true, 0.5);
    SpectrumPointer p = r.At(250, {.Shift = true, .Left = true});
    p.y = 0;
    r.Click(p);
    EXPECT_DOUBLE_EQ(r.Status().SquelchThreshold, 1.0);
}

TEST(DisplayControls, AltDragPansByWholeBins) {
    ControlsRig r;
    r.app.SetZoom(4);
    const HeldKeys alt{.Alt = true, .Left = true};
    r.controls.SpectrumMouseDown({100, 10, false, 571, 50, alt});
    EXPECT_EQ(r.controls.PanAnchor(), 100);
    r.controls.SpectrumMouseMove({107, 10, false, 571, 50, alt});
    EXPECT_EQ(r.Status().DisplayCentreBin, 294);  // 7 / 4 = 1 bin
    EXPECT_EQ(r.controls.PanAnchor(), 104);       // the other 3 pixels count later
    r.controls.SpectrumMouseMove({108, 10, false, 571, 50, alt});
    EXPECT_EQ(r.Status().DisplayCentreBin, 293);
    EXPECT_EQ(r.Status().SignalBin, 186);  // panning does not tune
    // At the band's edge the centre stays and the anchor moves on.
    r.app.SetDisplayCentreBin(33);
    r.controls.SpectrumMouseMove({112, 10, false, 571, 50, alt});
    EXPECT_EQ(r.Status().DisplayCentreBin, 33);
    EXPECT_EQ(r.controls.PanAnchor(), 112);
    r.controls.SpectrumMouseUp({112, 10, false, 571, 50, {.Alt = true}});
    EXPECT_EQ(r.controls.PanAnchor(), -1);
}

TEST(DisplayControls, ReleaseRunsAfcStepsAndRetunesTheRig) {
    ControlsRig r;
    const std::vector<std::int16_t> tone = test::ToneBlock(250, 8000.0);
    r.app.ProcessBlock(tone.data(), 1);
    r.Click(r.At(248, kLeft));
    EXPECT_EQ(r.Status().SignalBin, 248);  // AfcAtClick off
    EXPECT_EQ(r.RigWrites(), 0u);
    r.Settings("AfcAtClick=1\n");
    r.app.SetTransmitBin(186);
    r.app.StartRigControl(tune_rig::kRit);
    r.Click(r.At(248, kLeft));
    EXPECT_EQ(r.Status().SignalBin, 186);  // the steps found 250, the rig moved it to the mark
    const std::size_t retuned = r.RigWrites();
    EXPECT_GT(retuned, 0u);
    EXPECT_EQ(r.app.PeakHideRepaints(), 3);
    // With Ctrl (the transmit mark) neither.
    r.Click(r.At(248, {.Ctrl = true, .Left = true}));
    EXPECT_EQ(r.RigWrites(), retuned);
}

TEST(DisplayControls, WheelTunesBySpeedQuarters) {
    ControlsRig r;
    const int start = r.app.Rx().Tune().PhaseStep();
    r.controls.Wheel(120);  // one notch at speed 2
    EXPECT_EQ(r.app.Rx().Tune().PhaseStep(), start + 60);
    EXPECT_EQ(r.app.Rx().Tune().AfcHoldBlocks, 2);
    r.controls.Wheel(-7);  // -3.5 truncates to -3
    EXPECT_EQ(r.app.Rx().Tune().PhaseStep(), start + 57);
    for (int i = 0; i < 200; ++i) r.controls.Wheel(120);
    EXPECT_EQ(r.app.Rx().Tune().PhaseStep(), 8896);
    EXPECT_EQ(r.Status().SignalBin, 556);
    r.Settings("WheelSpeed=-2147483648\n");  // no overflow
    r.controls.Wheel(120);
    EXPECT_EQ(r.app.Rx().Tune().PhaseStep(), 544);
    r.Settings("WheelSpeed=2\n");
    r.app.StartRigControl(tune_rig::kMainVfo);
    r.controls.Wheel(120);
    EXPECT_EQ(r.rig.values[RigProperty::FreqA], 7010000 + 60);
    EXPECT_EQ(r.app.PeakHideRepaints(), 3);
    r.Settings("UseWheel=0\n");
    r.controls.Wheel(120);
    EXPECT_EQ(r.rig.values[RigProperty::FreqA], 7010000 + 60);
}

TEST(DisplayControls, KeyTableAndItsModifierRules) {
    struct Case {
        int key;
        HeldKeys held;
        KeyCommand command;
    };
    const HeldKeys none{}, shift{.Shift = true}, alt{.Alt = true}, ctrl{.Ctrl = true};
    using A = KeyAction;
    for (const Case& c : {
             Case{vk::Escape, none, {A::Escape}},
             Case{vk::F(1), none, {A::Broadcast, 1}},
             Case{vk::F(10), none, {A::Broadcast, 10, true}},
             Case{vk::F(1), shift, {}},
             Case{vk::Pause, none, {A::Broadcast, 102}},
             Case{vk::ScrollLock, none, {A::Broadcast, 112}},
             Case{vk::Escape, ctrl, {}},
             Case{'5', alt, {A::Zoom, 5}},
             Case{'6', alt, {A::Zoom, 10}},
             Case{'7', {.Shift = true, .Alt = true}, {A::Zoom, 20}},
             Case{'8', alt, {}},
             Case{'Z', alt, {A::LogSpectrum}},
             Case{'Z', ctrl, {A::LogOscilloscope}},
             Case{'Z', {.Alt = true, .Ctrl = true}, {A::LogSpectrum}},  // Alt wins
             Case{'G', alt, {}},                                        // the button's own
             Case{vk::F(4), alt, {A::Broadcast, 28, true}},
             Case{vk::F(5), alt, {A::Broadcast, 29}},
             Case{vk::F(6), alt, {A::Broadcast, 30, true}},
             Case{vk::F(4), ctrl, {A::Broadcast, 16, true}},
             Case{vk::F(12), {.Shift = true, .Ctrl = true}, {A::Broadcast, 24}},
             Case{'S', ctrl, {A::SaveBuffer, 0, true}},
             Case{'P', ctrl, {A::Broadcast, 102}},
             Case{'T', ctrl, {A::Broadcast, 112}},
             Case{'U', ctrl, {A::RigTuning}},
             Case{'A', none, {}},
         }) {
        EXPECT_EQ(LookUpKey(c.key, c.held), c.command) << c.key;
    }
}

TEST(DisplayControls, CursorFollowsTheModifierAndTheFocusIsParkedOnce) {
    ControlsRig r;
    std::vector<bool> cursors;
    int focus = 0;
    r.controls.SetHooks({[&](bool pan) { cursors.push_back(pan); }, [&] { ++focus; }, nullptr});
    r.controls.KeyDown(0, {.Alt = true});
    r.controls.KeyDown('X', {.Alt = true});  // mode unchanged: nothing
    r.controls.KeyDown(0, {.Ctrl = true});
    EXPECT_EQ(cursors, (std::vector<bool>{true, false}));
    r.controls.SpectrumMouseMove(r.At(250));
    r.controls.SpectrumMouseMove(r.At(251));
    EXPECT_EQ(focus, 1);
    r.controls.ReleaseWheelFocus();
    r.controls.SpectrumMouseMove(r.At(250));
    EXPECT_EQ(focus, 2);
}

}  // namespace
}  // namespace quelp
