// Live sound input and output of the application object: the wave-in buffers
// reach the receiver, the audio history and the wave capture file; the raw or
// filtered input plays on the wave-out device.

#include "app/QuelpApp.h"

namespace quelp {

void QuelpApp::InitSound() {
    if (ports_.soundInDriver != nullptr && ports_.events != nullptr) {
        soundIn_.emplace(*ports_.soundInDriver, params_.Cards, ports_.view, *ports_.events,
                         SoundInShared{displayHoldOff_, shuttingDown_, fileDecoding_},
                         static_cast<SoundInClient&>(*this));
    }
    if (ports_.soundOutDriver != nullptr) {
        soundOut_.emplace(*ports_.soundOutDriver, params_.Cards, ports_.view);
        soundOutput_.emplace(*soundOut_, ports_.view, receiver_.OutputFilter());
        receiver_.SetSoundOutput(&*soundOutput_);
    }
}

int QuelpApp::SoundOutputCode() const {
    // Without an output device the stored code stays with the settings as it
    // was read, so a save on a machine without sound keeps the choice.
    return soundOutput_ ? soundOutput_->SoundFilter : soundFilterCode_;
}

void QuelpApp::SetSoundOutputCode(int code) {
    // Applied when the output device opens.
    soundFilterCode_ = code;
    if (soundOutput_) soundOutput_->SoundFilter = code;
}

void QuelpApp::RestartSoundInput(int device) {
    // The number in force is the one the settings save writes.
    params_.Cards.SoundCardNumber = (device >= 0 && device <= 9) ? device : -1;
    if (soundIn_) soundIn_->RestartSoundInput(device);
}

void QuelpApp::StopSoundInput() {
    if (soundIn_) soundIn_->StopSoundInput();
}

void QuelpApp::RestartSoundOutput(int device) {
    params_.Cards.OutSoundCardNumber = (device >= 0 && device <= 9) ? device : -1;
    if (soundOutput_) soundOutput_->RestartSoundOutput(device);
}

void QuelpApp::CloseSoundOutput() {
    if (soundOut_) soundOut_->Close();
}

void QuelpApp::InputBufferDone() {
    if (soundIn_) soundIn_->InputBufferDone();
}

void QuelpApp::HandleMessage(std::uint32_t message) {
    if (message == WM_BUFFERDONE) InputBufferDone();
}

bool QuelpApp::SoundOutputBehind() const {
    return soundOutput_ && soundOutput_->WaitingForOutputBuffer();
}

void QuelpApp::ServePendingInputBuffers() {
    if (soundIn_ && soundIn_->PendingBuffers.load() > 0) soundIn_->InputBufferDone();
}

void QuelpApp::RepostPendingInputBuffers() {
    if (!soundIn_ || ports_.events == nullptr) return;
    for (int n = soundIn_->PendingBuffers.load(); n > 0; --n) ports_.events->Post(WM_BUFFERDONE);
}

bool QuelpApp::SoundOutputMenuClick(UiItem item) {
    int code = 0;
    if (!soundOutput_ || !SoundOutput::CodeOf(item, code)) return false;
    displayHoldOff_ = hold_off::kAfterCommand;
    soundOutput_->SelectSoundOutput(code);
    return true;
}

void QuelpApp::SoundOutputFilter1Click() {
    // The submenu holds the displays while it is open, sound card or not.
    displayHoldOff_ = hold_off::kMenuOpen;
}

void QuelpApp::ToggleSoundBypass() {
    if (soundOutput_) soundOutput_->ToggleSoundBypass();
}

}  // namespace quelp
