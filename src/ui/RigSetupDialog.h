#pragma once
// The rig-control server's settings window: for rig 1 and rig 2, the Hamlib
// model, and its serial port and speed or, for a rig shared through
// rigctld, the daemon's host:port. The choice takes effect at the next
// connect (the setup dialog's tuning mode or rig, Ctrl+U, the next start).

#include <QDialog>
#include <array>
#include <vector>

#include "adapters/hamlib/HamlibSettings.h"

class QComboBox;
class QLineEdit;
class QLabel;

namespace quelp::ui {

class RigSetupDialog final : public QDialog {
  public:
    RigSetupDialog(QWidget* parent, const std::vector<HamlibModel>& models,
                   const HamlibSettings& settings);
    // What the dialog shows now.
    HamlibSettings Settings() const;

  private:
    struct RigPage {
        QComboBox* model = nullptr;
        QLineEdit* port = nullptr;
        QLabel* portLabel = nullptr;
        QComboBox* speed = nullptr;
    };
    void ShowPortKind(RigPage& page);

    std::vector<HamlibModel> models_;
    std::array<RigPage, 2> pages_;
};

}  // namespace quelp::ui
