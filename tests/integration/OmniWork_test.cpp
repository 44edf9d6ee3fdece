#include "integration/OmniWork.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FakeClock.h"
#include "support/ScriptedRig.h"

namespace quelp {
namespace {

using test::ScriptedRig;
using namespace rig_param;
using Calls = std::vector<std::string>;

// The receiver as a retune sees it; every change goes into the rig's log,
// so the order of freezes and writes shows.
class FakeTarget : public RigTuneTarget {
  public:
    explicit FakeTarget(ScriptedRig& rig) : rig_(rig) {}
    double SamplingFreq() const override { return 11025.0; }
    int SignalBin() const override { return signalBin; }
    int TxBin() const override { return txBin; }
    void FreezeSpectrumPeak() override { rig_.calls.push_back("freeze"); }
    void ReceiveAtMark() override { rig_.calls.push_back("to mark"); }
    void ShiftSpectrumPeak(int shift) override {
        rig_.calls.push_back("shift " + std::to_string(shift));
    }
    int signalBin = 206;  // 20 bins above the mark
    int txBin = 186;

  private:
    ScriptedRig& rig_;
};

struct OmniRig {
    ScriptedRig rig;
    test::FakeClock clock;
    FakeTarget target{rig};
    TOmniWork omni{&rig, clock, target};

    void Connect() {
        ASSERT_EQ(omni.Connect(1), TOmniWork::kConnected);
        rig.calls.clear();
    }
    // The calls after the reads: writes, freezes and the receiver's moves.
    Calls Effects() const {
        Calls out;
        for (const auto& c : rig.calls) {
            if (c.rfind("get ", 0) != 0) out.push_back(c);
        }
        return out;
    }
};

TEST(OmniWork, TuneToMarkMovesTheRigByTheSignalsDistanceFromTheMark) {
    struct Case {
        const char* what;
        int tuneRig;
        std::int32_t mode, rit, vfo, readable;
        Calls effects;
    };
    const std::int32_t singleFreq = kFreq | kRitOffset;
    const Case cases[] = {
        {"RIT on, upper sideband: added to the offset",
         1,
         kCwUpper,
         kRitOn,
         kVfoA,
         ScriptedRig::kEverything,
         {"freeze", "set RitOffset 608", "to mark", "shift 20"}},
        {"RIT on, lower sideband: taken from it",
         1,
         kSsbLower,
         kRitOn,
         kVfoA,
         ScriptedRig::kEverything,
         {"freeze", "set RitOffset 392", "to mark", "shift 20"}},
        {"RIT off: cleared, on, the offset alone",
         1,
         kCwUpper,
         kRitOff,
         kVfoA,
         ScriptedRig::kEverything,
         {"freeze", "clear rit", "freeze", "set Rit 131072", "freeze", "set RitOffset 108",
          "to mark", "shift 20"}},
        {"VFO A",
         2,
         kDataUpper,
         kRitOn,
         kVfoA,
         ScriptedRig::kEverything,
         {"freeze", "set FreqA 7010108", "to mark", "shift 20"}},
        {"VFO A, data on the lower sideband",
         2,
         kDataLower,
         kRitOn,
         kVfoAB,
         ScriptedRig::kEverything,
         {"freeze", "set FreqA 7009892", "to mark", "shift 20"}},
        {"receiving on B (B alone)",
         2,
         kCwLower,
         kRitOn,
         kVfoB,
         ScriptedRig::kEverything,
         {"freeze", "set FreqB 7019892", "to mark", "shift 20"}},
        {"receiving on B (B/B)",
         2,
         kCwUpper,
         kRitOn,
         kVfoBB,
         ScriptedRig::kEverything,
         {"freeze", "set FreqB 7020108", "to mark", "shift 20"}},
        {"receiving on B (B/A)",
         2,
         kCwUpper,
         kRitOn,
         kVfoBA,
         ScriptedRig::kEverything,
         {"freeze", "set FreqB 7020108", "to mark", "shift 20"}},
        {"a single frequency",
         2,
         kAm,
         kRitOn,
         kVfoB,
         singleFreq,
         {"freeze", "set Freq 7010108", "to mark", "shift 20"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OmniRig r;
        r.rig.values[RigProperty::Readable] = c.readable;
        r.rig.values[RigProperty::Writable] = c.readable;
        r.Connect();
        r.rig.values[RigProperty::Mode] = c.mode;
        r.rig.values[RigProperty::Rit] = c.rit;
        r.rig.values[RigProperty::RitOffset] = 500;
        r.rig.values[RigProperty::Vfo] = c.vfo;
        EXPECT_EQ(r.omni.TuneToMark(c.tuneRig), rig_tune::kDone);
        EXPECT_EQ(r.Effects(), c.effects);
    }
}

TEST(OmniWork, FailedRetunesChangeNothingAndSayWhy) {
    struct Case {
        const char* what;
        int tuneRig;
        void (*setup)(OmniRig&);
        int code;
        int msSlept;
    };
    const Case cases[] = {
        {"tuning off", 0, [](OmniRig&) {}, rig_tune::kNoTuning, 0},
        {"not connected", 1, [](OmniRig& r) { r.omni.Connect(3); }, rig_tune::kNotConnected, 0},
        {"no mode in three reads", 1,
         [](OmniRig& r) { r.rig.values[RigProperty::Mode] = kUnknown; }, rig_tune::kNoMode, 600},
        {"no RIT state", 1, [](OmniRig& r) { r.rig.values[RigProperty::Rit] = kUnknown; },
         rig_tune::kNoRitState, 600},
        {"a mode that is neither RIT nor VFO", 7, [](OmniRig&) {}, rig_tune::kBadMode, 0},
        {"no active VFO", 2, [](OmniRig& r) { r.rig.values[RigProperty::Vfo] = kUnknown; },
         rig_tune::kNoVfo, 600},
        {"no usable frequency", 2,
         [](OmniRig& r) {
             r.rig.values[RigProperty::Writable] =
                 kFreqA | kFreq;  // B and the single one read-only
             r.rig.values[RigProperty::Readable] = kFreqA | kFreqB;
             r.omni.Connect(1);
         },
         rig_tune::kNoFrequency, 0},
        {"the link breaks", 2, [](OmniRig& r) { r.rig.failing.insert(RigProperty::FreqA); },
         rig_tune::kNotConnected, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OmniRig r;
        r.Connect();
        c.setup(r);
        r.rig.calls.clear();
        EXPECT_EQ(r.omni.TuneToMark(c.tuneRig), c.code);
        EXPECT_EQ(r.clock.elapsed, c.msSlept);
        for (const auto& e : r.Effects()) {
            EXPECT_TRUE(e == "freeze" || e.rfind("set FreqA", 0) == 0) << e;
        }
    }
}

TEST(OmniWork, ARigThatAnswersOnTheThirdReadIsRetuned) {
    OmniRig r;
    r.Connect();
    r.rig.script[RigProperty::Mode] = {kUnknown, kUnknown};
    r.rig.script[RigProperty::Vfo] = {kUnknown, kUnknown};
    EXPECT_EQ(r.omni.TuneToMark(2), rig_tune::kDone);
    EXPECT_EQ(r.clock.elapsed, 800);
    EXPECT_EQ(r.rig.values[RigProperty::FreqA], 7010108);
}

TEST(OmniWork, TuneByMovesTheRigAndThePictureButNotTheReceiver) {
    struct Case {
        int hz;
        std::int32_t mode;
        const char* write;
        int shift;
    };
    // One wheel notch at the default speed is 60 Hz: 178.3 sixteenths of a
    // bin, rounded, then to whole bins toward zero.
    const Case cases[] = {
        {60, kCwUpper, "set FreqA 7010060", 11},
        {-60, kCwUpper, "set FreqA 7009940", -10},
        {60, kSsbLower, "set FreqA 7009940", 11},
        {3, kCwUpper, "set FreqA 7010003", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hz);
        OmniRig r;
        r.Connect();
        r.rig.values[RigProperty::Mode] = c.mode;
        EXPECT_EQ(r.omni.TuneBy(2, c.hz), rig_tune::kDone);
        EXPECT_EQ(r.Effects(), (Calls{"freeze", c.write, "shift " + std::to_string(c.shift)}));
    }
}

TEST(OmniWork, ConnectTakesTheNumberedRigAndItsParameterSets) {
    OmniRig r;
    EXPECT_EQ(r.omni.Connect(3), 0);
    EXPECT_EQ(r.omni.Connect(0), 0);
    EXPECT_TRUE(r.rig.calls.empty());

    r.rig.values[RigProperty::Writable] = kFreq | kRitOffset;
    EXPECT_EQ(r.omni.Connect(2), TOmniWork::kConnected);
    EXPECT_EQ(r.rig.calls,
              (Calls{"create", "select 2", "get Readable", "get Writable", "get Mode"}));
    EXPECT_EQ(r.omni.CanWrite(kRitOffset | kFreqA), kRitOffset);

    // The server stays up: the next connect only takes the rig again.
    r.rig.calls.clear();
    r.rig.reachable = {1};
    EXPECT_EQ(r.omni.Connect(2), 0);
    EXPECT_EQ(r.rig.calls, (Calls{"select 2"}));
    EXPECT_EQ(r.omni.State(), 0);
    EXPECT_EQ(r.omni.CanWrite(kRitOffset), 0u);
    EXPECT_EQ(r.omni.RigMode(), kUnknown);

    r.rig.failing.insert(RigProperty::Mode);
    EXPECT_EQ(r.omni.Connect(1), 0);
}

TEST(OmniWork, TheSetupWindowOpensEvenWhenTheRigCannot) {
    OmniRig r;
    r.rig.reachable = {};
    EXPECT_EQ(r.omni.ShowSetup(1), 0);
    EXPECT_EQ(r.rig.calls.back(), "setup");
    r.rig.setupWorks = false;
    EXPECT_EQ(r.omni.ShowSetup(1), 2);

    test::FakeClock clock;
    FakeTarget target(r.rig);
    TOmniWork none(nullptr, clock, target);
    EXPECT_EQ(none.ShowSetup(1), 1);
}

}  // namespace
}  // namespace quelp
