#include "ui/DisplayBoxes.h"

#include <QPainter>
#include <QPolygon>

#include "app/QuelpApp.h"
#include "dsp/Bins.h"
#include "dsp/LevelScale.h"
#include "ui/WinColor.h"

namespace quelp::ui {

namespace {

// x of bin `bin` for the zoom and display centre in force, in a picture
// `width` pixels wide.
int BinX(const QuelpApp& app, int bin, int width) {
    const int zoom = app.Window().ZoomFactor;
    const int centre = app.Rx().Status().DisplayCentreBin;
    const int offset = zoom * (width / (2 * zoom) - centre + kFirstBin);
    return offset + (bin - kFirstBin) * zoom;
}

}  // namespace

DisplayBox::DisplayBox(QWidget* parent, int designedHeight)
    : QWidget(parent), designedHeight_(designedHeight) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumHeight(20);
    resize(width(), designedHeight);
}

void SpectrumBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (app_ == nullptr) {
        p.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    const WindowSettings& colours = app_->Window().Window;
    p.fillRect(rect(), WinColor(colours.FFTBackground, palette()));
    if (!Ready()) return;
    const auto& avg = app_->Rx().Spectrum().SpectrumAvg;
    const bool log = app_->Window().LogarithmicSpectrum != 0;
    QPolygon curve;
    for (int bin = kFirstBin; bin <= kLastBin; ++bin) {
        const int x = BinX(*app_, bin, width());
        if (x < 0) continue;
        if (x >= width()) break;
        curve << QPoint(x, ValueToY(avg[static_cast<std::size_t>(bin)], height(), log));
    }
    p.setPen(WinColor(colours.CurrSpectrumColor, palette()));
    p.drawPolyline(curve);
    const int rx = BinX(*app_, app_->Rx().Status().SignalBin, width());
    p.setPen(WinColor(colours.RxMarkColor, palette()));
    p.drawLine(rx, height() - 1, rx, 0);
}

void ScaleBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    if (app_ == nullptr || !Ready()) return;
    const double rate = app_->Rx().Status().SamplingFreq;
    if (rate <= 0) return;
    QFont font = p.font();
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(palette().color(QPalette::ButtonText));
    for (int hz = 100; hz <= 3000; hz += 100) {
        const int x = BinX(*app_, HzToBin(hz, rate), width());
        if (x >= width()) break;
        if (x < 0) continue;
        p.drawLine(x, 0, x, hz % 1000 == 0 ? 17 : hz % 500 == 0 ? 10 : 5);
        if (hz % 1000 == 0) p.drawText(x + 2, 15, QString::number(hz));
    }
}

void OscilloscopeBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (app_ == nullptr) {
        p.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    const WindowSettings& colours = app_->Window().Window;
    p.fillRect(rect(), WinColor(colours.OscBackground, palette()));
    if (!Ready()) return;
    const SpectrumArrays& arrays = app_->Rx().Spectrum();
    const bool log = app_->Window().LogarithmicOsc != 0;
    const int size = SpectrumArrays::kSize;
    QPolygon trace;
    for (int x = 0; x < width(); ++x) {
        const int index = ((arrays.OscIndex - width() + 1 + x) % size + size) % size;
        trace << QPoint(x,
                        ValueToY(arrays.OscRing[static_cast<std::size_t>(index)], height(), log));
    }
    p.setPen(WinColor(colours.SignalColor, palette()));
    p.drawPolyline(trace);
    const int y = ValueToY(app_->Rx().Status().DetectorThreshold, height(), log);
    p.setPen(WinColor(colours.ThresholdColor, palette()));
    p.drawLine(1, y, width() - 1, y);
}

}  // namespace quelp::ui
