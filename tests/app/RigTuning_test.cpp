// Rig tuning through the application: what the window's keys, mouse and
// setup dialog reach, with a scripted rig behind the server port.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/QuelpApp.h"
#include "settings/ProfileFile.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"
#include "support/ScriptedRig.h"
#include "support/ToneBlock.h"

namespace quelp {
namespace {

using test::ScriptedRig;
using namespace rig_param;

struct RigApp {
    ScriptedRig rig;
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    QuelpApp app{Ports()};

    QuelpPorts Ports() {
        QuelpPorts p{view, clock, dialogs, rx};
        p.rigServer = &rig;
        return p;
    }
    void Settings(const std::string& keys) {
        ProfileFile file;
        file.Parse("[Quelp]\n" + keys);
        app.ApplySettings(file);
    }
    const Tuning& Tune() const { return app.Rx().Tune(); }
};

TEST(RigTuning, AClickedSignalIsBroughtToTheMarkAndThePictureFollows) {
    RigApp r;
    r.app.SetTransmitBin(186);
    r.app.ClickTune(206);
    r.app.StartRigControl(tune_rig::kMainVfo);
    ASSERT_EQ(r.app.TuneRigToMark(), rig_tune::kDone);
    EXPECT_EQ(r.rig.values[RigProperty::FreqA], 7010000 + 108);
    EXPECT_EQ(r.Tune().SignalBin(), 186);
    EXPECT_EQ(r.Tune().CentreBin(), 186);
    EXPECT_EQ(r.app.Rx().Chain().PhaseStep, 16 * 186);
    EXPECT_EQ(r.view.Status(panel::Frequency), "1001 Hz");
    EXPECT_EQ(r.app.Rx().Spectrum().PeakFreezeBlocks, 2);
}

TEST(RigTuning, ThePeakPictureShiftsWithTheRigAndFades) {
    RigApp r;
    // A tone on bin 206 leaves its peak there; the mark is 20 bins lower.
    const auto tone = test::ToneBlock(206, 8000.0);
    r.app.ProcessBlock(tone.data(), 1);
    const double before = r.app.Rx().Spectrum().SpectrumPeak[206];
    ASSERT_GT(before, 0.5);
    r.app.SetTransmitBin(186);
    r.app.ClickTune(206);
    r.app.StartRigControl(tune_rig::kRit);
    ASSERT_EQ(r.app.TuneRigToMark(), rig_tune::kDone);
    const auto& peak = r.app.Rx().Spectrum().SpectrumPeak;
    EXPECT_DOUBLE_EQ(peak[186], before * 0.1);
    EXPECT_LT(peak[206], before * 0.01);
    for (int bin = kLastBin - 19; bin <= kLastBin; ++bin) EXPECT_EQ(peak[bin], 0.0) << bin;
    // The next two blocks cannot raise the peak at the old place again.
    r.app.ProcessBlock(tone.data(), 1);
    r.app.ProcessBlock(tone.data(), 1);
    EXPECT_LT(peak[206], before * 0.01);
    r.app.ProcessBlock(tone.data(), 1);
    EXPECT_GT(peak[206], 0.5);
}

TEST(RigTuning, TheWheelMovesTheRigInsteadOfTheFilterWhileRigTuningIsOn) {
    RigApp r;
    r.app.ClickTune(206);
    r.app.WheelTune(60);
    EXPECT_EQ(r.rig.Writes(), std::vector<std::string>{});
    EXPECT_NE(r.app.Rx().Tune().PhaseStep(), 16 * 206);

    RigApp on;
    on.app.ClickTune(206);
    on.app.StartRigControl(tune_rig::kMainVfo);
    on.app.WheelTune(60);
    EXPECT_EQ(on.rig.Writes(), std::vector<std::string>{"set FreqA 7010060"});
    EXPECT_EQ(on.Tune().PhaseStep(), 16 * 206);
}

TEST(RigTuning, GoToMaxRetunesTheRigOnlyWhenItMovedAndTuningIsOn) {
    RigApp r;
    const auto tone = test::ToneBlock(250, 8000.0);
    r.app.ProcessBlock(tone.data(), 1);
    r.app.GoToMaxButtonClick();  // tuning off
    EXPECT_TRUE(r.rig.Writes().empty());

    r.app.StartRigControl(tune_rig::kMainVfo);
    r.app.SetSquelch(true, 100.0);  // no peak reaches the squelch level
    r.app.GoToMaxButtonClick();
    EXPECT_TRUE(r.rig.Writes().empty());
    r.app.SetSquelch(false, 100.0);
    r.app.GoToMaxButtonClick();
    // From the start bin 186 to 250: 64 bins, 345 Hz.
    EXPECT_EQ(r.rig.Writes(), std::vector<std::string>{"set FreqA 7010345"});
    EXPECT_EQ(r.Tune().SignalBin(), 186);
}

TEST(RigTuning, AnInvalidRigNumberInTheSettingsLeavesRigOne) {
    RigApp r;
    r.Settings("RigNumber=3\nTuneRig=1\n");
    r.app.StartRigControl(r.app.Params().TuneRig);
    EXPECT_EQ(r.rig.selected, 1);
    EXPECT_EQ(r.view.Status(panel::TuneBy), "RIT");
}

TEST(RigTuning, TheSetupDialogsChoiceIsAppliedWhenItChanged) {
    RigApp r;
    EXPECT_EQ(r.app.ApplyRigChoice(1, 0), 0);  // nothing changed
    EXPECT_TRUE(r.rig.calls.empty());
    EXPECT_EQ(r.app.ApplyRigChoice(2, 0), 0);  // a new rig, tuning off: nothing to connect
    EXPECT_EQ(r.app.Params().RigNumber, 2);
    EXPECT_EQ(r.app.ApplyRigChoice(2, 1), 1);
    EXPECT_EQ(r.rig.selected, 2);
    r.rig.reachable = {2};
    EXPECT_EQ(r.app.ApplyRigChoice(1, 1), 0);  // rig 1 does not open
    EXPECT_EQ(r.view.messages.back().first, "Problem with OmniRig starting!");
    EXPECT_EQ(r.app.ApplyRigChoice(5, 2), 0);  // 5 is no rig: rig 1 stays
    EXPECT_EQ(r.app.Params().RigNumber, 1);
}

TEST(RigTuning, CtrlUSwitchesTheLastModeOnAndOff) {
    RigApp r;
    r.Settings("TuneRig=0\nLastTuneRig=1\n");
    r.app.ToggleRigTuning();
    EXPECT_EQ(r.app.Params().TuneRig, 1);
    EXPECT_EQ(r.view.Status(panel::TuneBy), "RIT");
    r.app.ToggleRigTuning();
    EXPECT_EQ(r.app.Params().TuneRig, 0);
    EXPECT_EQ(r.view.Status(panel::TuneBy), "");
}

}  // namespace
}  // namespace quelp
