#pragma once
// The three pictures of the main window, at their places and sizes: the
// spectrum (FFTBox), its frequency scale (ScaleImage) and the oscilloscope
// (PaintBox1). Each is drawn whole into an off-screen image when the
// application says so (after a block, at a timer tick) and then shown in one
// copy, so the screen never shows half a picture. Nothing is drawn before the
// start-up has made them ready. The mouse on them goes to the window.

#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

#include "display/OscilloscopePicture.h"
#include "display/SpectrumPicture.h"

namespace quelp {
class QuelpApp;
}

namespace quelp::ui {

class DisplayBox : public QWidget {
  public:
    DisplayBox(QWidget* parent, int designedHeight);
    void Attach(QuelpApp* app) { app_ = app; }
    // The start-up created the pictures' bitmaps: from now on they draw.
    void SetReady(bool ready) { ready_ = ready; }
    bool Ready() const { return ready_; }
    QSize sizeHint() const override { return {width(), designedHeight_}; }
    // The picture as last drawn.
    const QImage& Image() const { return image_; }

    // The mouse, as the window handles it.
    using MouseHandler = std::function<void(QMouseEvent*)>;
    MouseHandler onPress;
    MouseHandler onMove;
    MouseHandler onRelease;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // What shows where nothing has been drawn yet.
    virtual QColor Background() const = 0;
    // The image at the box's size (kept when the size is the same).
    QImage& SizedImage();
    bool Drawable() const { return app_ != nullptr && ready_; }

    QuelpApp* app_ = nullptr;
    QImage image_;
    // A drawing is under way (message pumping inside could start another).
    bool running_ = false;

  private:
    bool ready_ = false;
    int designedHeight_;
};

// The averaged and peak spectra of the band with the receive, AFC and
// transmit marks and the squelch line.
class SpectrumBox final : public DisplayBox {
  public:
    explicit SpectrumBox(QWidget* parent) : DisplayBox(parent, 50) {}
    // Draws the picture from the application's arrays and shows it; false
    // when it drew nothing (held off, not ready, already drawing).
    bool RepaintSpectrum();

  protected:
    QColor Background() const override;

  private:
    SpectrumFrame frame_;
};

// The frequency scale under the spectrum: a tick every 100 Hz, labels by
// zoom.
class ScaleBox final : public DisplayBox {
  public:
    explicit ScaleBox(QWidget* parent) : DisplayBox(parent, 20) {}
    // Draws the scale for a spectrum `spectrumWidth` wide and shows it.
    void DrawScale(int spectrumWidth);

  protected:
    QColor Background() const override;

  private:
    std::vector<ScaleTick> ticks_;
};

// The detector envelope scrolling to the left, newest at the right edge,
// with the threshold line and, with the automatic threshold, its limit.
class OscilloscopeBox final : public DisplayBox {
  public:
    explicit OscilloscopeBox(QWidget* parent) : DisplayBox(parent, 40) {}
    // One timer tick: scrolls by the step rule and draws; false when it drew
    // nothing (held off, input behind, nothing new, not ready).
    bool RepaintOscilloscope(bool slowTimerMode);
    const OscScroll& Scroll() const { return scroll_; }

  protected:
    QColor Background() const override;

  private:
    OscScroll scroll_;
    OscilloscopeFrame frame_;
};

}  // namespace quelp::ui
