#pragma once
// The program's single parameter record: the settings and the flags that
// several subsystems share. One instance lives in the application object for
// the whole run; every member starts at its built-in default, which is the
// state a missing settings file leaves.

#include <cstdint>
#include <string>

namespace quelp {

struct Quelp_Params {
    // --- sampling rate ----------------------------------------------------
    // The sound card's real rate as calibrated by the operator, in Hz; used in
    // every conversion between samples, hertz and bins.
    double SamplingFreq = 11025.0;

    // --- character table --------------------------------------------------
    int Charset = 0;              // 0 English, 1 Russian, 2 user file, 3 Swedish
    std::string UserCharsetFile;  // path of the user charset file

    // --- speed window and decoder estimates (consecutive, in this order) --
    int32_t SpeedLocked = 0;      // speed lock on (1) or off (0)
    int32_t LowerSpeed = 100;     // speed window, LPM
    int32_t HigherSpeed = 150;    // speed window, LPM
    int32_t UpperDotLimit = 662;  // longest dot accepted while locked, samples
    int32_t LowerDotLimit = 441;  // shortest dot accepted while locked, samples
    int32_t DotLen = 662;         // dot-length estimate, samples
    int32_t DashLen = 1986;       // dash-length estimate, samples
    int32_t ShortPauseLen = 662;  // element-gap estimate, samples
    int32_t DecodedChars = 0;     // character ends since start

    // --- capture file and time marks -------------------------------------
    int PutTimeMarks = 0;  // time marks in the text capture file
    int UseUTC = 1;        // time marks in UTC rather than local time

    // --- detector threshold and squelch (levels: 1.0 about full scale) ---
    double DetectorThreshold = 0.1;
    double MinAutoThreshold = 0.001;  // lower limit of the automatic threshold
    double SquelchThreshold = 0.005;  // squelch level
    int SquelchEnabled = 0;
    int EnableManualLimit = 0;  // auto-threshold limit fixed by the operator

    // --- multi-channel decoder --------------------------------------------
    int ReUseThresholdLimit = 0;
    int ReUseSpeedLimits = 0;

    // --- sound cards --------------------------------------------------------
    int SoundCardNumber = -1;     // input device, -1 = system default
    int InputCardChannel = 0;     // 0 mono, 1 left, 2 right
    int OutputCardChannel = 0;    // 0 mono, 1 left, 2 right
    int OutSoundCardNumber = -1;  // output device, -1 = system default

    // --- rig control --------------------------------------------------------
    int TuneRig = 0;      // 0 none, 1 RIT, 2 main VFO
    int LastTuneRig = 2;  // last non-zero TuneRig, for the toggle key
    int RigNumber = 1;    // rig 1 or 2

    // --- word catching and log export --------------------------------------
    std::string ExportIniFile = "loginput.ini";
    std::string ExportIniSection = "QSO";
    int CatchWordByOneClick = 0;
    int ContestMode = 0;
    int CopyTransferredData = 0;

    // --- exchange library ----------------------------------------------------
    int ExCanal = 1;  // exchange library channel, 0 = library not used

    // --- settings file -------------------------------------------------------
    std::string SettingsPath = "./QUELP.INI";
};

}  // namespace quelp
