#include "integration/RigControl.h"

#include "ports/UiItem.h"

namespace quelp {

namespace {

// A rig that answers "unknown" is asked again this many times, this far
// apart, before it counts as not answering (1.5 s in all).
constexpr int kModeRetries = 5;
constexpr int kModeRetryMs = 300;

}  // namespace

RigControl::RigControl(RigServer* server, Clock& clock, MainView& view, RigTuneTarget& target,
                       RigTuningSettings settings)
    : omni_(server, clock, target), clock_(clock), view_(view), settings_(settings) {}

void RigControl::StartRigControl(int mode) {
    int& tuneRig = settings_.TuneRig;
    tuneRig = (mode == tune_rig::kRit || mode == tune_rig::kMainVfo) ? mode : tune_rig::kNone;
    view_.SetStatusText(panel::TuneBy, tuneRig == tune_rig::kRit       ? "RIT"
                                       : tuneRig == tune_rig::kMainVfo ? "VFO"
                                                                       : "");
    if (tuneRig != tune_rig::kNone) {
        if (omni_.Connect(settings_.RigNumber) != TOmniWork::kConnected) {
            Stop(kRigStartFailed);
            return;
        }
        auto rigMode = omni_.RigMode();
        for (int i = 0; i < kModeRetries && rigMode == rig_param::kUnknown; ++i) {
            clock_.SleepMs(kModeRetryMs);
            rigMode = omni_.RigMode();
        }
        if (!rigMode) {
            Stop(kRigStartFailed);
            return;
        }
        if (*rigMode == rig_param::kUnknown) {
            Stop(kRigNoAnswer);
            return;
        }
    }
    if (tuneRig == tune_rig::kRit && omni_.CanWrite(rig_param::kRitOffset) == 0) {
        Stop(kRigNoRit);
        return;
    }
    if (tuneRig != tune_rig::kNone) settings_.LastTuneRig = tuneRig;
}

void RigControl::ToggleRigTuning() {
    StartRigControl(settings_.TuneRig == tune_rig::kNone ? settings_.LastTuneRig : tune_rig::kNone);
}

int RigControl::TuneToMark() {
    if (settings_.TuneRig == tune_rig::kNone) return rig_tune::kNoTuning;
    return Checked(omni_.TuneToMark(settings_.TuneRig));
}

int RigControl::TuneBy(int hz) {
    if (settings_.TuneRig == tune_rig::kNone) return rig_tune::kNoTuning;
    return Checked(omni_.TuneBy(settings_.TuneRig, hz));
}

void RigControl::ShowSetup() {
    if (omni_.ShowSetup(settings_.RigNumber) != 0) {
        view_.ShowMessage(kRigStartFailed, kRigErrorCaption);
    }
}

void RigControl::Stop(std::string_view message) {
    settings_.TuneRig = tune_rig::kNone;
    view_.SetStatusText(panel::TuneBy, "");
    view_.ShowMessage(message, kRigErrorCaption);
}

int RigControl::Checked(int result) {
    if (result == rig_tune::kNoFrequency) {
        view_.ShowMessage(kRigCommandSet, kRigErrorCaption);
        StartRigControl(tune_rig::kNone);
    }
    return result;
}

}  // namespace quelp
