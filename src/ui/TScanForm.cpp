#include "ui/TScanForm.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "app/QuelpApp.h"
#include "ui/FontGroup.h"
#include "ui/WinColor.h"

namespace quelp::ui {

namespace {

QString Decode(CodePage page, std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        text +=
            QChar(static_cast<char16_t>(CodePageToUnicode(page, static_cast<unsigned char>(c))));
    }
    return text;
}

std::string Encode(CodePage page, const QString& text) {
    std::string bytes;
    for (const QChar ch : text) {
        const auto byte = UnicodeToCodePage(page, ch.unicode());
        bytes += static_cast<char>(byte ? *byte : '?');
    }
    return bytes;
}

}  // namespace

WaterfallPane::WaterfallPane(const QuelpApp& app, QWidget* parent) : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("ScanFftImage"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WaterfallPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const ScanWindow& window = app_.Rx().FreqScan().Window();
    const Rgb bg = ScanWindow::Background();
    painter.fillRect(rect(), QColor(bg.r, bg.g, bg.b));
    if (window.BitmapWidth() <= 0 || window.BitmapHeight() <= 0) return;
    const QImage image(window.Bitmap().data(), window.BitmapWidth(), window.BitmapHeight(),
                       window.BitmapWidth() * 3, QImage::Format_RGB888);
    painter.drawImage(0, 0, image);
}

void WaterfallPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (Resized) Resized();
}

TScanForm::TScanForm(QuelpApp& app, QWidget* parent) : QWidget(parent, Qt::Window), app_(app) {
    setObjectName(QStringLiteral("ScanForm"));
    setWindowTitle(QStringLiteral("Multi-Channel Decoder"));
    QFont arial(QStringLiteral("Arial"));
    arial.setBold(true);
    setFont(arial);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("ScanSplitter1"));
    splitter_->setChildrenCollapsible(false);
    splitter_->setHandleWidth(3);
    waterfall_ = new WaterfallPane(app_, splitter_);
    waterfall_->setMinimumWidth(kMinWaterfall);
    splitter_->addWidget(waterfall_);

    grid_ = new QTableWidget(ScanWindow::kRows, 1, splitter_);
    grid_->setObjectName(QStringLiteral("ScanGrid"));
    grid_->setMinimumWidth(10);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    grid_->verticalHeader()->setDefaultSectionSize(kRowPixels);
    grid_->verticalHeader()->setMinimumSectionSize(1);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    grid_->setShowGrid(true);
    grid_->setFrameShape(QFrame::NoFrame);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int r = 0; r < ScanWindow::kRows; ++r) grid_->setItem(r, 0, new QTableWidgetItem);
    QFont gridFont(QStringLiteral("Arial"));
    gridFont.setPixelSize(12);
    grid_->setFont(gridFont);
    splitter_->addWidget(grid_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    column->addWidget(splitter_);

    // The operator's edit of a cell is the row's text from then on.
    connect(grid_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (refreshing_) return;
        app_.SetScanGridRow(item->row(), Encode(page_, item->text()));
    });
    waterfall_->Resized = [this] { CentreScanGrid(); };

    resize(kDesignedWidth, kDesignedHeight);
    splitter_->setSizes({kWaterfallWidth, kDesignedWidth - kWaterfallWidth});

    // Each waterfall line repaints the pane; the rows follow.
    app_.SetWaterfallRepaint([this] {
        waterfall_->update();
        RefreshRows();
    });
}

void TScanForm::ApplySettings(const ScanWindowSettings& s) {
    QPoint at = pos();
    if (s.Left != -1) at.setX(s.Left);
    if (s.Top != -1) at.setY(s.Top);
    move(at);
    QSize size = this->size();
    if (s.Width != -1) size.setWidth(s.Width);
    if (s.Height != -1) size.setHeight(s.Height);
    resize(size);
    if (s.WfWidth > 10) {
        const QList<int> sizes = splitter_->sizes();
        const int total = sizes.value(0) + sizes.value(1);
        splitter_->setSizes({s.WfWidth, std::max(0, total - s.WfWidth)});
    }
    ApplyFont(s.Font);
}

ScanWindowSettings TScanForm::CurrentSettings() const {
    ScanWindowSettings s;
    s.Left = pos().x();
    s.Top = pos().y();
    s.Height = height();
    s.Width = width();
    s.WfWidth = waterfall_->width();
    s.Font = font_;
    return s;
}

void TScanForm::ApplyFont(const FontSettings& font) {
    font_ = font;
    page_ = CodePageOfCharset(font.Charset);
    grid_->setFont(FontOf(font));
    QPalette colours = grid_->palette();
    colours.setColor(QPalette::Text, WinColor(font.Color, palette()));
    colours.setColor(QPalette::Base, WinColor(font.BkgColor, palette()));
    grid_->setPalette(colours);
    // The rows keep their height whatever the face.
    grid_->verticalHeader()->setDefaultSectionSize(kRowPixels);
    for (int r = 0; r < ScanWindow::kRows; ++r) grid_->setRowHeight(r, kRowPixels);
    RefreshRows();
}

int TScanForm::VisibleRows() const {
    return std::max(1, grid_->viewport()->height() / kRowPixels);
}

void TScanForm::ScrollGrid() {
    grid_->verticalScrollBar()->setValue(app_.Rx().FreqScan().Window().TopRow);
}

void TScanForm::RefreshRows() {
    const ScanWindow& window = app_.Rx().FreqScan().Window();
    refreshing_ = true;
    for (int r = 0; r < ScanWindow::kRows; ++r) {
        QTableWidgetItem* item = grid_->item(r, 0);
        const QString text = Decode(page_, window.Row(r));
        if (item != nullptr && item->text() != text) item->setText(text);
    }
    refreshing_ = false;
}

void TScanForm::CentreScanGrid() {
    app_.SetScanPane(waterfall_->width(), waterfall_->height(), VisibleRows());
    app_.CentreScanGrid();
}

void TScanForm::closeEvent(QCloseEvent* event) {
    // Never destroyed: the decoder goes off and the window hides.
    event->ignore();
    static_cast<void>(app_.ScanFormCloseQuery());
}

void TScanForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    CentreScanGrid();
}

void TScanForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    CentreScanGrid();
}

}  // namespace quelp::ui
