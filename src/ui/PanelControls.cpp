#include "ui/PanelControls.h"

#include <QKeyEvent>

namespace quelp::ui {

ToggleButton::ToggleButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setCheckable(true);
    setAutoDefault(false);
}

SpinEdit::SpinEdit(QWidget* parent) : QSpinBox(parent) {
    setRange(5, 3000);
    setSingleStep(5);
    setGroupSeparatorShown(false);
    setWrapping(false);
    // Only what the operator finished typing, or a step, is taken.
    setKeyboardTracking(false);
    setFocusPolicy(Qt::ClickFocus);
}

void SpinEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            event->ignore();
            return;
        default:
            QSpinBox::keyPressEvent(event);
    }
}

}  // namespace quelp::ui
