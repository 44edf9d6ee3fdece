#include "app/DisplayControls.h"

#include <algorithm>
#include <limits>

#include "app/QuelpApp.h"
#include "display/SpectrumPicture.h"

namespace quelp {

namespace {

// The zoom factors of Alt+1 ... Alt+7.
constexpr int kZoomKeys[] = {1, 2, 3, 4, 5, 10, 20};
// Function keys' codes: F1 is 1, Ctrl+F1 13, Alt+F1 25.
constexpr int kCtrlFunctionBase = 12;
constexpr int kAltFunctionBase = 24;
// Pause (Ctrl+P) and Scroll Lock (Ctrl+T).
constexpr int kPauseCode = 102;
constexpr int kScrollLockCode = 112;
// AFC steps after a click, so the receiver settles on the clicked signal.
constexpr int kAfcStepsAfterClick = 6;

int FunctionKey(int key) {
    return key >= vk::F(1) && key <= vk::F(12) ? key - vk::F1 + 1 : 0;
}

KeyCommand Broadcast(int code, bool consumed = false) {
    return {KeyAction::Broadcast, code, consumed};
}

KeyCommand AltKey(int key) {
    if (key >= '1' && key <= '7') return {KeyAction::Zoom, kZoomKeys[key - '1'], false};
    if (const int f = FunctionKey(key)) {
        // Alt+F4 would close the window, Alt+F6 and Alt+F10 reach the menus.
        return Broadcast(kAltFunctionBase + f, f == 4 || f == 6 || f == 10);
    }
    switch (key) {
        case 'A':
            return {KeyAction::AutoGoToMax};
        case 'D':
            return {KeyAction::ClearBuffer};
        case 'F':
            return {KeyAction::Afc};
        case 'L':
            return {KeyAction::TextCapture};
        case 'R':
            return {KeyAction::AutoThreshold};
        case 'V':
            return {KeyAction::WaveCapture};
        case 'Z':
            return {KeyAction::LogSpectrum};
        default:
            return {};
    }
}

KeyCommand CtrlKey(int key) {
    if (const int f = FunctionKey(key)) {
        return Broadcast(kCtrlFunctionBase + f, f == 4 || f == 10);
    }
    switch (key) {
        case 'F':
            return {KeyAction::SoundBypass};
        case 'N':
            return {KeyAction::OpenInEditor};
        case 'P':
            return Broadcast(kPauseCode);
        case 'S':
            return {KeyAction::SaveBuffer, 0, true};
        case 'T':
            return Broadcast(kScrollLockCode);
        case 'U':
            return {KeyAction::RigTuning};
        case 'Z':
            return {KeyAction::LogOscilloscope};
        default:
            return {};
    }
}

KeyCommand PlainKey(int key) {
    if (const int f = FunctionKey(key)) return Broadcast(f, f == 10);  // F10: not the menu
    switch (key) {
        case vk::Escape:
            return {KeyAction::Escape};
        case vk::Pause:
            return Broadcast(kPauseCode);
        case vk::ScrollLock:
            return Broadcast(kScrollLockCode);
        default:
            return {};
    }
}

}  // namespace

KeyCommand LookUpKey(int key, HeldKeys held) {
    if (held.Alt) return AltKey(key);
    if (held.Ctrl) return CtrlKey(key);
    if (held.Shift) return {};
    return PlainKey(key);
}

// --- the spectrum and its scale ---------------------------------------------------

int DisplayControls::SpectrumBinAt(const SpectrumPointer& p) const {
    const int zoom = app_.Window().ZoomFactor;
    const int offset = ScaleOffset(p.spectrumWidth, zoom, app_.Rx().Tune().DisplayCentreBin);
    return SpectrumBin(p.onScale ? p.x + kScaleImageInset : p.x, offset, zoom);
}

void DisplayControls::SetTransmitFrequency(int bin) {
    app_.SetTransmitBin(bin);
    // The channels' grid keeps the transmit mark's row in the middle.
    if (app_.Rx().MultiChannelOn()) app_.CentreScanGrid();
}

void DisplayControls::SpectrumMouseDown(const SpectrumPointer& p) {
    const HeldKeys& held = p.held;
    app_.ResumeDisplays();
    if (held.Alt) {
        SetCursor(true);
        panAnchor_ = p.x;
    }
    const int bin = SpectrumBinAt(p);
    if (held.Ctrl || held.Right) {
        SetTransmitFrequency(bin);
    } else if (!held.Alt) {
        if (held.Shift) {
            // Only while the squelch or the channels are on.
            static_cast<void>(app_.SpectrumSquelchMouse(p.y, p.spectrumHeight));
        } else {
            app_.SetReceiveBin(bin);
        }
    }
    if (held.Left) leftDrag_ = true;
}

void DisplayControls::SpectrumMouseMove(const SpectrumPointer& p) {
    const HeldKeys& held = p.held;
    if (app_.Window().UseWheel != 0) {
        if (!wheelFocusTaken_) {
            wheelFocusTaken_ = true;
            if (hooks_.focusNullButton) hooks_.focusNullButton();
        }
    } else {
        wheelFocusTaken_ = false;
    }
    leftDrag_ = held.Left;

    if (held.Alt) {
        SetCursor(true);
        if (!held.Left) return;
        if (panAnchor_ < 0) {
            panAnchor_ = p.x;
        } else {
            const int zoom = app_.Window().ZoomFactor;
            const int shift = (p.x - panAnchor_) / zoom;
            const int centre = app_.Rx().Tune().DisplayCentreBin - shift;
            if (centre > kFirstBin && centre < kLastBin) app_.SetDisplayCentreBin(centre);
            // The pixels short of a whole bin count toward the next step.
            panAnchor_ += shift * zoom;
        }
        if (PendingInputBuffers() < 3 && hooks_.repaintSpectrum) hooks_.repaintSpectrum();
        return;
    }
    SetCursor(false);

    if ((held.Ctrl && held.Left) || held.Right) {
        SetTransmitFrequency(SpectrumBinAt(p));
        const ReceiverStatus s = app_.Rx().Status();
        view_.SetStatusText(panel::Frequency, FrequencyText(s.TxBin, s.SamplingFreq));
    } else if (held.Shift && held.Left) {
        static_cast<void>(app_.SpectrumSquelchMouse(p.y, p.spectrumHeight));
    } else if (held.Left) {
        app_.SetReceiveBin(SpectrumBinAt(p));
    }
}

void DisplayControls::SpectrumMouseUp(const SpectrumPointer& p) {
    if (releasing_) return;
    releasing_ = true;
    panAnchor_ = -1;
    const bool wasLeft = leftDrag_;
    leftDrag_ = false;
    const bool plainClick = wasLeft && !p.held.Ctrl;
    if (app_.Window().AfcAtClick != 0 && !p.onScale && plainClick) {
        for (int i = 0; i < kAfcStepsAfterClick; ++i) app_.AfcStep();
    }
    if (app_.Params().TuneRig != 0 && plainClick) static_cast<void>(app_.TuneRigToMark());
    const ReceiverStatus s = app_.Rx().Status();
    view_.SetStatusText(panel::Frequency, FrequencyText(s.SignalBin, s.SamplingFreq));
    releasing_ = false;
}

// --- the oscilloscope ---------------------------------------------------------------

void DisplayControls::OscilloscopeMouse(int y, int height, bool pressOrRelease) {
    app_.OscilloscopeMouse(y, height, pressOrRelease);
}

// --- the wheel -------------------------------------------------------------------------

void DisplayControls::Wheel(int delta) {
    if (app_.Window().UseWheel == 0) return;
    // Widened and limited: the speed comes from the settings file unchecked.
    const long long wide = static_cast<long long>(delta) * app_.Window().WheelSpeed / 4;
    const int step = static_cast<int>(std::clamp<long long>(wide, std::numeric_limits<int>::min(),
                                                            std::numeric_limits<int>::max()));
    if (app_.Params().TuneRig != 0) {
        static_cast<void>(app_.RigTuneBy(step));
    } else {
        app_.WheelTune(step);
    }
}

// --- the keys ----------------------------------------------------------------------------

bool DisplayControls::KeyDown(int key, HeldKeys held) {
    const KeyCommand command = LookUpKey(key, held);
    Run(command);
    // Holding Alt announces the pan gesture.
    const CursorMode mode = held.Alt    ? CursorMode::Alt
                            : held.Ctrl ? CursorMode::Ctrl
                                        : CursorMode::None;
    if (mode != cursorMode_) {
        cursorMode_ = mode;
        SetCursor(mode == CursorMode::Alt);
    }
    return command.consumed;
}

void DisplayControls::Run(const KeyCommand& command) {
    switch (command.action) {
        case KeyAction::None:
            break;
        case KeyAction::Escape:
            app_.BroadcastKeyCode(0);
            app_.ResumeDisplays();
            break;
        case KeyAction::Broadcast:
            app_.BroadcastKeyCode(command.argument);
            break;
        case KeyAction::Zoom:
            app_.SetZoom(command.argument);
            break;
        case KeyAction::AutoGoToMax:
            app_.AutoGoToMaxButtonClick();
            break;
        case KeyAction::Afc:
            app_.AfcButtonClick();
            break;
        case KeyAction::AutoThreshold:
            app_.AutoTresholdButtonClick();
            break;
        case KeyAction::ClearBuffer:
            app_.ClearBuffer1Click();
            break;
        case KeyAction::TextCapture:
            if (app_.CaptureOpen()) {
                static_cast<void>(app_.CloseCaptureFile1Click());
            } else {
                app_.OpenCaptureFile1Click();
            }
            break;
        case KeyAction::WaveCapture:
            if (app_.WaveCaptureOpen()) {
                static_cast<void>(app_.CloseWaveCaptureFile1Click());
            } else {
                app_.OpenWaveCaptureFile1Click();
            }
            break;
        case KeyAction::LogSpectrum:
            app_.ToggleLogarithmicSpectrum();
            break;
        case KeyAction::LogOscilloscope:
            app_.ToggleLogarithmicOsc();
            break;
        case KeyAction::SoundBypass:
            app_.ToggleSoundBypass();
            break;
        case KeyAction::OpenInEditor:
            static_cast<void>(app_.OpenButterinNotepadAltN1Click());
            break;
        case KeyAction::SaveBuffer:
            static_cast<void>(app_.SaveBuffer1Click());
            break;
        case KeyAction::RigTuning:
            app_.ToggleRigTuning();
            break;
    }
}

void DisplayControls::SetCursor(bool panArrows) {
    if (hooks_.setSpectrumCursor) hooks_.setSpectrumCursor(panArrows);
}

int DisplayControls::PendingInputBuffers() const {
    const SoundIn* input = app_.SoundInput();
    return input != nullptr ? input->PendingBuffers.load() : 0;
}

}  // namespace quelp
