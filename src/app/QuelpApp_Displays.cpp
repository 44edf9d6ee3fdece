// What the spectrum and oscilloscope pictures, the mouse on them, the wheel
// and the window's keys change in the application: the peak hiding around a
// rig retune, the scale's redrawing, panning, and the level scales.

#include "app/QuelpApp.h"

namespace quelp {

bool QuelpApp::ScaleDue(int width) {
    return spectrumRepaints_.ScaleDue(width, receiver_.Tune().DisplayCentreBin, window_.ScaleDirty);
}

void QuelpApp::SetDisplayCentreBin(int bin) {
    receiver_.SetDisplayCentreBin(bin);
}

void QuelpApp::AfcStep() {
    receiver_.AfcStep();
}

void QuelpApp::RigTuneToMark() {
    // Before: the repaints that a message pass inside the retune runs; after:
    // the three that follow it.
    spectrumRepaints_.HidePeaks();
    RunHook(integration_.tuneRigToMark);
    spectrumRepaints_.HidePeaks();
}

void QuelpApp::RigTuneBy(int hertz) {
    spectrumRepaints_.HidePeaks();
    RunHook(integration_.tuneRigBy, hertz);
    spectrumRepaints_.HidePeaks();
}

void QuelpApp::ToggleRigTuning() {
    params_.TuneRig = params_.TuneRig != 0 ? 0 : params_.LastTuneRig;
    RunHook(integration_.applyRigTuning);
}

}  // namespace quelp
