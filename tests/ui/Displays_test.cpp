// The spectrum, scale and oscilloscope as drawn, and the operator's mouse,
// wheel and keys on the window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

#include "WindowRig.h"
#include "app/DisplayControls.h"
#include "display/SpectrumPicture.h"
#include "support/ToneBlock.h"
#include "ui/DisplayPainter.h"

namespace quelp {
namespace {

using test::WindowRig;

const QColor kRed(255, 0, 0);    // RxMarkColor 255
const QColor kGreen(0, 128, 0);  // PeakSpectrumColor 32768
const QColor kBlack(0, 0, 0);    // TxMarkColor 0

// A started window whose pictures draw (no input buffers count the start-up
// hold-off down here) and which records the key codes it broadcasts.
struct DisplayRig : WindowRig {
    std::vector<int> broadcast;
    DisplayRig() {
        Start();
        app.ResumeDisplays();
        IntegrationHooks hooks;
        hooks.broadcastKeyCode = [this](int code) { broadcast.push_back(code); };
        app.SetIntegrationHooks(hooks);
    }
    int XOf(int bin) const {
        const int zoom = app.Window().ZoomFactor;
        return BinToX(ScaleOffset(form.FftBox()->width(), zoom, app.Rx().Tune().DisplayCentreBin),
                      zoom, bin);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(form.NullButton(), key, modifiers);
    }
    bool ImageHas(const QImage& image, const QColor& colour) const {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == colour) return true;
            }
        }
        return false;
    }
};

void Move(QWidget* w, QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    QMouseEvent e(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton,
                  buttons, modifiers);
    QApplication::sendEvent(w, &e);
}

TEST(Displays, MarksInTheirColoursAndTheScaleBelow) {
    DisplayRig rig;
    rig.app.SetReceiveBin(250);
    rig.form.RepaintSpectrum();
    const QImage& image = rig.form.FftBox()->Image();
    ASSERT_EQ(image.size(), rig.form.FftBox()->size());
    const int h = image.height();
    const int rx = rig.XOf(250);
    for (int y = 0; y < h; ++y) EXPECT_EQ(image.pixelColor(rx, y), kRed) << y;
    // The transmit mark: three pixels wide, the lower quarter only.
    const int tx = rig.XOf(186);
    for (int x = tx - 1; x <= tx + 1; ++x) EXPECT_EQ(image.pixelColor(x, h - 1), kBlack) << x;
    EXPECT_NE(image.pixelColor(tx, h - h / 4 - 1), kBlack);
    EXPECT_EQ(rig.Panel(panel::Frequency), "1346 Hz");
    // The first repaint drew the scale: a tick of 17 pixels at 1000 Hz.
    const QImage& scale = rig.form.ScaleImage()->Image();
    ASSERT_FALSE(scale.isNull());
    const int tick1000 = rig.XOf(HzToBin(1000, 11025)) - kScaleImageInset;
    EXPECT_EQ(scale.pixelColor(tick1000, 16), kBlack);
    EXPECT_NE(scale.pixelColor(tick1000 - 3, 16), kBlack);
}

TEST(Displays, LogScaleDrawsZeroAtTheBottomAndTwoAtTheTop) {
    std::array<double, kBlockSize> ring{};
    ring[1] = 2.0;
    OscilloscopeInputs in;
    in.Width = 4;
    in.Height = 40;
    in.Ring = &ring;
    in.Drawn = 3;        // entries 0, 1, 2 at x = 0, 1, 2
    in.Threshold = 0.5;  // row 4
    OscilloscopeFrame frame;
    PlanOscilloscope(in, frame);
    QImage image(4, 40, QImage::Format_RGB32);
    ui::PaintOscilloscope(image, frame, {Qt::white, kGreen, kRed});
    EXPECT_EQ(image.pixelColor(1, 0), kGreen);
    EXPECT_EQ(image.pixelColor(0, 39), kGreen);
    EXPECT_EQ(image.pixelColor(2, 39), kGreen);
    EXPECT_EQ(image.pixelColor(3, 4), kRed);
    EXPECT_EQ(image.pixelColor(3, 20), Qt::white);
}

TEST(Displays, ThreeRepaintsAfterARigRetuneLeaveThePeaksOut) {
    DisplayRig rig;
    const std::vector<std::int16_t> tone = test::ToneBlock(250, 8000.0);
    const std::vector<std::int16_t> silence(kBlockSize, 0);
    rig.app.ProcessBlock(tone.data(), 1);
    for (int i = 0; i < 3; ++i) rig.app.ProcessBlock(silence.data(), 1);  // the peak stays
    rig.app.SetTransmitBin(186);
    rig.app.StartRigControl(tune_rig::kRit);
    ASSERT_EQ(rig.app.TuneRigToMark(), rig_tune::kDone);
    for (int i = 0; i < 3; ++i) {
        rig.form.RepaintSpectrum();
        EXPECT_FALSE(rig.ImageHas(rig.form.FftBox()->Image(), kGreen)) << i;
    }
    rig.form.RepaintSpectrum();
    EXPECT_TRUE(rig.ImageHas(rig.form.FftBox()->Image(), kGreen));
}

TEST(Displays, OscilloscopeScrollsOnlyWhenThereIsSomethingNew) {
    DisplayRig rig;
    rig.form.Timer1().stop();  // the test's calls are the ticks
    ui::OscilloscopeBox* osc = rig.form.PaintBox1();
    EXPECT_FALSE(osc->RepaintOscilloscope(false));  // nothing recorded yet
    const std::vector<std::int16_t> tone = test::ToneBlock(186, 8000.0);
    rig.app.ProcessBlock(tone.data(), 1);  // nine ring entries
    EXPECT_TRUE(osc->RepaintOscilloscope(false));
    EXPECT_EQ(osc->Scroll().Drawn(), 1);
    EXPECT_EQ(osc->Image().size(), osc->size());
    rig.app.MenuOpened();
    EXPECT_FALSE(osc->RepaintOscilloscope(false));  // held while a menu is open
}

TEST(Displays, MouseOnTheSpectrumScaleAndOscilloscope) {
    DisplayRig rig;
    ui::SpectrumBox* fft = rig.form.FftBox();
    QTest::mouseClick(fft, Qt::LeftButton, {}, QPoint(rig.XOf(250), 10));
    EXPECT_EQ(rig.app.Rx().Status().SignalBin, 250);
    EXPECT_EQ(rig.Panel(panel::Frequency), "1346 Hz");
    QTest::mouseClick(fft, Qt::RightButton, {}, QPoint(rig.XOf(300), 10));
    EXPECT_EQ(rig.app.Rx().Status().TxBin, 300);
    EXPECT_EQ(rig.app.Rx().Status().ScanStartBin, 152);
    QTest::mouseClick(rig.form.ScaleImage(), Qt::LeftButton, {},
                      QPoint(rig.XOf(200) - kScaleImageInset, 5));
    EXPECT_EQ(rig.app.Rx().Status().SignalBin, 200);

    // Alt-drag at 4:1: seven pixels move the centre one bin.
    rig.app.SetZoom(4);
    QTest::mousePress(fft, Qt::LeftButton, Qt::AltModifier, QPoint(100, 10));
    EXPECT_EQ(fft->cursor().shape(), Qt::SizeHorCursor);
    Move(fft, QPoint(107, 10), Qt::LeftButton, Qt::AltModifier);
    EXPECT_EQ(rig.app.Rx().Status().DisplayCentreBin, 294);
    QTest::mouseRelease(fft, Qt::LeftButton, Qt::AltModifier, QPoint(107, 10));
    EXPECT_EQ(rig.form.Controls().PanAnchor(), -1);
    Move(fft, QPoint(120, 10), Qt::NoButton, Qt::NoModifier);
    EXPECT_EQ(fft->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(rig.form.focusWidget(), rig.form.NullButton());  // parked for the wheel

    // The oscilloscope's top row is full scale.
    QTest::mouseClick(rig.form.Button(UiItem::AutoTresholdButton), Qt::LeftButton);
    QTest::mouseClick(rig.form.PaintBox1(), Qt::LeftButton, {}, QPoint(10, 0));
    EXPECT_DOUBLE_EQ(rig.app.Rx().Status().DetectorThreshold, 1.0);
    EXPECT_EQ(rig.Panel(panel::Threshold), "1.000");
}

TEST(Displays, WheelOverTheSpectrumTunes) {
    DisplayRig rig;
    const int start = rig.app.Rx().Tune().PhaseStep();
    const QPointF at(100, 10);
    QWheelEvent notch(at, rig.form.FftBox()->mapToGlobal(at), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    // As from the window system (as QTest sends its keys): the spectrum
    // passes it on to the window.
    QSpontaneKeyEvent::setSpontaneous(&notch);
    qApp->notify(rig.form.FftBox(), &notch);
    EXPECT_TRUE(notch.isAccepted());
    EXPECT_EQ(rig.app.Rx().Tune().PhaseStep(), start + 60);
    // Over the receive text the wheel's focus is let go.
    Move(rig.form.FftBox(), QPoint(50, 10), Qt::NoButton, Qt::NoModifier);
    EXPECT_TRUE(rig.form.Controls().WheelFocusTaken());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&rig.form.Memo(), &enter);
    EXPECT_FALSE(rig.form.Controls().WheelFocusTaken());
}

TEST(Displays, EveryKeyOfTheTable) {
    DisplayRig rig;
    ui::TRxForm& f = rig.form;
    const std::pair<Qt::Key, int> zooms[] = {{Qt::Key_1, 1}, {Qt::Key_2, 2}, {Qt::Key_3, 3},
                                             {Qt::Key_4, 4}, {Qt::Key_5, 5}, {Qt::Key_6, 10},
                                             {Qt::Key_7, 20}};
    const UiItem zoomItems[] = {UiItem::Zoom1, UiItem::Zoom2,  UiItem::Zoom3, UiItem::Zoom4,
                                UiItem::Zoom5, UiItem::Zoom10, UiItem::Zoom20};
    for (std::size_t i = 0; i < std::size(zooms); ++i) {
        rig.Key(zooms[i].first, Qt::AltModifier);
        EXPECT_EQ(rig.app.Window().ZoomFactor, zooms[i].second);
        EXPECT_TRUE(f.Item(zoomItems[i])->isChecked());
    }
    // The buttons toggle once each, as a click would (their own mnemonics
    // do not click them a second time).
    const ReceiverStatus before = rig.app.Rx().Status();
    rig.Key(Qt::Key_A, Qt::AltModifier);
    rig.Key(Qt::Key_F, Qt::AltModifier);
    rig.Key(Qt::Key_R, Qt::AltModifier);
    const ReceiverStatus after = rig.app.Rx().Status();
    EXPECT_NE(after.AutoGoToMax, before.AutoGoToMax);
    EXPECT_NE(after.Afc, before.Afc);
    EXPECT_NE(after.AutoThreshold, before.AutoThreshold);
    EXPECT_EQ(f.Button(UiItem::AfcButton)->isChecked(), after.Afc);
    EXPECT_EQ(f.Button(UiItem::AutoTresholdButton)->isChecked(), after.AutoThreshold);

    rig.Key(Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(f.Memo().toPlainText(), "");
    rig.dialogs.answers = {rig.dir.File("cap.txt")};
    rig.Key(Qt::Key_L, Qt::AltModifier);
    EXPECT_TRUE(rig.app.CaptureOpen());
    rig.Key(Qt::Key_L, Qt::AltModifier);
    EXPECT_FALSE(rig.app.CaptureOpen());
    rig.dialogs.answers = {rig.dir.File("cap.wav")};
    rig.Key(Qt::Key_V, Qt::AltModifier);
    EXPECT_TRUE(rig.app.WaveCaptureOpen());
    rig.Key(Qt::Key_V, Qt::AltModifier);
    EXPECT_FALSE(rig.app.WaveCaptureOpen());
    rig.Key(Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(rig.app.Window().LogarithmicSpectrum, 0);
    rig.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rig.app.Window().LogarithmicOsc, 0);

    const int sound = rig.app.SoundOutputCode();
    rig.Key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_NE(rig.app.SoundOutputCode(), sound);
    rig.Key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(rig.desktop.opened.size(), 1u);
    rig.dialogs.answers = {rig.dir.File("buffer.txt")};
    rig.Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(rig.dialogs.asked.back().title, "Save buffer to file");

    // The codes other programs get.
    rig.app.MenuOpened();
    rig.Key(Qt::Key_Escape);
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
    rig.Key(Qt::Key_Pause);
    rig.Key(Qt::Key_ScrollLock);
    rig.Key(Qt::Key_P, Qt::ControlModifier);
    rig.Key(Qt::Key_T, Qt::ControlModifier);
    rig.Key(Qt::Key_F1, Qt::ShiftModifier);  // no such key
    std::vector<int> expected = {0, 102, 112, 102, 112};
    for (int n = 1; n <= 12; ++n) {
        const auto key = static_cast<Qt::Key>(Qt::Key_F1 + n - 1);
        rig.Key(key);
        rig.Key(key, Qt::ControlModifier);
        rig.Key(key, Qt::AltModifier);
        expected.insert(expected.end(), {n, 12 + n, 24 + n});
    }
    EXPECT_EQ(rig.broadcast, expected);
    EXPECT_TRUE(f.isVisible());  // Alt+F4 did not close the window

    // Rig tuning on in the last mode, and off again.
    rig.Key(Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(rig.app.Params().TuneRig, 2);
    EXPECT_EQ(rig.Panel(panel::TuneBy), "VFO");
    rig.Key(Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(rig.app.Params().TuneRig, 0);
    EXPECT_EQ(rig.Panel(panel::TuneBy), "");

    // Holding Alt announces the pan.
    rig.Key(Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(f.FftBox()->cursor().shape(), Qt::SizeHorCursor);
    rig.Key(Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(f.FftBox()->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace quelp
