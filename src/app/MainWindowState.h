#pragma once
// What the main window shows and keeps that is not in Quelp_Params: the
// always-on-top choice, the zoom, the display scales, the click and wheel
// tuning options, the geometry, colours and fonts, and the stored groups of
// the multi-channel window and the Setup dialog. The settings load fills it,
// the window reads it when it lays itself out and draws, and the settings
// save reads it back.

#include <string>

namespace quelp {

// Colours are Windows-convention 32-bit values: 0x00BBGGRR, or 0x800000nn
// for system colour nn.
inline constexpr int kColorWindowText = -2147483640;        // 0x80000008
inline constexpr int kColorWindowBackground = -2147483643;  // 0x80000005

// A font group: the font of a text pane and the pane's background colour.
struct FontSettings {
    std::string Name = "MS Sans Serif";
    int Charset = 204;  // GDI character set; 204 Cyrillic
    int Color = kColorWindowText;
    int Height = -13;  // pixels, negative = character height
    int Pitch = 0;     // 0 default, 1 variable, 2 fixed
    int Size = 10;     // points; applied after Height, so it wins
    int Style = 1;     // bits: 1 bold, 2 italic, 4 underline, 8 strike-out
    int BkgColor = kColorWindowBackground;

    bool operator==(const FontSettings&) const = default;
};

// Main-window geometry (-1 keeps the designed value) and display colours.
struct WindowSettings {
    int Left = -1;
    int Top = -1;
    int Height = -1;
    int Width = -1;
    int SpectrumHeight = -1;  // FFTBox
    int RxTextHeight = -1;    // RxMemo
    int FFTBackground = 16777215;
    int CurrSpectrumColor = 16711680;
    int PeakSpectrumColor = 32768;
    int RxMarkColor = 255;
    int TxMarkColor = 0;
    int OscBackground = 16777215;
    int SignalColor = 32768;
    int ThresholdColor = 255;

    bool operator==(const WindowSettings&) const = default;
};

// Sections "ScanScreen" and "ScanFont": the multi-channel window.
struct ScanWindowSettings {
    // Set when the window was created in this run; only then are its groups
    // saved (otherwise the values in the file stay as they are).
    bool Created = false;
    int Left = -1;
    int Top = -1;
    int Height = -1;
    int Width = -1;
    int WfWidth = -1;  // spectrum pane width; applied only when greater than 10
    FontSettings Font;

    bool operator==(const ScanWindowSettings&) const = default;
};

// Section "SetupScreen": position of the Setup dialog.
struct SetupWindowSettings {
    bool Created = false;  // as ScanWindowSettings::Created
    int Left = -1;
    int Top = -1;

    bool operator==(const SetupWindowSettings&) const = default;
};

struct MainWindowState {
    // "OnTop" as read at start-up: the window stays above the others.
    bool StayOnTop = false;
    // The always-on-top setting (status panel 8 shows "On Top").
    bool AlwaysOnTop = false;

    int ZoomFactor = 1;       // pixels per bin: 1, 2, 3, 4, 5, 10 or 20
    bool ScaleDirty = false;  // the frequency scale must be redrawn
    int LogarithmicSpectrum = 1;
    int LogarithmicOsc = 1;

    int AfcAtClick = 0;  // six AFC steps follow a click-tune
    int UseWheel = 1;    // the mouse wheel tunes
    int WheelSpeed = 2;  // wheel tuning step factor

    // Geometry (-1 keeps the designed value) and the display colours.
    WindowSettings Window;
    // Font of the receive text, with the text pane's background colour.
    FontSettings RxFont;
    // The multi-channel window's and the Setup dialog's groups. Their
    // `Created` flag is the "window exists" mark that the window sets when it
    // is first created in this run; only then does a save write the group.
    ScanWindowSettings Scan;
    SetupWindowSettings Setup;
};

}  // namespace quelp
