// The window's part of the start-up: the start-up timer, the steps of the
// deferred initialisation that need a window, the display timer, and the
// geometry and font from the settings (and back before a save).

#include <QSplitter>

#include "app/QuelpApp.h"
#include "ui/RxFormDialogs.h"
#include "ui/TRxForm.h"

namespace quelp::ui {

void TRxForm::FirstActivation() {
    if (activated_) return;
    activated_ = true;
    timer2_.start();
}

void TRxForm::Timer2Tick() {
    if (app_ == nullptr || !startupPending_) return;
    startupPending_ = false;
    app_->DeferredInit(args_);
}

WindowHooks TRxForm::Hooks() {
    WindowHooks hooks;
    hooks.createDisplayBitmaps = [this] {
        fftBox_->SetReady(true);
        scaleImage_->SetReady(true);
        paintBox1_->SetReady(true);
    };
    // Every system this runs on keeps a 20 ms timer; the slow mode stays for
    // the oscilloscope's step size.
    hooks.checkSlowTimer = [this] { timer1_.setInterval(slowTimerMode_ ? 220 : 20); };
    hooks.caretToEnd = [this] {
        QTextCursor cursor = rxMemo_->textCursor();
        cursor.movePosition(QTextCursor::End);
        rxMemo_->setTextCursor(cursor);
    };
    hooks.focusNullButton = [this] { nullButton_->setFocus(); };
    hooks.installMessageFilter = [this] { menuFilter_ = true; };
    hooks.startTimers = [this] {
        timer1_.start();
        timer2_.stop();
    };
    hooks.stopTimers = [this] { timer1_.stop(); };
    // Closing from inside the input handler would stop the input under it:
    // the window closes once the handler has returned.
    hooks.endApplication = [this] {
        QMetaObject::invokeMethod(
            this, [this] { close(); }, Qt::QueuedConnection);
    };
    hooks.applyWindowSettings = [this] { ApplyWindowSettings(); };
    hooks.reportWindowSettings = [this] { ReportWindowSettings(); };
    hooks.applyAppearance = [this] { dialogs_->ApplyAppearance(); };
    return hooks;
}

void TRxForm::Timer1Tick() {
    // Message pumping inside a repaint could bring the next tick in.
    if (inOscilloscope_) return;
    inOscilloscope_ = true;
    RepaintOscilloscope();
    inOscilloscope_ = false;
}

void TRxForm::RepaintOscilloscope() {
    static_cast<void>(paintBox1_->RepaintOscilloscope(slowTimerMode_));
}

void TRxForm::ApplyWindowSettings() {
    const MainWindowState& state = app_->Window();
    const WindowSettings& w = state.Window;
    // -1 keeps the designed value.
    QPoint at = pos();
    if (w.Left != -1) at.setX(w.Left);
    if (w.Top != -1) at.setY(w.Top);
    move(at);
    QSize size = this->size();
    if (w.Height != -1) size.setHeight(w.Height);
    if (w.Width != -1) size.setWidth(w.Width);
    resize(size);
    if (w.SpectrumHeight != -1) {
        QList<int> sizes = splitter1_->sizes();
        const int total = sizes.value(0) + sizes.value(1);
        splitter1_->setSizes({w.SpectrumHeight, std::max(0, total - w.SpectrumHeight)});
    }
    if (w.RxTextHeight != -1) {
        QList<int> sizes = splitter2_->sizes();
        const int total = sizes.value(0) + sizes.value(1);
        splitter2_->setSizes({w.RxTextHeight, std::max(0, total - w.RxTextHeight)});
    }
    rxMemo_->ApplyFont(state.RxFont);
    if (state.StayOnTop != windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        setWindowFlag(Qt::WindowStaysOnTopHint, state.StayOnTop);
        show();
    }
    fftBox_->update();
    paintBox1_->update();
}

void TRxForm::ReportWindowSettings() {
    WindowSettings w = app_->Window().Window;
    w.Left = pos().x();
    w.Top = pos().y();
    w.Height = height();
    w.Width = width();
    w.SpectrumHeight = fftBox_->height();
    w.RxTextHeight = rxMemo_->height();
    app_->SetMainWindowSettings(w);
}

}  // namespace quelp::ui
