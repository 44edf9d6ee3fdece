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

}  // namespace quelp
