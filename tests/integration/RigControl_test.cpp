#include "integration/RigControl.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/FakeClock.h"
#include "support/FakeMainView.h"
#include "support/ScriptedRig.h"

namespace quelp {
namespace {

using test::ScriptedRig;
using namespace rig_param;
using Messages = std::vector<std::pair<std::string, std::string>>;

class StillTarget : public RigTuneTarget {
  public:
    double SamplingFreq() const override { return 11025.0; }
    int SignalBin() const override { return 206; }
    int TxBin() const override { return 186; }
    void FreezeSpectrumPeak() override {}
    void ReceiveAtMark() override {}
    void ShiftSpectrumPeak(int) override {}
};

struct ControlRig {
    ScriptedRig rig;
    test::FakeClock clock;
    test::FakeMainView view;
    StillTarget target;
    int tuneRig = 0;
    int lastTuneRig = 2;
    int rigNumber = 1;
    RigControl control{&rig, clock, view, target, {tuneRig, lastTuneRig, rigNumber}};

    std::string Panel7() const { return view.Status(panel::TuneBy); }
};

TEST(RigControl, StartingShowsTheModeAndRemembersIt) {
    struct Case {
        int mode;
        int tuneRig;
        const char* panel;
        int lastTuneRig;
    };
    const Case cases[] = {{1, 1, "RIT", 1}, {2, 2, "VFO", 2}, {0, 0, "", 2}, {7, 0, "", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ControlRig r;
        r.rigNumber = 2;
        r.control.StartRigControl(c.mode);
        EXPECT_EQ(r.tuneRig, c.tuneRig);
        EXPECT_EQ(r.Panel7(), c.panel);
        EXPECT_EQ(r.lastTuneRig, c.lastTuneRig);
        EXPECT_TRUE(r.view.messages.empty());
        EXPECT_EQ(r.rig.selected, c.tuneRig != 0 ? 2 : 0);
    }
}

TEST(RigControl, ARigThatCannotStartTurnsTuningOffWithItsMessage) {
    struct Case {
        const char* what;
        int mode;
        void (*setup)(ControlRig&);
        const char* message;
    };
    const Case cases[] = {
        {"no server", 2, [](ControlRig& r) { r.rig.createWorks = false; },
         "Problem with OmniRig starting!"},
        {"the rig cannot be opened", 2, [](ControlRig& r) { r.rig.reachable = {}; },
         "Problem with OmniRig starting!"},
        {"the mode read fails after connecting", 2,
         [](ControlRig& r) {
             r.rig.script[RigProperty::Mode] = {kCwUpper};
             r.rig.failing.insert(RigProperty::Mode);
         },
         "Problem with OmniRig starting!"},
        {"no answer", 2, [](ControlRig& r) { r.rig.values[RigProperty::Mode] = kUnknown; },
         "RIG doesn't answer!"},
        {"RIT offset not writable", 1,
         [](ControlRig& r) { r.rig.values[RigProperty::Writable] = kFreqA | kFreqB; },
         "This RIG does not support software RIT control!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControlRig r;
        c.setup(r);
        r.control.StartRigControl(c.mode);
        EXPECT_EQ(r.tuneRig, 0);
        EXPECT_EQ(r.Panel7(), "");
        EXPECT_EQ(r.view.messages, (Messages{{c.message, "OmniRig Error"}}));
        EXPECT_EQ(r.lastTuneRig, 2);
    }
}

TEST(RigControl, TheModeIsAskedSixTimesWithinOneAndAHalfSeconds) {
    ControlRig r;
    r.rig.values[RigProperty::Mode] = kUnknown;
    r.control.StartRigControl(2);
    // The connect's own read, then six in the wait.
    EXPECT_EQ(r.rig.Reads(RigProperty::Mode), 1 + 6);
    EXPECT_EQ(r.clock.elapsed, 1500);

    // Answering on the last of them is in time.
    ControlRig late;
    late.rig.script[RigProperty::Mode] = {kCwUpper, kUnknown, kUnknown,
                                          kUnknown, kUnknown, kUnknown};
    late.control.StartRigControl(2);
    EXPECT_EQ(late.tuneRig, 2);
    EXPECT_TRUE(late.view.messages.empty());
}

TEST(RigControl, TheToggleKeySwitchesTheLastModeOnAndOff) {
    ControlRig r;
    r.lastTuneRig = 1;
    r.control.ToggleRigTuning();
    EXPECT_EQ(r.tuneRig, 1);
    EXPECT_EQ(r.Panel7(), "RIT");
    r.control.ToggleRigTuning();
    EXPECT_EQ(r.tuneRig, 0);
    EXPECT_EQ(r.Panel7(), "");
    EXPECT_EQ(r.lastTuneRig, 1);
}

TEST(RigControl, ARigWithoutAUsableFrequencyTurnsTuningOff) {
    ControlRig r;
    r.rig.values[RigProperty::Writable] = kRitOffset;
    r.control.StartRigControl(2);
    ASSERT_EQ(r.tuneRig, 2);
    EXPECT_EQ(r.control.TuneToMark(), rig_tune::kNoFrequency);
    EXPECT_EQ(r.tuneRig, 0);
    EXPECT_EQ(r.Panel7(), "");
    EXPECT_EQ(
        r.view.messages,
        (Messages{{"The RIG command set is not supported! Ask developer ...", "OmniRig Error"}}));
    // Off now: the wheel and clicks leave the rig alone.
    r.rig.calls.clear();
    EXPECT_EQ(r.control.TuneBy(60), rig_tune::kNoTuning);
    EXPECT_TRUE(r.rig.calls.empty());

    // Other failures are silent and leave tuning on.
    ControlRig quiet;
    quiet.control.StartRigControl(2);
    quiet.rig.values[RigProperty::Vfo] = kUnknown;
    EXPECT_EQ(quiet.control.TuneToMark(), rig_tune::kNoVfo);
    EXPECT_EQ(quiet.tuneRig, 2);
    EXPECT_TRUE(quiet.view.messages.empty());
}

TEST(RigControl, TheGoButtonSaysWhenTheServerCannotShowItsWindow) {
    ControlRig r;
    r.control.ShowSetup();
    EXPECT_TRUE(r.view.messages.empty());
    r.rig.setupWorks = false;
    r.control.ShowSetup();
    EXPECT_EQ(r.view.messages, (Messages{{"Problem with OmniRig starting!", "OmniRig Error"}}));
}

}  // namespace
}  // namespace quelp
