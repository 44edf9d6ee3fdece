// Live sound input and output of the application object: the wave-in buffers
// reach the block processor, the audio history and the wave capture file; the
// raw or filtered input plays on the wave-out device.

#include <algorithm>

#include "app/QuelpApp.h"
#include "dsp/SoundFilter.h"

namespace quelp {

void QuelpApp::InitSound() {
    if (ports_.soundInDriver != nullptr && ports_.events != nullptr) {
        SoundInHooks hooks;
        hooks.clearSpectrumPeak = [this] {
            std::fill(spectrum_.SpectrumPeak.begin(), spectrum_.SpectrumPeak.end(), 0.0);
        };
        hooks.processBlock = [this](std::span<const std::int16_t> block) {
            ProcessBlock(block.data(), 0);
        };
        hooks.storeHistory = [this](std::span<const std::int16_t> block) {
            if (SoundHistory.storeHistory) SoundHistory.storeHistory(block);
        };
        hooks.waveCaptureOpen = [this] {
            return SoundHistory.waveCaptureOpen && SoundHistory.waveCaptureOpen();
        };
        hooks.writeWaveCapture = [this](std::span<const std::int16_t> block) {
            return !SoundHistory.writeWaveCapture || SoundHistory.writeWaveCapture(block);
        };
        hooks.closeWaveCapture = [this] { RunHook(SoundHistory.closeWaveCapture); };
        hooks.endApplication = [this] { RunHook(EndApplication); };
        soundIn_.emplace(*ports_.soundInDriver, params_, ports_.view, *ports_.events,
                         SoundInShared{DisplayHoldOff, ShuttingDown, FileDecoding},
                         std::move(hooks));
        PendingBuffers = &soundIn_->PendingBuffers;
    }
    if (ports_.soundOutDriver != nullptr) {
        soundOut_.emplace(*ports_.soundOutDriver, params_, ports_.view);
        SoundOutputHooks hooks;
        hooks.configureFilter = [this](int code) { ApplySoundFilter(dspSound_, code); };
        hooks.filterStep = [this](std::int16_t s) { return dspSound_.Process(s); };
        soundOutput_.emplace(*soundOut_, ports_.view, DisplayHoldOff, std::move(hooks));
        soundFeed_ = &*soundOutput_;
    }

    Startup.restartSoundInput = [this] { RestartSoundInput(params_.SoundCardNumber); };
    Startup.restartSoundOutput = [this] { RestartSoundOutput(params_.OutSoundCardNumber); };
    // Without an output device the stored code stays with the settings as it
    // was read, so a save on a machine without sound keeps the choice.
    if (soundOutput_) {
        Startup.soundFilterCode = [this] { return soundOutput_->SoundFilter; };
        Startup.setSoundFilterCode = [this](int code) { soundOutput_->SoundFilter = code; };
    }
    Startup.closeSoundOutput = [this] { CloseSoundOutput(); };
    Startup.stopSoundInput = [this] { StopSoundInput(); };
}

void QuelpApp::RestartSoundInput(int device) {
    if (soundIn_) soundIn_->RestartSoundInput(device);
}

void QuelpApp::StopSoundInput() {
    if (soundIn_) soundIn_->StopSoundInput();
}

void QuelpApp::RestartSoundOutput(int device) {
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
    return soundOutput_ && soundOutput_->SoundOutputMenuClick(item);
}

void QuelpApp::SoundOutputFilter1Click() {
    // The submenu holds the displays while it is open, sound card or not.
    DisplayHoldOff = 22;
}

void QuelpApp::ToggleSoundBypass() {
    if (soundOutput_) soundOutput_->ToggleSoundBypass();
}

}  // namespace quelp
