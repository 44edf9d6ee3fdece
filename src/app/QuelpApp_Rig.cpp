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

int QuelpApp::TuneRigToMark() {
    return rig_.TuneToMark();
}

int QuelpApp::RigTuneBy(int hz) {
    return rig_.TuneBy(hz);
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
