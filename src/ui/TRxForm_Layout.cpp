// The main window's controls, placed as the window is designed.

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "ui/TRxForm.h"

namespace quelp::ui {

namespace {

QFont EditFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

struct PanelEntry {
    int width;
    Qt::Alignment alignment;
    const char* text;
};

// Status bar panels: width, alignment and the text before anything is known.
constexpr PanelEntry kPanelDesign[TRxForm::kPanels] = {
    {60, Qt::AlignLeft, "MF: 200 Hz"}, {50, Qt::AlignLeft, "BF: 5000"},
    {50, Qt::AlignCenter, "996 Hz"},   {40, Qt::AlignCenter, "0.001"},
    {65, Qt::AlignCenter, "---- LPM"}, {65, Qt::AlignCenter, "----- WPM"},
    {35, Qt::AlignCenter, ""},         {35, Qt::AlignCenter, ""},
    {50, Qt::AlignCenter, ""},         {50, Qt::AlignCenter, "FrB: 15"},
    {50, Qt::AlignLeft, ""},
};

}  // namespace

QWidget* TRxForm::BuildPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(25);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(2);

    const auto addButton = [&](UiItem item, const char* name, QPushButton* button, int width,
                               const char* hint) {
        button->setObjectName(QString::fromLatin1(name));
        button->setFixedSize(width, 23);
        button->setToolTip(QString::fromLatin1(hint));
        button->setAutoDefault(false);
        buttons_[item] = button;
        row->addWidget(button);
        return button;
    };
    const auto toggle = [&](UiItem item, const char* name, const char* text, int width,
                            const char* hint) {
        return addButton(item, name, new ToggleButton(QString::fromLatin1(text), panel), width,
                         hint);
    };
    const auto push = [&](UiItem item, const char* name, const char* text, int width,
                          const char* hint) {
        return addButton(item, name, new QPushButton(QString::fromLatin1(text), panel), width,
                         hint);
    };
    const auto spin = [&](UiItem item, const char* name, int value, const char* hint,
                          bool hintOnSpin) {
        auto* edit = new SpinEdit(panel);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setFont(EditFont());
        edit->setValue(value);
        edit->setFixedSize(52, 23);
        // The hint sits on the edit; the global deviation's spin buttons
        // carry it too.
        edit->Line()->setToolTip(QString::fromLatin1(hint));
        if (hintOnSpin) edit->setToolTip(QString::fromLatin1(hint));
        edits_[item] = edit;
        row->addWidget(edit);
    };

    toggle(UiItem::AutoTresholdButton, "AutoTresholdButton", "AutoTh&r", 52,
           "Auto Detector Threshold On/Off  (Alt-R)")
        ->setChecked(true);
    QPushButton* goToMax =
        push(UiItem::GoToMaxButton, "GoToMaxButton", "&GoToMax", 58, "Go To Max Value (Alt-G)");
    goToMax->setDefault(true);
    toggle(UiItem::AutoGoToMaxButton, "AutoGoToMaxButton", "&AutoGTM", 56,
           "Auto Go To Max Value  On/Off (Alt-A)");
    spin(UiItem::AfcEdit, "AfcEdit", 10, "Local AFC Deviation", false);
    spin(UiItem::AfcLimitEdit, "AfcLimitEdit", 300, "Global AFC Deviation", true);
    toggle(UiItem::AfcButton, "AfcButton", "A&FC", 38, "Auto Frequency Control On/Off (Alt-F)")
        ->setChecked(true);
    push(UiItem::ReplayButton, "ReplayButton", "Replay", 46, "Replay last 10 seconds")
        ->setFocusPolicy(Qt::ClickFocus);
    push(UiItem::SaveButton, "SaveButton", "Save", 38, "Save last 60 seconds")
        ->setFocusPolicy(Qt::ClickFocus);
    spin(UiItem::LowSpeedEdit, "LowSpeedEdit", 100, "Lower Speed Limit, LPM", false);
    spin(UiItem::HighSpeedEdit, "HighSpeedEdit", 150, "Higher Speed Limit, LPM", false);
    toggle(UiItem::SpeedLockButton, "SpeedLockButton", "Sp.Loc&k", 56,
           "Speed Lock  On/Off (Alt-K)");

    // Where the keyboard focus waits, so that the window's keys reach the
    // window rather than an edit or a button.
    nullButton_ = new QPushButton(panel);
    nullButton_->setObjectName(QStringLiteral("NullButton"));
    nullButton_->setFixedSize(1, 1);
    nullButton_->setFocusPolicy(Qt::ClickFocus);
    nullButton_->setAutoDefault(false);
    nullButton_->setFlat(true);
    row->addWidget(nullButton_);
    row->addStretch(1);
    return panel;
}

QWidget* TRxForm::BuildDisplays() {
    // FFTBox above Splitter1 (live), then the scale, the receive text above
    // Splitter2 and the oscilloscope, which takes whatever height is left.
    splitter1_ = new QSplitter(Qt::Vertical, this);
    splitter1_->setObjectName(QStringLiteral("Splitter1"));
    splitter1_->setHandleWidth(3);
    splitter1_->setOpaqueResize(true);
    splitter1_->setChildrenCollapsible(false);

    fftBox_ = new SpectrumBox(splitter1_);
    fftBox_->setObjectName(QStringLiteral("FFTBox"));
    splitter1_->addWidget(fftBox_);

    auto* lower = new QWidget(splitter1_);
    auto* column = new QVBoxLayout(lower);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* scalePanel = new QFrame(lower);
    scalePanel->setObjectName(QStringLiteral("ScalePanel"));
    scalePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    scalePanel->setLineWidth(1);
    scalePanel->setFixedHeight(20);
    auto* scaleLayout = new QVBoxLayout(scalePanel);
    // The image sits right inside the bevel, one pixel to the right of
    // the spectrum's x.
    scaleLayout->setContentsMargins(0, 0, 0, 0);
    scaleImage_ = new ScaleBox(scalePanel);
    scaleImage_->setObjectName(QStringLiteral("ScaleImage"));
    scaleImage_->setMinimumHeight(1);
    scaleLayout->addWidget(scaleImage_);
    column->addWidget(scalePanel);

    splitter2_ = new QSplitter(Qt::Vertical, lower);
    splitter2_->setObjectName(QStringLiteral("Splitter2"));
    splitter2_->setHandleWidth(4);
    splitter2_->setOpaqueResize(false);
    splitter2_->setChildrenCollapsible(false);
    rxMemo_ = new RxMemo(splitter2_);
    rxMemo_->setObjectName(QStringLiteral("RxMemo"));
    rxMemo_->setMinimumHeight(20);
    splitter2_->addWidget(rxMemo_);
    paintBox1_ = new OscilloscopeBox(splitter2_);
    paintBox1_->setObjectName(QStringLiteral("PaintBox1"));
    splitter2_->addWidget(paintBox1_);
    column->addWidget(splitter2_, 1);
    splitter1_->addWidget(lower);

    // Resizing the window changes only what fills the rest.
    splitter1_->setStretchFactor(0, 0);
    splitter1_->setStretchFactor(1, 1);
    splitter2_->setStretchFactor(0, 0);
    splitter2_->setStretchFactor(1, 1);
    splitter1_->setSizes({50, 1000});
    splitter2_->setSizes({150, 1000});
    return splitter1_;
}

void TRxForm::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setFixedHeight(20);
    // The eleven panels take the whole designed width: edge to edge, in one
    // row of their own, and no size grip.
    bar->setSizeGripEnabled(false);
    auto* row = new QWidget(bar);
    auto* panels = new QHBoxLayout(row);
    panels->setContentsMargins(0, 0, 0, 0);
    panels->setSpacing(0);
    bar->setToolTip(QStringLiteral(
        "Main filter bandpass / Burst filter max LPM / Main filter frequency /  Detector "
        "threshold / LPM speed / WPM speed / Capture / Tune by / On top / Free buffers"));
    // The panels' designed widths fit their texts in a face a little
    // smaller than the window's.
    QFont panelFont = font();
    panelFont.setPixelSize(9);
    for (int i = 0; i < kPanels; ++i) {
        const PanelEntry& design = kPanelDesign[i];
        auto* label = new QLabel(QString::fromLatin1(design.text), row);
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        label->setFixedWidth(design.width);
        label->setAlignment(design.alignment | Qt::AlignVCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setFont(panelFont);
        label->setIndent(1);
        panels->addWidget(label);
        panels_[static_cast<std::size_t>(i)] = label;
    }
    panels->addStretch(1);
    bar->addWidget(row, 1);
}

}  // namespace quelp::ui
