// Rig tuning through the application: the receiver and its picture follow
// a retune, and go-to-max, the wheel and the setup dialog reach the rig.

#include <gtest/gtest.h>

#include "app/QuelpApp.h"
#include "support/FakeAppPorts.h"
#include "support/ScriptedRig.h"
#include "support/ToneBlock.h"

namespace quelp {
namespace {

struct RigApp : test::FakeAppPorts {
    test::ScriptedRig rig;
    QuelpApp app{With(&rig)};

    std::int32_t FreqA() { return rig.values[RigProperty::FreqA]; }
};

TEST(RigTuning, TheReceiverAndThePeakPictureFollowTheSignalToTheMark) {
    RigApp r;
    const auto tone = test::ToneBlock(206, 8000.0);
    r.app.ProcessBlock(tone.data(), 1);
    const auto& peak = r.app.Rx().Spectrum().SpectrumPeak;
    const double before = peak[206];
    r.app.SetTransmitBin(186);
    r.app.ClickTune(206);
    r.app.StartRigControl(tune_rig::kRit);
    ASSERT_EQ(r.app.TuneRigToMark(), rig_tune::kDone);

    EXPECT_EQ(r.app.Rx().Tune().SignalBin(), 186);
    EXPECT_EQ(r.app.Rx().Tune().CentreBin(), 186);
    EXPECT_EQ(r.app.Rx().Chain().PhaseStep, 16 * 186);
    EXPECT_EQ(r.view.Status(panel::Frequency), "1001 Hz");
    // The peak moved 20 bins down at a tenth of its height; the top 20 bins
    // had nothing to take.
    EXPECT_DOUBLE_EQ(peak[186], before * 0.1);
    EXPECT_LT(peak[206], before * 0.01);
    for (int bin = kLastBin - 19; bin <= kLastBin; ++bin) EXPECT_EQ(peak[bin], 0.0) << bin;
    // The two blocks still in flight cannot raise the old place again.
    r.app.ProcessBlock(tone.data(), 1);
    r.app.ProcessBlock(tone.data(), 1);
    EXPECT_LT(peak[206], before * 0.01);
    r.app.ProcessBlock(tone.data(), 1);
    EXPECT_GT(peak[206], before * 0.5);
}

TEST(RigTuning, GoToMaxAndTheWheelMoveTheRigOnlyWhileRigTuningIsOn) {
    RigApp r;
    const auto tone = test::ToneBlock(250, 8000.0);
    r.app.ProcessBlock(tone.data(), 1);
    r.app.WheelTune(60);  // off: the filter moves
    EXPECT_EQ(r.app.Rx().Tune().PhaseStep(), 16 * 186 + 60);
    r.app.ClickTune(186);
    r.app.StartRigControl(tune_rig::kMainVfo);
    r.app.GoToMaxButtonClick();
    EXPECT_EQ(r.FreqA(), 7010000 + 345);  // 186 to 250: 64 bins
    r.app.WheelTune(60);
    EXPECT_EQ(r.FreqA(), 7010000 + 345 + 60);
    EXPECT_EQ(r.app.Rx().Tune().SignalBin(), 186);  // the filter stays at the mark
}

TEST(RigTuning, TheSetupDialogsChoiceIsAppliedWhenItChanged) {
    RigApp r;
    EXPECT_EQ(r.app.ApplyRigChoice(1, 0), 0);
    EXPECT_EQ(r.rig.selected, 0);  // nothing changed, nothing connected
    EXPECT_EQ(r.app.ApplyRigChoice(2, 1), 1);
    EXPECT_EQ(r.rig.selected, 2);
    r.rig.reachable = {2};
    EXPECT_EQ(r.app.ApplyRigChoice(1, 1), 0);  // rig 1 does not open
    EXPECT_EQ(r.view.messages.back().first, "Problem with OmniRig starting!");
    EXPECT_EQ(r.app.ApplyRigChoice(5, 0), 0);  // 5 is no rig: rig 1 stays
    EXPECT_EQ(r.app.Params().RigNumber, 1);
}

}  // namespace
}  // namespace quelp
