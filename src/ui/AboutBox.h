#pragma once
// The about box: the program's name and version, and "OK".

#include <QDialog>

namespace quelp::ui {

class AboutBox final : public QDialog {
  public:
    explicit AboutBox(QWidget* parent);
};

}  // namespace quelp::ui
