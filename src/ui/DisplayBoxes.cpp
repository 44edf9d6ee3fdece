#include "ui/DisplayBoxes.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/QuelpApp.h"
#include "ui/DisplayPainter.h"
#include "ui/WinColor.h"

namespace quelp::ui {

namespace {
// The button face of the scale: system colour 15.
constexpr int kButtonFace = static_cast<int>(0x8000000Fu);
}  // namespace

DisplayBox::DisplayBox(QWidget* parent, int designedHeight)
    : QWidget(parent), designedHeight_(designedHeight) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumHeight(20);
    resize(width(), designedHeight);
}

void DisplayBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
    // Where the last picture does not reach (the box has grown since).
    const QColor background = Background();
    if (image_.width() < width()) {
        p.fillRect(image_.width(), 0, width() - image_.width(), height(), background);
    }
    if (image_.height() < height()) {
        p.fillRect(0, image_.height(), width(), height() - image_.height(), background);
    }
}

void DisplayBox::mousePressEvent(QMouseEvent* event) {
    if (onPress) onPress(event);
}

void DisplayBox::mouseMoveEvent(QMouseEvent* event) {
    if (onMove) onMove(event);
}

void DisplayBox::mouseReleaseEvent(QMouseEvent* event) {
    if (onRelease) onRelease(event);
}

QImage& DisplayBox::SizedImage() {
    if (image_.size() != size()) image_ = QImage(size(), QImage::Format_RGB32);
    return image_;
}

// --- the spectrum ---------------------------------------------------------------------

QColor SpectrumBox::Background() const {
    return app_ != nullptr ? WinColor(app_->Window().Window.FFTBackground, palette())
                           : palette().color(QPalette::Window);
}

bool SpectrumBox::RepaintSpectrum() {
    if (!Drawable() || running_ || app_->DisplayHoldOff() > 0) return false;
    running_ = true;
    const MainWindowState& window = app_->Window();
    const Receiver& rx = app_->Rx();
    const ReceiverStatus status = rx.Status();
    SpectrumInputs in;
    in.Width = width();
    in.Height = height();
    in.Zoom = window.ZoomFactor;
    in.CentreBin = status.DisplayCentreBin;
    in.Logarithmic = window.LogarithmicSpectrum != 0;
    in.Current = &rx.Spectrum().SpectrumAvg;
    in.Peak = app_->SpectrumRepaintShowsPeak() ? &rx.Spectrum().SpectrumPeak : nullptr;
    in.SignalBin = status.SignalBin;
    if (status.Afc) in.AfcCentreBin = status.CentreBin;
    in.TxBin = status.TxBin;
    if (status.MultiChannel || status.SquelchEnabled) in.SquelchLevel = status.SquelchThreshold;
    PlanSpectrum(in, frame_);

    const WindowSettings& c = window.Window;
    const QPalette& pal = palette();
    PaintSpectrum(SizedImage(), frame_,
                  {WinColor(c.FFTBackground, pal), WinColor(c.CurrSpectrumColor, pal),
                   WinColor(c.PeakSpectrumColor, pal), WinColor(c.RxMarkColor, pal),
                   WinColor(c.TxMarkColor, pal)});
    update();
    running_ = false;
    return true;
}

// --- the scale -----------------------------------------------------------------------------

QColor ScaleBox::Background() const {
    return WinColor(kButtonFace, palette());
}

void ScaleBox::DrawScale(int spectrumWidth) {
    if (!Drawable()) return;
    const ReceiverStatus status = app_->Rx().Status();
    PlanScale(spectrumWidth, width(), app_->Window().ZoomFactor, status.DisplayCentreBin,
              status.SamplingFreq, ticks_);
    PaintScale(SizedImage(), ticks_, Background(), Qt::black, ScaleFont());
    update();
}

// --- the oscilloscope ----------------------------------------------------------------------

QColor OscilloscopeBox::Background() const {
    return app_ != nullptr ? WinColor(app_->Window().Window.OscBackground, palette())
                           : palette().color(QPalette::Window);
}

bool OscilloscopeBox::RepaintOscilloscope(bool slowTimerMode) {
    if (!Drawable() || running_ || app_->DisplayHoldOff() > 0) return false;
    // Live input falling behind is served first.
    const SoundIn* input = app_->SoundInput();
    if (input != nullptr && input->PendingBuffers.load() > 3 && !app_->FileDecoding()) {
        return false;
    }
    const SpectrumArrays& arrays = app_->Rx().Spectrum();
    if (!scroll_.Advance(arrays.OscIndex, slowTimerMode)) return false;
    running_ = true;
    const MainWindowState& window = app_->Window();
    const ReceiverStatus status = app_->Rx().Status();
    OscilloscopeInputs in;
    in.Width = width();
    in.Height = height();
    in.Logarithmic = window.LogarithmicOsc != 0;
    in.Ring = &arrays.OscRing;
    in.Drawn = scroll_.Drawn();
    in.Threshold = status.DetectorThreshold;
    if (status.AutoThreshold) in.AutoLimit = status.MinAutoThreshold;
    PlanOscilloscope(in, frame_);

    const WindowSettings& c = window.Window;
    const QPalette& pal = palette();
    PaintOscilloscope(SizedImage(), frame_,
                      {WinColor(c.OscBackground, pal), WinColor(c.SignalColor, pal),
                       WinColor(c.ThresholdColor, pal)});
    update();
    running_ = false;
    return true;
}

}  // namespace quelp::ui
