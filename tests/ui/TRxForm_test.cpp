// The main window as the operator meets it: the designed layout, the menus,
// every command reaching the application and its answer coming back, the
// menus' hold-off, and closing.

#include "ui/TRxForm.h"

#include <gtest/gtest.h>

#include <QActionGroup>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>

#include "WindowRig.h"

namespace quelp {
namespace {

using test::WindowRig;

TEST(TRxForm, DesignedLayout) {
    WindowRig rig;
    rig.form.show();
    ui::TRxForm& f = rig.form;
    EXPECT_EQ(f.size(), QSize(579, 370));
    EXPECT_EQ(f.pos(), QPoint(238, 115));
    EXPECT_EQ(f.FftBox()->height(), 50);
    EXPECT_EQ(f.Memo().height(), 150);
    EXPECT_GT(f.PaintBox1()->height(), 20);  // the oscilloscope takes the rest
    // Growing the window grows only the oscilloscope.
    const int oscilloscope = f.PaintBox1()->height();
    f.resize(579, 470);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.FftBox()->height(), 50);
    EXPECT_EQ(f.Memo().height(), 150);
    EXPECT_EQ(f.PaintBox1()->height(), oscilloscope + 100);
    EXPECT_TRUE(f.Memo().WholeText().starts_with("Quelp  V" QUELP_VERSION "\n"));
}

TEST(TRxForm, StatusBarPanels) {
    WindowRig rig;
    rig.form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&rig.form));
    const struct {
        int width;
        Qt::Alignment alignment;
        const char* text;
    } panels[] = {
        {60, Qt::AlignLeft, "MF: 200 Hz"},
        {50, Qt::AlignLeft, "BF: 5000"},
        {50, Qt::AlignHCenter, "996 Hz"},
        {40, Qt::AlignHCenter, "0.001"},
        {65, Qt::AlignHCenter, "---- LPM"},
        {65, Qt::AlignHCenter, "----- WPM"},
        {35, Qt::AlignHCenter, ""},
        {35, Qt::AlignHCenter, ""},
        {50, Qt::AlignHCenter, ""},
        {50, Qt::AlignHCenter, "FrB: 15"},
        {50, Qt::AlignLeft, ""},
    };
    ASSERT_EQ(std::size(panels), std::size_t{ui::TRxForm::kPanels});
    for (int i = 0; i < ui::TRxForm::kPanels; ++i) {
        const QLabel* label = rig.form.Panel(i);
        EXPECT_EQ(label->width(), panels[i].width) << i;
        EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, panels[i].alignment) << i;
        EXPECT_EQ(label->text().toStdString(), panels[i].text) << i;
        // The designed texts fit their panels.
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                  label->contentsRect().width())
            << i;
        // Side by side, none over another.
        if (i > 0) {
            EXPECT_GE(label->x(), rig.form.Panel(i - 1)->geometry().right()) << i;
        }
    }
    EXPECT_TRUE(rig.form.statusBar()->toolTip().startsWith("Main filter bandpass / Burst"));
}

// Each item runs its operation; what the operator then sees comes from the
// application.
TEST(TRxForm, EveryMenuItemReachesTheApplication) {
    WindowRig rig;
    rig.Start();
    ui::TRxForm& f = rig.form;
    const auto click = [&](UiItem item) { f.Item(item)->trigger(); };

    click(UiItem::FIR70Menu);
    EXPECT_EQ(rig.Panel(panel::MainFilter), "MF: 70 Hz");
    EXPECT_EQ(rig.Caption(UiItem::MainFilterMenu), "Main Filter  (70Hz)");
    EXPECT_TRUE(f.Item(UiItem::FIR70Menu)->isChecked());
    EXPECT_FALSE(f.Item(UiItem::FIR140Menu)->isChecked());
    EXPECT_EQ(rig.app.Rx().Status().MainFilterCode, 70);
    EXPECT_EQ(rig.app.DisplayHoldOff(), 1);

    click(UiItem::IIR1000Menu);
    EXPECT_EQ(rig.Panel(panel::MainFilter), "MF: 1000 IIR");

    click(UiItem::N1000CPM1);
    EXPECT_EQ(rig.Panel(panel::BurstFilter), "BF: 1000");
    EXPECT_EQ(rig.Caption(UiItem::CwFilterMenu), "Burst Filter (1000 LPM)");
    EXPECT_TRUE(f.Item(UiItem::N1000CPM1)->isChecked());
    EXPECT_FALSE(f.Item(UiItem::N200CPM1)->isChecked());

    click(UiItem::N280Hz1);
    EXPECT_EQ(rig.app.SoundOutputCode(), 280);
    EXPECT_TRUE(f.Item(UiItem::N280Hz1)->isChecked());
    click(UiItem::SoundWithoutFiltering1);
    EXPECT_EQ(rig.app.SoundOutputCode(), 9998);

    click(UiItem::Zoom5);
    EXPECT_EQ(rig.app.Window().ZoomFactor, 5);
    EXPECT_TRUE(f.Item(UiItem::Zoom5)->isChecked());
    EXPECT_FALSE(f.Item(UiItem::Zoom1)->isChecked());

    click(UiItem::MultiChannelDecoder1);
    EXPECT_TRUE(rig.app.Rx().MultiChannelOn());
    EXPECT_TRUE(f.Item(UiItem::MultiChannelDecoder1)->isChecked());

    click(UiItem::AdaptiveDecoder1);
    EXPECT_EQ(rig.app.Rx().SelectedDecoder(), DecoderChoice::Adaptive);
    EXPECT_TRUE(f.Item(UiItem::AdaptiveDecoder1)->isChecked());
    click(UiItem::AdaptiveDecoder1);
    EXPECT_EQ(rig.app.Rx().SelectedDecoder(), DecoderChoice::Classic);
    EXPECT_FALSE(f.Item(UiItem::AdaptiveDecoder1)->isChecked());
    // A settings file's choice shows as the mark.
    ProfileFile chosen;
    chosen.Parse("[Decoding]\nDecoder=adaptive\n");
    rig.app.ApplySettings(chosen);
    EXPECT_TRUE(f.Item(UiItem::AdaptiveDecoder1)->isChecked());

    rig.dialogs.answers = {rig.dir.File("cap.txt")};
    click(UiItem::OpenCaptureFile1);
    EXPECT_EQ(rig.dialogs.asked.back().title, "Open text capture file");
    EXPECT_TRUE(rig.app.CaptureOpen());
    EXPECT_EQ(rig.Panel(panel::Capture), "CapT");
    EXPECT_FALSE(f.Item(UiItem::OpenCaptureFile1)->isEnabled());
    EXPECT_TRUE(f.Item(UiItem::CloseCaptureFile1)->isEnabled());
    click(UiItem::CloseCaptureFile1);
    EXPECT_FALSE(rig.app.CaptureOpen());
    EXPECT_EQ(rig.messages.back(),
              std::make_pair(std::string("Capture file was closed"), std::string("File Closed")));

    rig.dialogs.answers = {rig.dir.File("cap.wav")};
    click(UiItem::OpenWaveCaptureFile1);
    EXPECT_TRUE(rig.app.WaveCaptureOpen());
    EXPECT_EQ(rig.Panel(panel::Capture), "CapW");
    click(UiItem::CloseWaveCaptureFile1);
    EXPECT_FALSE(rig.app.WaveCaptureOpen());

    click(UiItem::DecodeFromFile1);  // cancelled
    EXPECT_EQ(rig.dialogs.asked.back().title, "Decode From File");

    rig.dialogs.answers = {rig.dir.File("buffer.txt")};
    click(UiItem::SaveBuffer1);
    EXPECT_EQ(rig.dialogs.asked.back().title, "Save buffer to file");
    EXPECT_TRUE(std::filesystem::exists(rig.dir / "buffer.txt"));

    click(UiItem::ClearBuffer1);
    EXPECT_EQ(f.Memo().toPlainText(), "");
}

TEST(TRxForm, PanelButtonsAndEditsShowWhatTheApplicationDecided) {
    WindowRig rig;
    rig.Start();
    ui::TRxForm& f = rig.form;
    QTest::mouseClick(f.Button(UiItem::AfcButton), Qt::LeftButton);
    EXPECT_FALSE(rig.app.Rx().Status().Afc);
    EXPECT_FALSE(f.Button(UiItem::AfcButton)->isChecked());
    QTest::mouseClick(f.Button(UiItem::AutoTresholdButton), Qt::LeftButton);
    EXPECT_FALSE(f.Button(UiItem::AutoTresholdButton)->isChecked());
    EXPECT_EQ(rig.Panel(panel::Threshold), "0.100");
    QTest::mouseClick(f.Button(UiItem::SpeedLockButton), Qt::LeftButton);
    EXPECT_TRUE(f.Button(UiItem::SpeedLockButton)->isChecked());
    EXPECT_EQ(rig.Panel(panel::Lpm), "100-150");

    // A step of the spin control is in force at once.
    ui::SpinEdit* high = f.Edit(UiItem::HighSpeedEdit);
    high->stepUp();
    EXPECT_EQ(rig.app.Rx().Status().HigherSpeed, 155);
    EXPECT_EQ(rig.Panel(panel::Lpm), "100-155");

    // The arrow keys are the window's, not the edit's.
    ui::SpinEdit* afc = f.Edit(UiItem::AfcEdit);
    const int before = afc->value();
    QTest::keyClick(afc, Qt::Key_Up);
    EXPECT_EQ(afc->value(), before);

    // Leaving an edit with a value out of range shows the value in force.
    ui::SpinEdit* limit = f.Edit(UiItem::AfcLimitEdit);
    limit->Line()->setText("2");
    Q_EMIT limit->editingFinished();
    EXPECT_EQ(limit->text(), "300");
    EXPECT_EQ(rig.app.Rx().Status().AfcLimitHz, 300);
}

TEST(TRxForm, OpenMenusHoldTheDisplaysUntilTheLastCloses) {
    WindowRig rig;
    rig.Start();
    QMenu* mainFilter = rig.form.Item(UiItem::MainFilterMenu)->menu();
    QMenu* filtersMenu = qobject_cast<QMenu*>(mainFilter->parent());
    ASSERT_NE(filtersMenu, nullptr);

    filtersMenu->popup(QPoint(10, 10));
    EXPECT_EQ(rig.app.DisplayHoldOff(), 22);
    mainFilter->popup(QPoint(60, 30));
    mainFilter->hide();
    EXPECT_EQ(rig.app.DisplayHoldOff(), 22);  // its parent menu is still open
    filtersMenu->hide();
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);

    // A real click through the menu: the item's command, then the hold-off
    // of most commands.
    filtersMenu->popup(QPoint(10, 10));
    mainFilter->popup(QPoint(60, 30));
    QAction* fir30 = rig.form.Item(UiItem::FIR30Menu);
    QTest::mouseClick(mainFilter, Qt::LeftButton, {}, mainFilter->actionGeometry(fir30).center());
    EXPECT_EQ(rig.Panel(panel::MainFilter), "MF: 30 Hz");
    EXPECT_FALSE(mainFilter->isVisible());
    EXPECT_EQ(rig.app.DisplayHoldOff(), 1);
}

TEST(TRxForm, ExitShutsDownOnceAndTheWindowCloses) {
    WindowRig rig;
    rig.Start();
    ASSERT_TRUE(rig.app.OpenCaptureFileByName(rig.dir.File("cap.txt")));
    rig.form.Item(UiItem::Exit)->trigger();
    EXPECT_TRUE(rig.app.ShuttingDown());
    EXPECT_FALSE(rig.form.isVisible());
    EXPECT_FALSE(rig.form.Timer1().isActive());
    // The capture file closed once: Shutdown ran once although the window's
    // close ran it again.
    ASSERT_EQ(rig.messages.size(), 1u);
    EXPECT_EQ(rig.messages[0].first, "Capture file was closed");
}

TEST(TRxForm, CloseBoxIsRefusedOnlyWhileClientsHoldTheProgram) {
    WindowRig rig;
    rig.Start();
    bool held = true;
    IntegrationHooks hooks;
    hooks.clientsHoldProgram = [&] { return held; };
    rig.app.SetIntegrationHooks(hooks);
    EXPECT_FALSE(rig.form.close());
    EXPECT_TRUE(rig.form.isVisible());
    EXPECT_FALSE(rig.app.ShuttingDown());
    held = false;
    EXPECT_TRUE(rig.form.close());
    EXPECT_TRUE(rig.app.ShuttingDown());
}

TEST(TRxForm, StartUpRunsOnceWithTheWindowsSteps) {
    WindowRig rig;
    rig.Start();
    EXPECT_TRUE(rig.form.Timer1().isActive());
    EXPECT_EQ(rig.form.Timer1().interval(), 20);
    EXPECT_FALSE(rig.form.Timer2().isActive());
    EXPECT_TRUE(rig.form.FftBox()->Ready());
    EXPECT_EQ(rig.form.Panel(panel::BurstFilter)->text(), "BF: 200");
    EXPECT_EQ(rig.form.Panel(panel::MainFilter)->text(), "MF: 140 Hz");
    const QTextCursor caret = rig.form.Memo().textCursor();
    EXPECT_EQ(caret.position(), rig.form.Memo().CharacterCount());
    EXPECT_FALSE(caret.hasSelection());
}

// The stored geometry replaces the designed one; before a save the window
// reports what it shows.
TEST(TRxForm, GeometryFromAndBackToTheSettings) {
    WindowRig rig;
    test::WriteFile(rig.dir / "QUELP.INI",
                    "[MainScreen]\nLeft=300\nTop=200\nHeight=420\nWidth=640\nSpectrumHeight=70\n");
    rig.Start();
    EXPECT_EQ(rig.form.pos(), QPoint(300, 200));
    EXPECT_EQ(rig.form.size(), QSize(640, 420));
    EXPECT_EQ(rig.form.FftBox()->height(), 70);

    rig.form.resize(600, 400);
    ASSERT_EQ(rig.app.SaveSettings(), SettingsSaveResult::Saved);
    const std::string saved = test::ReadFile(rig.dir / "QUELP.INI");
    EXPECT_NE(saved.find("Width=600"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Height=400"), std::string::npos) << saved;
    EXPECT_NE(saved.find("RxTextHeight=150"), std::string::npos) << saved;
}

}  // namespace
}  // namespace quelp
