// The pictures' repaint after a block, and the operator's hands on the
// window: the mouse on the spectrum, its scale and the oscilloscope, the
// wheel and the keys, all handed to the application's display controls.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStatusBar>
#include <QWheelEvent>
#include <thread>

#include "app/DisplayControls.h"
#include "app/QuelpApp.h"
#include "ui/TRxForm.h"

namespace quelp::ui {

namespace {

// A key as the table knows it: Windows' virtual-key code; 0 for the keys it
// has no use for.
int VirtualKey(int qtKey) {
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) {
        return qtKey;  // Qt uses the characters' codes, as Windows does
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return vk::F(qtKey - Qt::Key_F1 + 1);
    switch (qtKey) {
        case Qt::Key_Escape:
            return vk::Escape;
        case Qt::Key_Pause:
            return vk::Pause;
        case Qt::Key_ScrollLock:
            return vk::ScrollLock;
        default:
            return 0;
    }
}

HeldKeys Held(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    HeldKeys held;
    held.Shift = modifiers.testFlag(Qt::ShiftModifier);
    held.Alt = modifiers.testFlag(Qt::AltModifier);
    held.Ctrl = modifiers.testFlag(Qt::ControlModifier);
    held.Left = buttons.testFlag(Qt::LeftButton);
    held.Right = buttons.testFlag(Qt::RightButton);
    return held;
}

// The keys held at a key press; a modifier being pressed counts as held
// (whether its own press carries it differs between window systems).
HeldKeys KeyHeld(const QKeyEvent& key) {
    HeldKeys held = Held(key.modifiers(), Qt::NoButton);
    held.Shift = held.Shift || key.key() == Qt::Key_Shift;
    held.Alt = held.Alt || key.key() == Qt::Key_Alt;
    held.Ctrl = held.Ctrl || key.key() == Qt::Key_Control;
    return held;
}

}  // namespace

void TRxForm::RepaintSpectrum() {
    if (!fftBox_->RepaintSpectrum()) return;
    // The receive frequency, whenever the drawing finds it moved.
    const ReceiverStatus status = app_->Rx().Status();
    if (status.SignalBin != shownSignalBin_) {
        shownSignalBin_ = status.SignalBin;
        SetStatusText(panel::Frequency, FrequencyText(status.SignalBin, status.SamplingFreq));
    }
    if (app_->ScaleDue(fftBox_->width())) scaleImage_->DrawScale(fftBox_->width());
    // The rest of the time slice to the sound threads.
    std::this_thread::yield();
}

SpectrumPointer TRxForm::Pointer(const QMouseEvent& event, bool onScale) const {
    SpectrumPointer p;
    const QPoint at = event.position().toPoint();
    p.x = at.x();
    p.y = at.y();
    p.onScale = onScale;
    p.spectrumWidth = fftBox_->width();
    p.spectrumHeight = fftBox_->height();
    p.held = Held(event.modifiers(), event.buttons());
    return p;
}

void TRxForm::ConnectDisplayControls() {
    controls_ = std::make_unique<DisplayControls>(*app_, *this);
    DisplayControlsHooks hooks;
    QWidget* scalePanel = scaleImage_->parentWidget();
    hooks.setSpectrumCursor = [this, scalePanel](bool panArrows) {
        const Qt::CursorShape shape = panArrows ? Qt::SizeHorCursor : Qt::ArrowCursor;
        if (fftBox_->cursor().shape() != shape) fftBox_->setCursor(shape);
        if (scalePanel->cursor().shape() != shape) scalePanel->setCursor(shape);
    };
    hooks.focusNullButton = [this] { nullButton_->setFocus(); };
    hooks.repaintSpectrum = [this] { RepaintSpectrum(); };
    controls_->SetHooks(std::move(hooks));

    // The spectrum and its scale: every movement counts, buttons or not.
    for (DisplayBox* box :
         {static_cast<DisplayBox*>(fftBox_), static_cast<DisplayBox*>(scaleImage_)}) {
        const bool onScale = box == scaleImage_;
        box->setMouseTracking(true);
        box->onPress = [this, onScale](QMouseEvent* e) {
            controls_->SpectrumMouseDown(Pointer(*e, onScale));
        };
        box->onMove = [this, onScale](QMouseEvent* e) {
            controls_->SpectrumMouseMove(Pointer(*e, onScale));
        };
        box->onRelease = [this, onScale](QMouseEvent* e) {
            controls_->SpectrumMouseUp(Pointer(*e, onScale));
        };
    }
    // The oscilloscope: press, release, and drags with the left button.
    const auto row = [](const QMouseEvent& e) { return e.position().toPoint().y(); };
    paintBox1_->onPress = [this, row](QMouseEvent* e) {
        controls_->OscilloscopeMouse(row(*e), paintBox1_->height(), true);
    };
    paintBox1_->onMove = [this, row](QMouseEvent* e) {
        if (e->buttons().testFlag(Qt::LeftButton)) {
            controls_->OscilloscopeMouse(row(*e), paintBox1_->height(), false);
        }
    };
    paintBox1_->onRelease = [this, row](QMouseEvent* e) {
        controls_->OscilloscopeMouse(row(*e), paintBox1_->height(), true);
    };
    qApp->installEventFilter(this);
}

bool TRxForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (controls_ == nullptr ||
        (type != QEvent::KeyPress && type != QEvent::ShortcutOverride && type != QEvent::Enter)) {
        return QMainWindow::eventFilter(watched, event);
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return QMainWindow::eventFilter(watched, event);
    }
    if (type == QEvent::Enter) {
        // Over the other parts of the window the wheel's focus is let go.
        const QString name = widget->objectName();
        if (widget == rxMemo_ || widget == paintBox1_ || widget == statusBar() ||
            name == QLatin1String("Panel1")) {
            controls_->ReleaseWheelFocus();
        }
        return QMainWindow::eventFilter(watched, event);
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    const int code = VirtualKey(key.key());
    const HeldKeys held = KeyHeld(key);
    // A key of the window's table is the window's: no shortcut, mnemonic or
    // control takes it. Once it has acted, it goes no further (this filter
    // sees a key again at each parent it would travel to).
    const bool tableKey = LookUpKey(code, held).action != KeyAction::None;
    if (type == QEvent::ShortcutOverride) {
        if (!tableKey) return QMainWindow::eventFilter(watched, event);
        event->accept();
        return true;
    }
    const bool consumed = controls_->KeyDown(code, held);
    if (!consumed && !tableKey) return QMainWindow::eventFilter(watched, event);
    event->accept();
    return true;
}

void TRxForm::wheelEvent(QWheelEvent* event) {
    if (controls_ != nullptr) controls_->Wheel(event->angleDelta().y());
    event->accept();
}

}  // namespace quelp::ui
