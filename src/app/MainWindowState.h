#pragma once
// What the main window shows and keeps that is not in Quelp_Params: the
// always-on-top choice, the zoom, the display scales, the click and wheel
// tuning options, the geometry, colours and fonts, and the stored groups of
// the multi-channel window and the Setup dialog. The settings load fills it,
// the window reads it when it lays itself out and draws, and the settings
// save reads it back.

#include "settings/Settings.h"

namespace quelp {

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
