#include "ui/RigSetupDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace quelp::ui {

namespace {

constexpr std::array<int, 9> kSpeeds = {1200,  2400,  4800,   9600,  19200,
                                        38400, 57600, 115200, 230400};

QString ModelText(const HamlibModel& m) {
    return QStringLiteral("%1 %2 (%3)")
        .arg(QString::fromStdString(m.Maker), QString::fromStdString(m.Name))
        .arg(m.Model);
}

}  // namespace

RigSetupDialog::RigSetupDialog(QWidget* parent, const std::vector<HamlibModel>& models,
                               const HamlibSettings& settings)
    : QDialog(parent), models_(models) {
    setObjectName(QStringLiteral("RigSetup"));
    setWindowTitle(QStringLiteral("Rig Setup"));
    setModal(true);
    auto* column = new QVBoxLayout(this);
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        RigPage& page = pages_[i];
        const HamlibRigSettings& rig = settings.Rigs[i];
        auto* box = new QGroupBox(QStringLiteral("RIG%1").arg(i + 1), this);
        auto* form = new QFormLayout(box);

        page.model = new QComboBox(box);
        page.model->setObjectName(QStringLiteral("Rig%1Model").arg(i + 1));
        // A model missing from this Hamlib is kept, so OK does not lose it.
        const bool known = std::any_of(models_.begin(), models_.end(),
                                       [&](const HamlibModel& m) { return m.Model == rig.Model; });
        if (!known) models_.push_back({rig.Model, "", "Model", false});
        for (const HamlibModel& m : models_) page.model->addItem(ModelText(m), m.Model);
        page.model->setCurrentIndex(page.model->findData(rig.Model));
        form->addRow(QStringLiteral("Model:"), page.model);

        page.port = new QLineEdit(QString::fromStdString(rig.Port), box);
        page.port->setObjectName(QStringLiteral("Rig%1Port").arg(i + 1));
        page.portLabel = new QLabel(box);
        form->addRow(page.portLabel, page.port);

        page.speed = new QComboBox(box);
        page.speed->setObjectName(QStringLiteral("Rig%1Speed").arg(i + 1));
        page.speed->addItem(QStringLiteral("Default"), 0);
        for (int speed : kSpeeds) page.speed->addItem(QString::number(speed), speed);
        const int at = page.speed->findData(rig.Speed);
        page.speed->setCurrentIndex(at >= 0 ? at : 0);
        form->addRow(QStringLiteral("Speed:"), page.speed);

        connect(page.model, &QComboBox::currentIndexChanged, this,
                [this, i](int) { ShowPortKind(pages_[i]); });
        ShowPortKind(page);
        column->addWidget(box);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

void RigSetupDialog::ShowPortKind(RigPage& page) {
    const int model = page.model->currentData().toInt();
    const auto it = std::find_if(models_.begin(), models_.end(),
                                 [&](const HamlibModel& m) { return m.Model == model; });
    const bool network = it != models_.end() && it->Network;
    page.portLabel->setText(network ? QStringLiteral("Host:port:") : QStringLiteral("Port:"));
    page.port->setPlaceholderText(network ? QStringLiteral("localhost:4532")
                                          : QStringLiteral("/dev/ttyUSB0"));
    page.speed->setEnabled(!network);
}

HamlibSettings RigSetupDialog::Settings() const {
    HamlibSettings settings;
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        const RigPage& page = pages_[i];
        HamlibRigSettings& rig = settings.Rigs[i];
        rig.Model = page.model->currentData().toInt();
        rig.Port = page.port->text().trimmed().toStdString();
        rig.Speed = page.speed->isEnabled() ? page.speed->currentData().toInt() : 0;
    }
    return settings;
}

}  // namespace quelp::ui
