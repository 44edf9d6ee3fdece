#pragma once
// The program's parameter record for what the application object keeps
// beside the receiver: the sound cards, the capture file's time marks, rig
// tuning, word catching and log export, the exchange library's channel and
// where the settings file is. The receiver keeps its own (the rate, the
// levels, the speed window, the character table; see ReceiverParams).
// Every member starts at its built-in default, which is the state a missing
// settings file leaves.

#include <string>

#include "audio/SoundCards.h"
#include "text/TextCapture.h"

namespace quelp {

struct Quelp_Params {
    SoundCardOptions Cards;
    TimeMarkOptions Marks;

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
