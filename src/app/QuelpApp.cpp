#include "app/QuelpApp.h"

namespace quelp {

QuelpApp::QuelpApp(QuelpPorts ports) : ports_(ports) {
    InitSound();
}

// --- what the receiver reports --------------------------------------------------

void QuelpApp::CharacterDecoded(std::uint32_t code) {
    rxOutput_.EmitCharacter(receiver_.Character(code), code == 0, params_.ExCanal != 0);
}

void QuelpApp::ReceiverChanged(ReceiverChange change) {
    presenter_.Show(change);
    if (change == ReceiverChange::GoneToMax) static_cast<void>(TuneRigToMark());
}

void QuelpApp::SpectrumReady(int repaint) {
    // Draw, and serve the window's messages, unless live capture has fallen
    // 3 or more blocks behind; blocks from a file always draw.
    const int waiting = soundIn_ ? soundIn_->PendingBuffers.load() : 0;
    if (waiting < 3 || repaint == 1) {
        ports_.view.UpdateDisplays();
        ports_.view.ProcessMessages();
    }
}

// --- the text capture file ---------------------------------------------------------

void QuelpApp::SetTimeMarks(bool on) {
    params_.Marks.PutTimeMarks = on ? 1 : 0;
    if (on) capture_.TimeMarksSwitchedOn();
}

void QuelpApp::OpenCaptureFile1Click() {
    displayHoldOff_ = hold_off::kMenuOpen;
    capture_.OpenCaptureFile1Click();
}

bool QuelpApp::OpenCaptureFileByName(const std::string& path) {
    return capture_.OpenCaptureFileByName(path);
}

CaptureCloseResult QuelpApp::CloseCaptureFile1Click() {
    const CaptureCloseResult result = capture_.CloseCaptureFile1Click();
    if (result != CaptureCloseResult::Busy) displayHoldOff_ = hold_off::kNone;
    return result;
}

}  // namespace quelp
