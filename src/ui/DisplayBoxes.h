#pragma once
// The three pictures of the main window, at their places and sizes: the
// spectrum (FFTBox), its frequency scale (ScaleImage) and the oscilloscope
// (PaintBox1). Each draws from the application's arrays when told to repaint;
// nothing is drawn before the start-up has made them ready.

#include <QWidget>

namespace quelp {
class QuelpApp;
}

namespace quelp::ui {

class DisplayBox : public QWidget {
  public:
    DisplayBox(QWidget* parent, int designedHeight);
    void Attach(const QuelpApp* app) { app_ = app; }
    // The start-up created the pictures' bitmaps: from now on they draw.
    void SetReady(bool ready) { ready_ = ready; }
    bool Ready() const { return ready_; }
    QSize sizeHint() const override { return {width(), designedHeight_}; }

  protected:
    const QuelpApp* app_ = nullptr;

  private:
    bool ready_ = false;
    int designedHeight_;
};

// The averaged spectrum of the band with the receive mark.
class SpectrumBox final : public DisplayBox {
  public:
    explicit SpectrumBox(QWidget* parent) : DisplayBox(parent, 50) {}

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// The frequency scale under the spectrum: a tick every 100 Hz, the
// thousands written.
class ScaleBox final : public DisplayBox {
  public:
    explicit ScaleBox(QWidget* parent) : DisplayBox(parent, 20) {}

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// The detector envelope, newest at the right edge, with the threshold line.
class OscilloscopeBox final : public DisplayBox {
  public:
    explicit OscilloscopeBox(QWidget* parent) : DisplayBox(parent, 40) {}

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace quelp::ui
