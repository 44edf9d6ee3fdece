// The multi-channel window: its design, closing, and a band of stations
// decoded into the grid rows with their traces beside them.

#include "ui/TScanForm.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QScrollBar>
#include <QSplitter>

#include "WindowRig.h"
#include "support/CwSynth.h"
#include "ui/RxFormDialogs.h"

namespace quelp {
namespace {

TEST(TScanForm, DesignAndClosing) {
    test::WindowRig rig;
    rig.Start();
    rig.form.Item(UiItem::MultiChannelDecoder1)->trigger();
    ui::TScanForm* scan = rig.form.Dialogs().ScanForm();
    ASSERT_NE(scan, nullptr);
    EXPECT_TRUE(scan->isVisible());
    EXPECT_EQ(scan->windowTitle(), "Multi-Channel Decoder");
    EXPECT_EQ(scan->size(), QSize(610, 480));
    EXPECT_EQ(scan->ScanFftImage()->width(), 90);
    QTableWidget* grid = scan->ScanGrid();
    EXPECT_EQ(grid->rowCount(), 39);
    EXPECT_EQ(grid->columnCount(), 1);
    EXPECT_EQ(grid->columnWidth(0), 500);
    EXPECT_EQ(grid->rowHeight(0), 24);  // 23 and the grid line
    EXPECT_FALSE(grid->horizontalHeader()->isVisible());
    EXPECT_EQ(grid->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_TRUE(grid->editTriggers() != QAbstractItemView::NoEditTriggers);
    // The stored font group: "MS Sans Serif", bold.
    EXPECT_TRUE(grid->font().bold());
    // The transmit mark's row (18 of the band from bin 40) in the middle.
    const int visible = scan->VisibleRows();
    EXPECT_EQ(rig.app.Rx().FreqScan().Window().TopRow, std::max(0, 18 - visible / 2));
    EXPECT_EQ(grid->verticalScrollBar()->value(), rig.app.Rx().FreqScan().Window().TopRow);
    // The waterfall cannot be dragged narrower than 15 pixels.
    scan->ScanSplitter1()->setSizes({5, 600});
    EXPECT_GE(scan->ScanFftImage()->width(), 15);

    // An edited cell is the row's text; closing turns the decoder off and
    // keeps the text for the next showing.
    grid->item(2, 0)->setText("my note");
    EXPECT_EQ(rig.app.Rx().FreqScan().Window().Row(2), "my note");
    scan->close();
    EXPECT_FALSE(scan->isVisible());
    EXPECT_FALSE(rig.app.Rx().MultiChannelOn());
    EXPECT_FALSE(rig.form.Item(UiItem::MultiChannelDecoder1)->isChecked());
    rig.form.Item(UiItem::MultiChannelDecoder1)->trigger();
    EXPECT_EQ(rig.form.Dialogs().ScanForm(), scan);
    EXPECT_EQ(grid->item(2, 0)->text(), "my note");
}

TEST(TScanForm, ABandDecodesIntoItsRowsWithTracesBeside) {
    test::WindowRig rig;
    rig.Start();
    struct Station {
        int bin;
        double wpm;
        const char* text;
    };
    const Station band[] = {
        {64, 18, "cq de dl1abc"}, {123, 22, "de ok2xyz k"}, {171, 26, "rst 599 bk"}};
    // All end together, so that every trace is still in the pane (about two
    // seconds of history) when the band ends.
    const auto options = [](const Station& s, double start) {
        test::CwSynthOptions o;
        o.signal.text = s.text;
        o.signal.wpm = s.wpm;
        o.signal.level = 0.08;
        o.signal.freqHz = s.bin * 11025.0 / 2048;
        o.signal.startSec = start;
        o.tailSec = 0.5;
        return o;
    };
    double longest = 0;
    for (const Station& s : band) {
        longest = std::max(longest, test::SynthesizeCw(options(s, 0.0)).keying.back().end);
    }
    std::vector<double> sum;
    for (const Station& s : band) {
        const double length = test::SynthesizeCw(options(s, 0.0)).keying.back().end;
        const auto pcm = test::SynthesizeCw(options(s, 0.3 + longest - length)).samples;
        if (pcm.size() > sum.size()) sum.resize(pcm.size(), 0.0);
        for (size_t i = 0; i < pcm.size(); ++i) sum[i] += pcm[i];
    }
    rig.app.SetSquelch(false, 0.02);
    rig.app.SetTransmitBin(40);  // the band's first row at the top
    rig.form.Item(UiItem::MultiChannelDecoder1)->trigger();
    ui::TScanForm* scan = rig.form.Dialogs().ScanForm();
    ASSERT_NE(scan, nullptr);
    const std::vector<std::int16_t> pcm = test::ToPcm16(sum);
    std::vector<std::int16_t> block(kBlockSize);
    for (size_t at = 0; at < pcm.size(); at += block.size()) {
        std::fill(block.begin(), block.end(), 0);
        for (size_t i = 0; i < block.size() && at + i < pcm.size(); ++i) block[i] = pcm[at + i];
        rig.app.ProcessBlock(block.data(), 1);
    }
    QCoreApplication::processEvents();
    const QImage pane = scan->ScanFftImage()->grab().toImage();
    const QColor background = pane.pixelColor(2, pane.height() - 2);
    for (const Station& s : band) {
        const int row = (s.bin - 40) / 8;
        EXPECT_TRUE(scan->ScanGrid()->item(row, 0)->text().contains(
            QString::fromLatin1(s.text).section(' ', -1)))
            << row << ": " << scan->ScanGrid()->item(row, 0)->text().toStdString();
        // The trace on the bin's pixel rows.
        const int y = (s.bin - 40) * 3 + 1;
        int traced = 0;
        for (int x = 0; x < pane.width(); ++x) traced += pane.pixelColor(x, y) != background;
        EXPECT_GT(traced, 0) << s.bin;
        // The grid row of the text is beside it.
        EXPECT_EQ(scan->ScanGrid()->rowViewportPosition(row) / 24, y / 24);
    }
}

}  // namespace
}  // namespace quelp
