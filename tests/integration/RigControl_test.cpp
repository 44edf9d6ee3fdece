// Rig tuning's starts, retries, result codes and messages, against a rig
// that answers from a script.

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

// The signal 20 bins above the mark; the receiver's moves are counted.
class FakeTarget : public RigTuneTarget {
  public:
    double SamplingFreq() const override { return 11025.0; }
    int SignalBin() const override { return 206; }
    int TxBin() const override { return 186; }
    void FreezeSpectrumPeak() override {}
    void ReceiveAtMark() override { ++moves; }
    void ShiftSpectrumPeak(int) override {}
    int moves = 0;
};

struct ControlRig {
    ScriptedRig rig;
    test::FakeClock clock;
    test::FakeMainView view;
    FakeTarget target;
    int tuneRig = 0, lastTuneRig = 2, rigNumber = 1;
    RigControl control{&rig, clock, view, target, {tuneRig, lastTuneRig, rigNumber}};
};

TEST(RigControl, ARigThatCannotStartTurnsTuningOffWithItsMessage) {
    struct Case {
        const char* what;
        int mode;
        void (*setup)(ScriptedRig&);
        const char* message;
    };
    const Case cases[] = {
        {"no server", 2, [](ScriptedRig& r) { r.createWorks = false; },
         "Problem with OmniRig starting!"},
        {"the rig cannot be opened", 2, [](ScriptedRig& r) { r.reachable = {}; },
         "Problem with OmniRig starting!"},
        {"the mode read fails after connecting", 2,
         [](ScriptedRig& r) {
             r.script[RigProperty::Mode] = {kCwUpper};
             r.failing.insert(RigProperty::Mode);
         },
         "Problem with OmniRig starting!"},
        {"an unknown mode", 2, [](ScriptedRig& r) { r.values[RigProperty::Mode] = kUnknown; },
         "RIG doesn't answer!"},
        {"RIT offset not writable", 1,
         [](ScriptedRig& r) { r.values[RigProperty::Writable] = kFreqA | kFreqB; },
         "This RIG does not support software RIT control!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControlRig r;
        c.setup(r.rig);
        r.control.StartRigControl(c.mode);
        EXPECT_EQ(r.tuneRig, 0);
        EXPECT_EQ(r.view.Status(panel::TuneBy), "");
        EXPECT_EQ(r.view.messages, (Messages{{c.message, "OmniRig Error"}}));
        EXPECT_EQ(r.lastTuneRig, 2);
    }
}

TEST(RigControl, AnUnknownModeIsReadSixTimesWithinOneAndAHalfSeconds) {
    ControlRig r;
    r.rig.values[RigProperty::Mode] = kUnknown;
    r.control.StartRigControl(2);
    EXPECT_EQ(r.rig.reads[RigProperty::Mode], 1 + 6);  // the connect's read, then the wait's
    EXPECT_EQ(r.clock.elapsed, 1500);

    ControlRig late;  // answering on the last of them is in time
    late.rig.script[RigProperty::Mode] = {kCwUpper, kUnknown, kUnknown,
                                          kUnknown, kUnknown, kUnknown};
    late.control.StartRigControl(2);
    EXPECT_EQ(late.tuneRig, 2);
    EXPECT_EQ(late.view.Status(panel::TuneBy), "VFO");
    EXPECT_TRUE(late.view.messages.empty());
}

TEST(RigControl, FailedRetunesChangeNothingAndOnlyAMissingFrequencyIsReported) {
    struct Case {
        const char* what;
        void (*setup)(ScriptedRig&);
        int code;
        int msWaited;
    };
    const Case cases[] = {
        {"no mode in three reads", [](ScriptedRig& r) { r.values[RigProperty::Mode] = kUnknown; },
         rig_tune::kNoMode, 600},
        {"no active VFO", [](ScriptedRig& r) { r.values[RigProperty::Vfo] = kUnknown; },
         rig_tune::kNoVfo, 600},
        {"the link breaks", [](ScriptedRig& r) { r.failing.insert(RigProperty::FreqA); },
         rig_tune::kNotConnected, 0},
        {"no usable frequency",
         [](ScriptedRig& r) { r.values[RigProperty::Writable] = kFreqA | kRitOffset; },
         rig_tune::kNoFrequency, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControlRig r;
        c.setup(r.rig);
        r.rig.script[RigProperty::Mode] = {kCwUpper, kCwUpper};  // the start's reads answer
        r.control.StartRigControl(2);
        ASSERT_EQ(r.tuneRig, 2);
        r.clock.elapsed = 0;
        EXPECT_EQ(r.control.TuneToMark(), c.code);
        EXPECT_EQ(r.clock.elapsed, c.msWaited);
        EXPECT_TRUE(r.rig.writes.empty());
        EXPECT_EQ(r.target.moves, 0);
        const bool reported = c.code == rig_tune::kNoFrequency;
        EXPECT_EQ(r.tuneRig, reported ? 0 : 2);
        EXPECT_EQ(r.view.messages.size(), reported ? 1u : 0u);
    }
    // Tuning is off after the report: the wheel leaves the rig alone.
    ControlRig off;
    EXPECT_EQ(off.control.TuneBy(60), rig_tune::kNoTuning);
    EXPECT_TRUE(off.rig.reads.empty());
}

TEST(RigControl, TheGoButtonOpensTheServersWindowEvenWhenTheRigCannotOpen) {
    ControlRig r;
    r.rig.reachable = {};
    r.control.ShowSetup();
    EXPECT_TRUE(r.view.messages.empty());
    r.rig.setupWorks = false;
    r.control.ShowSetup();
    EXPECT_EQ(r.view.messages, (Messages{{"Problem with OmniRig starting!", "OmniRig Error"}}));
}

}  // namespace
}  // namespace quelp
