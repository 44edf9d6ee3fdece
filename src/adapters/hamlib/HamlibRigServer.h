#pragma once
// The rig-control server on Hamlib: rig 1 and rig 2 as set up in its own
// settings, each opened afresh at every connect. A rig shared with other
// programs is reached through rigctld and Hamlib's network model. Hamlib's
// answers are translated into the server's parameter values; its errors
// end here as empty or false results.

#include <functional>
#include <string>
#include <vector>

#include "adapters/hamlib/HamlibSettings.h"
#include "ports/RigServer.h"

struct s_rig;  // Hamlib's RIG

namespace quelp {

class HamlibRigServer final : public RigServer {
  public:
    explicit HamlibRigServer(HamlibSettings settings = {});
    ~HamlibRigServer() override;
    HamlibRigServer(const HamlibRigServer&) = delete;
    HamlibRigServer& operator=(const HamlibRigServer&) = delete;

    // Every model Hamlib knows, by maker and name.
    static std::vector<HamlibModel> Models();

    const HamlibSettings& Settings() const { return settings_; }
    // Taken at the next connect.
    void SetSettings(const HamlibSettings& settings) { settings_ = settings; }
    // The settings window; ShowSetup fails while there is none.
    void SetSetupWindow(std::function<bool()> show) { showSetup_ = std::move(show); }

    // The open rig (null while none is): for tools and tests that act on
    // the rig beside the program, as its other users would.
    s_rig* NativeRig() const { return rig_; }

    bool Create() override;
    bool SelectRig(int number) override;
    std::optional<std::int32_t> Get(RigProperty property) override;
    bool Set(RigProperty property, std::int32_t value) override;
    bool ClearRit() override;
    bool ShowSetup() override;

  private:
    void CloseRig();
    void LearnParameters();
    std::optional<std::int32_t> GetChecked(RigProperty property);
    bool SetChecked(RigProperty property, std::int32_t value);

    HamlibSettings settings_;
    std::function<bool()> showSetup_;
    s_rig* rig_ = nullptr;
    std::uint32_t readable_ = 0;
    std::uint32_t writable_ = 0;
    bool ritSwitch_ = false;  // the rig has a RIT on/off function
};

}  // namespace quelp
