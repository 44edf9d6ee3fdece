#include "ui/AboutBox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#ifndef QUELP_VERSION
#define QUELP_VERSION "unknown"
#endif

namespace quelp::ui {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About"));
    setModal(true);
    auto* column = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("Quelp"), this);
    QFont big = name->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    column->addWidget(name);
    auto* version = new QLabel(QStringLiteral("Version " QUELP_VERSION), this);
    version->setObjectName(QStringLiteral("Version"));
    version->setAlignment(Qt::AlignCenter);
    column->addWidget(version);
    auto* what = new QLabel(QStringLiteral("A Morse (CW) decoder for radio amateurs"), this);
    what->setAlignment(Qt::AlignCenter);
    column->addWidget(what);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    column->addWidget(buttons);
}

}  // namespace quelp::ui
