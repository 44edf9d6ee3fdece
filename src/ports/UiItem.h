#pragma once
// The main window's controls that the core drives through the main view: menu
// items, tool buttons and spin controls, named as the window names them.

namespace quelp {

enum class UiItem {
    // File menu
    ClearBuffer1,
    SaveBuffer1,
    OpenButterinNotepadAltN1,
    OpenCaptureFile1,
    CloseCaptureFile1,
    OpenWaveCaptureFile1,
    CloseWaveCaptureFile1,
    DecodeFromFile1,
    MultiChannelDecoder1,
    Exit,
    // Filters menu: main filter
    MainFilterMenu,
    FIR10Menu,
    FIR20Menu,
    FIR30Menu,
    FIR70Menu,
    FIR140Menu,
    FIR280Menu,
    FIR600Menu,
    FIR1000Menu,
    FIR2000Menu,
    FIR3000Menu,
    IIR100Menu,
    IIR250Menu,
    IIR1000Menu,
    // Filters menu: burst filter
    CwFilterMenu,
    N5CPM1,
    N10CPM1,
    N25CPM1,
    N50CPM1,
    N100CPM1,
    N200CPM1,
    N300CPM1,
    N500CPM1,
    N1000CPM1,
    N1500CPM1,
    N2500CPM1,
    N3000CPM1,
    N5000CPM1,
    // Filters menu: sound output
    SoundOutputFilter1,
    SoundOff1,
    SoundWithoutFiltering1,
    N10Hz1,
    N20Hz1,
    N30Hz1,
    N70Hz1,
    N140Hz1,
    N280Hz1,
    N600Hz1,
    N1000Hz1,
    N2000Hz1,
    N3000Hz1,
    N100Hz1,
    N250Hz1,
    N1000Hz2,
    // Zoom menu
    Zoom1,
    Zoom2,
    Zoom3,
    Zoom4,
    Zoom5,
    Zoom10,
    Zoom20,
    // Control panel buttons
    AutoTresholdButton,
    GoToMaxButton,
    AutoGoToMaxButton,
    AfcButton,
    ReplayButton,
    SaveButton,
    SpeedLockButton,
    // Control panel edits with their spin controls
    AfcEdit,
    AfcLimitEdit,
    LowSpeedEdit,
    HighSpeedEdit,
    // File menu: the adaptive decoder instead of the classic one
    AdaptiveDecoder1,
};

// Status bar panels of the main window.
namespace panel {
inline constexpr int MainFilter = 0;   // "MF: 200 Hz"
inline constexpr int BurstFilter = 1;  // "BF: 200"
inline constexpr int Frequency = 2;    // " 996 Hz"
inline constexpr int Threshold = 3;    // "Auto" or "0.100"
inline constexpr int Lpm = 4;          // "100 LPM"
inline constexpr int Wpm = 5;          // " 20.0 WPM"
inline constexpr int Capture = 6;      // "CapT", "CapW", "T+W"
inline constexpr int TuneBy = 7;       // "RIT", "VFO"
inline constexpr int OnTop = 8;        // "On Top"
inline constexpr int FreeBuffers = 9;  // "FrB: 15"
}  // namespace panel

}  // namespace quelp
