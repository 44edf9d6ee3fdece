#pragma once
// The control panel's own kinds of control.

#include <QPushButton>
#include <QSpinBox>

namespace quelp::ui {

// A toggle button whose down state only the program sets: a click asks the
// application, which answers with the state in force.
class ToggleButton final : public QPushButton {
  public:
    ToggleButton(const QString& text, QWidget* parent);

  protected:
    void nextCheckState() override {}
};

// An edit with its spin control: 5 to 3000 in steps of 5, no thousands
// separator, no wrap. The arrow and page keys are left to the window (they
// tune the receiver); the spin control's buttons and the mouse wheel step.
class SpinEdit final : public QSpinBox {
  public:
    explicit SpinEdit(QWidget* parent);
    // The edit part, where the typed text is.
    QLineEdit* Line() const { return lineEdit(); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace quelp::ui
