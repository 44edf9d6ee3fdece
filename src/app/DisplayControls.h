#pragma once
// The operator's hands on the main window: the mouse on the spectrum
// (FFTBox), its scale (ScaleImage) and the oscilloscope (PaintBox1), the
// wheel, and the window's keys, which it sees before any control does. What
// each gesture and key does is decided here; the window only reports the
// pointer, the buttons and the keys held, and carries out the few things
// that only it can do (cursor, focus, an immediate repaint).

#include <functional>
#include <utility>

namespace quelp {

class QuelpApp;
class MainView;

// Modifier keys and mouse buttons held at an event (a button being pressed
// counts as held).
struct HeldKeys {
    bool Shift = false;
    bool Alt = false;
    bool Ctrl = false;
    bool Left = false;
    bool Right = false;
};

// Keys by their Windows virtual-key codes; digits and letters are their
// upper-case characters.
namespace vk {
inline constexpr int Pause = 0x13;
inline constexpr int Escape = 0x1B;
inline constexpr int F1 = 0x70;  // F1 ... F12 = 0x70 ... 0x7B
inline constexpr int ScrollLock = 0x91;
constexpr int F(int n) {
    return F1 + n - 1;
}
}  // namespace vk

enum class KeyAction {
    None,             // not a key of the window: the cursor rule only
    Escape,           // code 0 to the other programs, the pictures draw again
    Broadcast,        // the code to the other programs
    Zoom,             // SetZoom
    AutoGoToMax,      // as a click on AutoGoToMaxButton
    Afc,              // as a click on AfcButton
    AutoThreshold,    // as a click on AutoTresholdButton
    ClearBuffer,      // the receive text cleared
    TextCapture,      // the text capture file closed if open, else opened
    WaveCapture,      // the wave capture file closed if open, else opened
    LogSpectrum,      // the spectrum's level scale switched
    LogOscilloscope,  // the oscilloscope's level scale switched
    SoundBypass,      // the sound output between unfiltered and the last filter
    OpenInEditor,     // the buffer opened in the editor
    SaveBuffer,       // the buffer saved
    RigTuning,        // rig tuning off, or on in the last mode
};

struct KeyCommand {
    KeyAction action = KeyAction::None;
    int argument = 0;       // the code to broadcast, or the zoom
    bool consumed = false;  // no control sees the key (F10, Alt+F4, Ctrl+S, ...)
    bool operator==(const KeyCommand&) const = default;
};

// The window's key table. A key without modifier acts only with none held;
// an Alt combination whenever Alt is held; a Ctrl combination with Ctrl and
// without Alt (Shift may be held).
KeyCommand LookUpKey(int key, HeldKeys held);

// What only the window can do.
struct DisplayControlsHooks {
    // The cursor of the spectrum and its scale: the horizontal-resize arrow
    // (Alt: the pan gesture) or the default one.
    std::function<void(bool panArrows)> setSpectrumCursor;
    // The keyboard focus to its parking place (NullButton), so that the keys
    // and the wheel reach the window.
    std::function<void()> focusNullButton;
    // The spectrum repainted now (during a pan).
    std::function<void()> repaintSpectrum;
};

// The pointer on the spectrum or its scale.
struct SpectrumPointer {
    int x = 0;  // in the picture the event came from
    int y = 0;
    bool onScale = false;    // ScaleImage rather than FFTBox
    int spectrumWidth = 0;   // FFTBox
    int spectrumHeight = 0;  // FFTBox
    HeldKeys held;
};

class DisplayControls {
  public:
    DisplayControls(QuelpApp& app, MainView& view) : app_(app), view_(view) {}
    DisplayControls(const DisplayControls&) = delete;
    DisplayControls& operator=(const DisplayControls&) = delete;

    void SetHooks(DisplayControlsHooks hooks) { hooks_ = std::move(hooks); }

    // --- the spectrum and its scale ---------------------------------------
    // The bin under the pointer.
    int SpectrumBinAt(const SpectrumPointer& p) const;
    void SpectrumMouseDown(const SpectrumPointer& p);
    void SpectrumMouseMove(const SpectrumPointer& p);
    // Not re-entrant: a release arriving while one runs (a message box's
    // loop) is ignored.
    void SpectrumMouseUp(const SpectrumPointer& p);

    // --- the oscilloscope ------------------------------------------------------
    // A press or release (pressOrRelease), or a move with the left button
    // held, at pixel row `y` of a picture `height` high.
    void OscilloscopeMouse(int y, int height, bool pressOrRelease);

    // --- the wheel -------------------------------------------------------------
    // Every wheel event that reaches the window (it is always taken): with
    // the wheel on, delta x WheelSpeed / 4 tunes the rig or the receiver.
    void Wheel(int delta);
    // The pointer moved over another part of the window (panel, receive
    // text, oscilloscope, status bar), or the Setup dialog opened: the focus
    // is parked again at the next visit to the spectrum.
    void ReleaseWheelFocus() { wheelFocusTaken_ = false; }

    // --- the keys ----------------------------------------------------------------
    // A key pressed anywhere in the window; true when no control may see it.
    bool KeyDown(int key, HeldKeys held);

    // State, for tests.
    int PanAnchor() const { return panAnchor_; }
    bool WheelFocusTaken() const { return wheelFocusTaken_; }

  private:
    enum class CursorMode { None, Alt, Ctrl };

    void SetTransmitFrequency(int bin);
    void Run(const KeyCommand& command);
    void SetCursor(bool panArrows);
    int PendingInputBuffers() const;

    QuelpApp& app_;
    MainView& view_;
    DisplayControlsHooks hooks_;
    // Pointer x where the Alt-drag pan started or last advanced; -1 between
    // pans.
    int panAnchor_ = -1;
    // The left button was held at the last spectrum event.
    bool leftDrag_ = false;
    bool wheelFocusTaken_ = false;
    CursorMode cursorMode_ = CursorMode::None;
    bool releasing_ = false;
};

}  // namespace quelp
