// The setup dialog as the operator meets it: where and how it opens, its
// sample texts and pictures, and its buttons' rules through its controls.

#include "ui/TSetupForm.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <fstream>

#include "WindowRig.h"
#include "support/CwSynth.h"
#include "ui/RxFormDialogs.h"
#include "ui/WinColor.h"

namespace quelp {
namespace {

struct SetupRig : test::WindowRig {
    explicit SetupRig(const std::string& settings = "") {
        if (!settings.empty()) std::ofstream(dir.File("QUELP.INI")) << settings;
        Start();
    }
    ui::TSetupForm& Open() {
        form.Menus().setup->trigger();
        ui::TSetupForm* setup = form.Dialogs().SetupForm();
        EXPECT_NE(setup, nullptr);
        return *setup;
    }
    template <class W>
    W* Find(ui::TSetupForm& f, const char* name) {
        W* w = f.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Click(ui::TSetupForm& f, const char* name) { Find<QPushButton>(f, name)->click(); }
};

TEST(TSetupForm, OpensAtItsPlaceWithSixPagesAndTheSamples) {
    SetupRig rig;
    ui::TSetupForm& f = rig.Open();
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(f.isModal());
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(f.windowTitle(), "Setup");
    EXPECT_EQ(f.size(), QSize(561, 353));
    EXPECT_EQ(f.pos(), QPoint(477, 220));
    EXPECT_EQ(rig.app.DisplayHoldOff(), 1650);
    const QStringList pages = {"Interface",       "Text",   "View",
                               "Fonts && colors", "Tuning", "Multi-decoder"};
    ASSERT_EQ(f.Pages()->count(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(f.Pages()->tabText(i), pages[i]);
    // Opening created the multi-channel window, whose font the last page shows.
    EXPECT_NE(rig.form.Dialogs().ScanForm(), nullptr);

    QComboBox* in = rig.Find<QComboBox>(f, "InCardNumBox");
    ASSERT_EQ(in->count(), 12);
    EXPECT_EQ(in->itemText(0), "DEFAULT");
    EXPECT_EQ(in->itemText(1), "0  Fake Device 0");
    EXPECT_EQ(in->itemText(11), "10  ");
    EXPECT_EQ(in->currentIndex(), 0);
    EXPECT_EQ(rig.Find<QLineEdit>(f, "InSamplingRateEdit")->text(), "11025.00");
    EXPECT_TRUE(rig.Find<QRadioButton>(f, "EngCharsetButton")->isChecked());
    EXPECT_EQ(rig.Find<QComboBox>(f, "TuneRigByBox")->itemText(2), "Main VFO");

    // The samples in Cyrillic, through the fonts' Windows-1251.
    EXPECT_EQ(rig.Find<QPlainTextEdit>(f, "RxSampleMemo")->toPlainText(),
              QString::fromUtf8("Sample text ABCD АБВГ\nABCD abcd АБВГ абвг"));
    QTableWidget* grid = rig.Find<QTableWidget>(f, "SampleGrid");
    EXPECT_EQ(grid->item(0, 0)->text(), QString::fromUtf8("Sample text ABCD АБВГ"));
    EXPECT_EQ(grid->item(2, 0)->text(), "cq cq cq de vrelk");
    EXPECT_EQ(grid->item(3, 0)->text(), "");
    EXPECT_EQ(grid->currentRow(), 3);

    // The pictures in the display colours: background white, receive marks
    // red at x = 103 and on the line at 4H/5, the transmit mark black.
    const QImage& spectrum = f.SpectrumSample();
    EXPECT_EQ(spectrum.size(), QSize(245, 107));
    EXPECT_EQ(spectrum.pixelColor(5, 5), QColor(Qt::white));
    EXPECT_EQ(spectrum.pixelColor(103, 40), QColor(Qt::red));
    EXPECT_EQ(spectrum.pixelColor(20, 85), QColor(Qt::red));
    EXPECT_EQ(spectrum.pixelColor(91, 100), QColor(Qt::black));  // 3 wide
    EXPECT_EQ(spectrum.pixelColor(103, 20).rgb(), spectrum.pixelColor(103, 19).rgb());
    const QImage& osc = f.OscSample();
    EXPECT_EQ(osc.size(), QSize(245, 64));
    EXPECT_EQ(osc.pixelColor(200, 32), QColor(Qt::red));  // threshold line
    EXPECT_EQ(osc.pixelColor(6, 16), QColor(0, 128, 0));  // signal's crest
}

TEST(TSetupForm, RateWithADecimalCommaIsTakenAndBelow8000IsNot) {
    SetupRig rig;
    ui::TSetupForm& f = rig.Open();
    QLineEdit* rate = rig.Find<QLineEdit>(f, "InSamplingRateEdit");
    rate->setText("11025,5");
    rig.Click(f, "SetupApply");
    EXPECT_EQ(rig.app.Rx().Params().SamplingFreq, 11025.5);
    EXPECT_TRUE(rig.app.Window().ScaleDirty);  // the scale is redrawn
    EXPECT_EQ(rig.app.DisplayHoldOff(), 3000);
    EXPECT_TRUE(f.isVisible());
    rate->setText("7999");
    rig.Click(f, "SetupApply");
    EXPECT_EQ(rig.app.Rx().Params().SamplingFreq, 11025.5);
    EXPECT_TRUE(rig.messages.empty());  // refused silently
    rig.Click(f, "SetupCancel");
    rig.Open();
    EXPECT_EQ(rate->text(), "11025.50");
}

TEST(TSetupForm, UserCharsetWithAnEmptyPathFallsBackToEnglish) {
    SetupRig rig;
    ui::TSetupForm& f = rig.Open();
    rig.Find<QRadioButton>(f, "UserCharsetButton")->click();
    rig.Find<QLineEdit>(f, "UserCharsetEdit")->clear();
    rig.Click(f, "SetupOK");
    ASSERT_EQ(rig.messages.size(), 1u);
    EXPECT_EQ(rig.messages[0],
              std::make_pair(std::string("Error with user charset file!"), std::string("Error")));
    EXPECT_TRUE(rig.Find<QRadioButton>(f, "EngCharsetButton")->isChecked());
    EXPECT_EQ(rig.app.Rx().Params().Text.Charset, charset::English);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
}

TEST(TSetupForm, CancelAfterColourChangesKeepsTheProgramsColours) {
    SetupRig rig;
    ui::TSetupForm& f = rig.Open();
    ui::TSetupForm::Dialogs answers;
    answers.color = [](const QColor&, QWidget*) { return std::optional<QColor>(QColor(Qt::blue)); };
    f.SetDialogs(answers);
    rig.Click(f, "SpecBackButton");
    rig.Click(f, "OscColorButton");
    EXPECT_EQ(f.SpectrumSample().pixelColor(5, 5), QColor(Qt::blue));  // the sample shows it
    EXPECT_EQ(f.OscSample().pixelColor(6, 16), QColor(Qt::blue));
    rig.Click(f, "SetupCancel");
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(rig.app.Window().Window.FFTBackground, 16777215);
    EXPECT_EQ(rig.app.Window().Window.SignalColor, 32768);
    rig.Open();
    EXPECT_EQ(f.SpectrumSample().pixelColor(5, 5), QColor(Qt::white));

    // Taken by OK: the displays' colours, and the receive text's font,
    // colour and highlight.
    answers.font = [](const ui::TSetupForm::FontChoice&, QWidget*) {
        QFont font(QStringLiteral("Courier"));
        font.setPointSize(14);
        font.setItalic(true);
        return std::optional<ui::TSetupForm::FontChoice>({font, QColor(Qt::darkRed)});
    };
    f.SetDialogs(answers);
    rig.Click(f, "SpecBackButton");
    rig.Click(f, "RxFontButton");
    rig.Click(f, "SetupOK");
    EXPECT_EQ(rig.app.Window().Window.FFTBackground, 0xFF0000);  // 0x00BBGGRR
    const FontSettings& rx = rig.app.Window().RxFont;
    EXPECT_EQ(rx.Name, "Courier");
    EXPECT_EQ(rx.Size, 14);
    EXPECT_EQ(rx.Height, -19);
    EXPECT_EQ(rx.Style, 2);  // italic, as chosen
    EXPECT_EQ(rx.Color, 0x000080);
    const QPalette memo = rig.form.Memo().palette();
    EXPECT_EQ(memo.color(QPalette::Text), QColor(Qt::darkRed));
    EXPECT_EQ(memo.color(QPalette::HighlightedText), QColor(Qt::darkRed));
    EXPECT_EQ(memo.color(QPalette::Highlight), memo.color(QPalette::Base));
    EXPECT_TRUE(rig.form.Memo().font().italic());
}

TEST(TSetupForm, TimeMarksSwitchedOnMarkTheNextWordSpaceAtOnce) {
    SetupRig rig;
    rig.clock.Advance(30000);  // half a minute since start: no mark would be due
    ASSERT_TRUE(rig.app.OpenCaptureFileByName(rig.dir.File("capture.txt")));
    ui::TSetupForm& f = rig.Open();
    rig.Find<QCheckBox>(f, "PutTimeBox")->setChecked(true);
    rig.Click(f, "SetupOK");
    EXPECT_EQ(rig.app.Params().Marks.PutTimeMarks, 1);

    test::CwSynthOptions o;
    o.signal.text = "cq cq";
    o.signal.wpm = 25;
    o.signal.freqHz = 186 * 11025.0 / 2048;
    o.signal.startSec = 0.1;
    o.tailSec = 1.5;
    const std::string wav = rig.dir.File("cq.wav");
    ASSERT_EQ(test::WriteWav(wav, test::SynthesizeCw(o).samples, 11025, 16, 1), 0);
    rig.app.SetFileDecodePacing(false);
    ASSERT_EQ(rig.app.DecodeWaveFile(wav), FileDecodeResult::Decoded);
    // After the first word, not a minute after switching on.
    const std::size_t mark = rig.sink.contents.find("\r\n<14:05:09> ");
    ASSERT_NE(mark, std::string::npos) << rig.sink.contents;
    EXPECT_EQ(rig.sink.contents.find("cq "), 0u) << rig.sink.contents;
    EXPECT_LT(mark, rig.sink.contents.find("cq", 3)) << rig.sink.contents;
}

TEST(TSetupForm, AutomationPageSevenOpensOnThePageShownLast) {
    SetupRig rig("[SetupScreen]\nLeft=30\nTop=40\n");
    ui::TSetupForm& f = rig.Open();
    EXPECT_EQ(f.pos(), QPoint(30, 40));  // the stored position
    f.Pages()->setCurrentIndex(4);
    f.close();  // the title bar's close: hidden, nothing applied
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    rig.app.ShowSetupPage(7);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.Pages()->currentIndex(), 4);
    rig.app.ShowSetupPage(2);
    EXPECT_EQ(f.Pages()->currentIndex(), 1);
    rig.app.ShowSetupPage(6);
    EXPECT_EQ(f.Pages()->currentIndex(), 5);
}

TEST(TSetupForm, SaveWritesTheSettingsWithTheDialogsPosition) {
    SetupRig rig;
    ui::TSetupForm& f = rig.Open();
    f.move(100, 120);
    rig.Find<QCheckBox>(f, "ContestModeBox")->setChecked(true);
    rig.Click(f, "SetupSave");
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);  // the save ends the hold-off
    std::ifstream in(rig.dir.File("QUELP.INI"));
    const std::string ini((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(ini.find("ContestMode=1"), std::string::npos);
    EXPECT_NE(ini.find("[SetupScreen]\nLeft=100\nTop=120"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[ScanFont]"), std::string::npos);  // the window exists since opening
}

}  // namespace
}  // namespace quelp
