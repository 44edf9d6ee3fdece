#pragma once
// Rig tuning as the main window runs it: the tuning mode in force (TuneRig,
// status panel 7), starting and stopping it, the toggle key, the retunes
// after a click, a go-to-max or a wheel step, and the server's settings
// window, with the messages the operator sees when the rig fails.

#include <string_view>

#include "integration/OmniWork.h"
#include "ports/MainView.h"

namespace quelp {

// The settings rig tuning reads and changes, kept by the application.
struct RigTuningSettings {
    int& TuneRig;      // 0 none, 1 RIT, 2 main VFO
    int& LastTuneRig;  // mode the toggle key switches on
    const int& RigNumber;
};

inline constexpr std::string_view kRigErrorCaption = "OmniRig Error";
inline constexpr std::string_view kRigStartFailed = "Problem with OmniRig starting!";
inline constexpr std::string_view kRigNoAnswer = "RIG doesn't answer!";
inline constexpr std::string_view kRigNoRit = "This RIG does not support software RIT control!";
inline constexpr std::string_view kRigCommandSet =
    "The RIG command set is not supported! Ask developer ...";

class RigControl {
  public:
    RigControl(RigServer* server, Clock& clock, MainView& view, RigTuneTarget& target,
               RigTuningSettings settings);

    // Applies tuning mode `mode` (1 RIT, 2 main VFO, anything else none):
    // connects the rig and checks it answers and, for RIT, that its offset
    // is writable; on any failure says why and tuning goes off.
    void StartRigControl(int mode);
    // The toggle key: off when on, else the last mode that was on.
    void ToggleRigTuning();
    // The retunes in the mode in force (nothing when tuning is off): the
    // rig's result code. A rig without a usable frequency (code 20) is
    // reported and tuning goes off; other failures change nothing.
    int TuneToMark();
    int TuneBy(int hz);
    // The "Go" button: the server's settings window.
    void ShowSetup();

    const TOmniWork& Omni() const { return omni_; }

  private:
    void Stop(std::string_view message);
    int Checked(int result);

    TOmniWork omni_;
    Clock& clock_;
    MainView& view_;
    RigTuningSettings settings_;
};

}  // namespace quelp
