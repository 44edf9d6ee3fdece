#pragma once
// Drawing the three pictures into their off-screen images with QPainter:
// the geometry comes ready from the core (SpectrumFrame, the scale's ticks,
// OscilloscopeFrame); only pens, colours and the font are decided here.

#include <QColor>
#include <QFont>
#include <QImage>
#include <vector>

#include "display/OscilloscopePicture.h"
#include "display/SpectrumPicture.h"

namespace quelp::ui {

struct SpectrumColours {
    QColor background;  // FFTBackground
    QColor current;     // CurrSpectrumColor
    QColor peak;        // PeakSpectrumColor
    QColor rxMark;      // RxMarkColor: receive and AFC marks, squelch line
    QColor txMark;      // TxMarkColor
};

struct OscilloscopeColours {
    QColor background;  // OscBackground
    QColor signal;      // SignalColor
    QColor threshold;   // ThresholdColor
};

// Each fills the whole image first.
void PaintSpectrum(QImage& image, const SpectrumFrame& frame, const SpectrumColours& colours);
void PaintScale(QImage& image, const std::vector<ScaleTick>& ticks, const QColor& face,
                const QColor& ink, const QFont& font);
void PaintOscilloscope(QImage& image, const OscilloscopeFrame& frame,
                       const OscilloscopeColours& colours);

// The scale's face: "MS Sans Serif" (or what the system has for it), 10
// pixels high.
QFont ScaleFont();

}  // namespace quelp::ui
