// Decoding a file from the File menu keeps the window served: its menus open
// while the blocks go through, and the text arrives in the receive window.

#include <gtest/gtest.h>

#include <QMenu>
#include <QTimer>

#include "WindowRig.h"
#include "adapters/posix/SystemClock.h"
#include "support/CwSynth.h"

namespace quelp {
namespace {

TEST(FileDecodeWindow, MenusOpenWhileAFileIsDecoded) {
    test::BasicWindowRig<SystemClock> rig;
    rig.Start();
    // About two seconds of audio: some fourteen blocks at 150 ms each.
    test::CwSynthOptions o;
    o.signal.text = "cq test";
    o.signal.wpm = 25;
    o.signal.freqHz = 186 * 11025.0 / 2048;
    o.signal.startSec = 0.1;
    o.tailSec = 0.8;
    const std::string wav = rig.dir.File("short.wav");
    ASSERT_EQ(test::WriteWav(wav, test::SynthesizeCw(o).samples, 11025, 16, 1), 0);
    rig.dialogs.answers = {wav};

    QMenu* file = qobject_cast<QMenu*>(rig.form.Item(UiItem::DecodeFromFile1)->parent());
    ASSERT_NE(file, nullptr);
    bool decodingWhenOpen = false;
    int holdOffWhenOpen = -1;
    bool wasVisible = false;
    QTimer::singleShot(400, &rig.form, [&] {
        decodingWhenOpen = rig.app.FileDecoding();
        file->popup(QPoint(5, 5));
        wasVisible = file->isVisible();
        holdOffWhenOpen = rig.app.DisplayHoldOff();
        QTimer::singleShot(200, file, [file] { file->hide(); });
    });
    rig.form.Item(UiItem::DecodeFromFile1)->trigger();  // returns when the file is done

    EXPECT_TRUE(decodingWhenOpen);
    EXPECT_TRUE(wasVisible);
    EXPECT_EQ(holdOffWhenOpen, 22);
    EXPECT_FALSE(file->isVisible());
    EXPECT_FALSE(rig.app.FileDecoding());
    EXPECT_TRUE(rig.form.Memo().toPlainText().contains("test"))
        << rig.form.Memo().toPlainText().toStdString();
    EXPECT_TRUE(rig.form.Item(UiItem::DecodeFromFile1)->isEnabled());
}

}  // namespace
}  // namespace quelp
