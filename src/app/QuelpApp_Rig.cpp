// Rig tuning: the operations the window's keys, mouse and setup dialog call.
// The rig's checks, retries and messages are RigControl's.

#include "app/QuelpApp.h"

namespace quelp {

void QuelpApp::StartRigControl(int mode) {
    rig_.StartRigControl(mode);
}

void QuelpApp::ToggleRigTuning() {
    rig_.ToggleRigTuning();
}

// The peak curve stays hidden around a retune: before it, for the repaints a
// message pass inside the rig's answer runs; after it, for the three that
// follow, while the old peaks still stand where the signal was.
int QuelpApp::TuneRigToMark() {
    if (params_.TuneRig == 0) return rig_.TuneToMark();
    spectrumRepaints_.HidePeaks();
    const int result = rig_.TuneToMark();
    spectrumRepaints_.HidePeaks();
    return result;
}

int QuelpApp::RigTuneBy(int hz) {
    if (params_.TuneRig == 0) return rig_.TuneBy(hz);
    spectrumRepaints_.HidePeaks();
    const int result = rig_.TuneBy(hz);
    spectrumRepaints_.HidePeaks();
    return result;
}

int QuelpApp::ApplyRigChoice(int rigNumber, int tuneRig) {
    const int before = params_.RigNumber;
    if (rigNumber == 1 || rigNumber == 2) params_.RigNumber = rigNumber;
    // The rig is taken again at every start, so a new rig number needs one.
    if (tuneRig != params_.TuneRig || params_.RigNumber != before) rig_.StartRigControl(tuneRig);
    return params_.TuneRig;
}

void QuelpApp::ShowRigSetup() {
    rig_.ShowSetup();
}

}  // namespace quelp
