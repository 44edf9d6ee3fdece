#include "ui/DisplayPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

namespace quelp::ui {

namespace {

void Polyline(QPainter& p, const std::vector<PixelPoint>& points) {
    if (points.empty()) return;
    QPolygon line(static_cast<int>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) {
        line.setPoint(static_cast<int>(i), points[i].x, points[i].y);
    }
    p.drawPolyline(line);
}

void Mark(QPainter& p, const std::optional<VerticalMark>& mark) {
    if (mark) p.drawLine(mark->x, mark->bottom, mark->x, mark->top);
}

}  // namespace

void PaintSpectrum(QImage& image, const SpectrumFrame& frame, const SpectrumColours& colours) {
    image.fill(colours.background);
    QPainter p(&image);
    p.setPen(QPen(colours.peak, 1));
    Polyline(p, frame.Peak);
    p.setPen(QPen(colours.current, 1));
    Polyline(p, frame.Current);
    p.setPen(QPen(colours.rxMark, 1));
    Mark(p, frame.RxMark);
    Mark(p, frame.AfcMark);
    // Three pixels wide, centred on the mark's column, bottom row to top.
    if (const auto& tx = frame.TxMark) {
        p.fillRect(tx->x - 1, tx->top, 3, tx->bottom - tx->top + 1, colours.txMark);
    }
    if (frame.SquelchY) {
        p.setPen(QPen(colours.rxMark, 1));
        p.drawLine(0, *frame.SquelchY, image.width(), *frame.SquelchY);
    }
}

void PaintScale(QImage& image, const std::vector<ScaleTick>& ticks, const QColor& face,
                const QColor& ink, const QFont& font) {
    image.fill(face);
    QPainter p(&image);
    p.setPen(QPen(ink, 1));
    p.setFont(font);
    const int baseline = kScaleLabelTop + QFontMetrics(font).ascent();
    for (const ScaleTick& tick : ticks) {
        p.drawLine(tick.x, 0, tick.x, tick.length);
        if (tick.labelled) p.drawText(tick.x + 2, baseline, QString::number(tick.hz));
    }
}

void PaintOscilloscope(QImage& image, const OscilloscopeFrame& frame,
                       const OscilloscopeColours& colours) {
    image.fill(colours.background);
    QPainter p(&image);
    p.setPen(QPen(colours.signal, 1));
    Polyline(p, frame.Trace);
    p.setPen(QPen(colours.threshold, 1));
    const int right = image.width() - 1;
    p.drawLine(1, frame.ThresholdY, right, frame.ThresholdY);
    if (frame.LimitY) p.drawLine(1, *frame.LimitY, right, *frame.LimitY);
}

QFont ScaleFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(kScaleFontHeight);
    return font;
}

}  // namespace quelp::ui
