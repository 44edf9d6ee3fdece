#include "ui/TSetupForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/QuelpApp.h"
#include "decoder/CharacterTables.h"
#include "text/CodePage.h"
#include "ui/FontGroup.h"
#include "ui/WinColor.h"

namespace quelp::ui {

namespace {

QString Decode(CodePage page, std::string_view bytes) {
    QString text;
    for (const char c : bytes) {
        text +=
            QChar(static_cast<char16_t>(CodePageToUnicode(page, static_cast<unsigned char>(c))));
    }
    return text;
}

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The font dialog with the effects: face, size, style, strike-out and
// underline, and the colour of the text beside them.
std::optional<TSetupForm::FontChoice> ChooseFont(const TSetupForm::FontChoice& initial,
                                                 QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Font"));
    auto* column = new QVBoxLayout(&dialog);
    auto* fonts = new QFontDialog(initial.font, &dialog);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);
    column->addWidget(fonts);
    QColor color = initial.color;
    auto* colorButton = new QPushButton(QStringLiteral("Color..."), &dialog);
    const auto showColor = [colorButton, &color] {
        QPixmap swatch(16, 16);
        swatch.fill(color);
        colorButton->setIcon(QIcon(swatch));
    };
    showColor();
    QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&] {
        const QColor chosen = QColorDialog::getColor(color, &dialog);
        if (chosen.isValid()) color = chosen;
        showColor();
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* row = new QHBoxLayout;
    row->addWidget(colorButton);
    row->addStretch(1);
    row->addWidget(buttons);
    column->addLayout(row);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return TSetupForm::FontChoice{fonts->currentFont(), color};
}

std::optional<QColor> ChooseColor(const QColor& initial, QWidget* parent) {
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

std::optional<QString> ChooseCharsetFile(const QString& initial, QWidget* parent) {
    const QString path = QFileDialog::getOpenFileName(
        parent, QStringLiteral("Open user charset file"), initial,
        QStringLiteral("Quelp charset files (*.qlp);;Text files (*.txt);;All files (*)"));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

QComboBox* Combo(QWidget* parent, const char* name, std::initializer_list<const char*> items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    for (const char* item : items) box->addItem(QString::fromLatin1(item));
    return box;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QPushButton* SetButton(QWidget* parent, const char* name) {
    auto* button = new QPushButton(QStringLiteral("Set"), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

void SetEntries(QComboBox* box, const std::vector<std::string>& entries, int selected) {
    box->clear();
    for (const std::string& e : entries) box->addItem(Text(e));
    box->setCurrentIndex(selected);
}

void Line(QPainter& p, setup::Point a, setup::Point b) {
    p.drawLine(a.x, a.y, b.x, b.y);
}

}  // namespace

TSetupForm::TSetupForm(QuelpApp& app, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      app_(app),
      dialogs_{&ChooseFont, &ChooseColor, &ChooseCharsetFile} {
    setObjectName(QStringLiteral("SetupForm"));
    setWindowTitle(QStringLiteral("Setup"));
    setModal(false);
    setSizeGripEnabled(false);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pages_->addTab(BuildInterfacePage(), QStringLiteral("Interface"));
    pages_->addTab(BuildTextPage(), QStringLiteral("Text"));
    pages_->addTab(BuildViewPage(), QStringLiteral("View"));
    // "Fonts && colors": the doubled ampersand shows as one.
    pages_->addTab(BuildFontsPage(), QStringLiteral("Fonts && colors"));
    pages_->addTab(BuildTuningPage(), QStringLiteral("Tuning"));
    pages_->addTab(BuildMultiDecoderPage(), QStringLiteral("Multi-decoder"));
    column->addWidget(pages_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const auto button = [&](const char* name, const char* caption, void (TSetupForm::*click)()) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, click] { (this->*click)(); });
        buttons->addWidget(b);
    };
    button("SetupOK", "OK", &TSetupForm::SetupOKClick);
    button("SetupApply", "Apply", &TSetupForm::SetupApplyClick);
    button("SetupSave", "Save", &TSetupForm::SetupSaveClick);
    button("SetupCancel", "Cancel", &TSetupForm::SetupCancelClick);
    column->addLayout(buttons);

    setFixedSize(kClientWidth, kClientHeight);
    move(kDesignedLeft, kDesignedTop);
}

// --- pages ------------------------------------------------------------------------------

QWidget* TSetupForm::BuildInterfacePage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    const auto cards = [&](const char* title, QComboBox*& device, const char* deviceName,
                           QComboBox*& channel, const char* channelName, int at) {
        auto* group = new QGroupBox(QString::fromLatin1(title), page);
        auto* form = new QGridLayout(group);
        device = Combo(group, deviceName, {});
        channel = Combo(group, channelName, {"Mono", "Left", "Right"});
        form->addWidget(new QLabel(QStringLiteral("Device:"), group), 0, 0);
        form->addWidget(device, 0, 1);
        form->addWidget(new QLabel(QStringLiteral("Channel:"), group), 1, 0);
        form->addWidget(channel, 1, 1);
        form->setColumnStretch(1, 1);
        grid->addWidget(group, 0, at);
    };
    cards(" Input soundcard ", inCardNumBox_, "InCardNumBox", inputCardChannelBox_,
          "InputCardChannelBox", 0);
    cards(" Output soundcard ", outCardNumBox_, "OutCardNumBox", outputCardChannelBox_,
          "OutputCardChannelBox", 1);
    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(new QLabel(QStringLiteral("Real soundcard sampling rate:"), page));
    inSamplingRateEdit_ = new QLineEdit(page);
    inSamplingRateEdit_->setObjectName(QStringLiteral("InSamplingRateEdit"));
    inSamplingRateEdit_->setFixedWidth(90);
    rateRow->addWidget(inSamplingRateEdit_);
    rateRow->addStretch(1);
    grid->addLayout(rateRow, 1, 0, 1, 2);
    afcAtMouseBox_ = Check(page, "AfcAtMouseBox", "AFC at mouse click");
    enableSquelchBox_ = Check(page, "EnableSquelchBox", "Enable Squelch in Main RX Window");
    enableManualLimitBox_ =
        Check(page, "EnableManualLimitBox", "Enable manual auto-threshold limit");
    grid->addWidget(afcAtMouseBox_, 2, 0, 1, 2);
    grid->addWidget(enableSquelchBox_, 3, 0, 1, 2);
    grid->addWidget(enableManualLimitBox_, 4, 0, 1, 2);
    grid->setRowStretch(5, 1);
    return page;
}

QWidget* TSetupForm::BuildTextPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    auto* alphabet = new QGroupBox(QStringLiteral(" Alphabet "), page);
    auto* radios = new QGridLayout(alphabet);
    auto* group = new QButtonGroup(alphabet);
    const auto radio = [&](const char* name, const char* caption, int charsetValue) {
        auto* b = new QRadioButton(QString::fromLatin1(caption), alphabet);
        b->setObjectName(QString::fromLatin1(name));
        group->addButton(b, charsetValue);
        return b;
    };
    engCharsetButton_ = radio("EngCharsetButton", "English charset", charset::English);
    russianCharsetButton_ = radio("RussianCharsetButton", "Russian charset", charset::Russian);
    swedishCharsetButton_ = radio("SwedishCharsetButton", "Swedish charset", charset::Swedish);
    userCharsetButton_ = radio("UserCharsetButton", "User defined charset:", charset::User);
    radios->addWidget(engCharsetButton_, 0, 0, 1, 3);
    radios->addWidget(russianCharsetButton_, 1, 0, 1, 3);
    radios->addWidget(swedishCharsetButton_, 2, 0, 1, 3);
    radios->addWidget(userCharsetButton_, 3, 0);
    userCharsetEdit_ = new QLineEdit(alphabet);
    userCharsetEdit_->setObjectName(QStringLiteral("UserCharsetEdit"));
    radios->addWidget(userCharsetEdit_, 3, 1);
    auto* select = new QPushButton(QStringLiteral("Select"), alphabet);
    select->setObjectName(QStringLiteral("UserCharsButton"));
    select->setAutoDefault(false);
    radios->addWidget(select, 3, 2);
    radios->setColumnStretch(1, 1);
    grid->addWidget(alphabet, 0, 0);
    connect(group, &QButtonGroup::idClicked, this, [this] { values_.CharsetChanged = true; });
    connect(userCharsetEdit_, &QLineEdit::textEdited, this,
            [this] { values_.CharsetChanged = true; });
    connect(select, &QPushButton::clicked, this, [this] {
        if (const auto path = dialogs_.charsetFile(userCharsetEdit_->text(), this)) {
            userCharsetEdit_->setText(*path);
            values_.CharsetChanged = true;
        }
    });

    catchOneBox_ = Check(page, "CatchOneBox", "Catch word by one mouse click");
    contestModeBox_ = Check(page, "ContestModeBox", "Catch word in contest mode");
    copyToClippboardBox_ =
        Check(page, "CopyToClippboardBox", "Copy transferred data to clippboard");
    putTimeBox_ = Check(page, "PutTimeBox", "Put Time Marks to a Capture File");
    useUtcBox_ = Check(page, "UseUtcBox", "Use UTC time");
    int row = 1;
    for (QCheckBox* box :
         {catchOneBox_, contestModeBox_, copyToClippboardBox_, putTimeBox_, useUtcBox_}) {
        grid->addWidget(box, row++, 0);
    }
    grid->setRowStretch(row, 1);
    return page;
}

QWidget* TSetupForm::BuildViewPage() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    onTopBox_ = Check(page, "OnTopBox", "Always on top");
    logSpecBox_ = Check(page, "LogSpecBox", "Logarithmic spectrogram scale (Alt-Z)");
    logOscBox_ = Check(page, "LogOscBox", "Logarithmic oscillogram scale (Ctrl-Z)");
    column->addWidget(onTopBox_);
    column->addWidget(logSpecBox_);
    column->addWidget(logOscBox_);
    column->addStretch(1);
    return page;
}

QWidget* TSetupForm::BuildFontsPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setVerticalSpacing(1);
    rxSampleMemo_ = new QPlainTextEdit(page);
    rxSampleMemo_->setObjectName(QStringLiteral("RxSampleMemo"));
    rxSampleMemo_->setReadOnly(true);
    rxSampleMemo_->setFixedSize(245, 48);
    rxSampleMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->addWidget(rxSampleMemo_, 0, 0, 2, 1);
    spectrSampleImage_ = new QLabel(page);
    spectrSampleImage_->setObjectName(QStringLiteral("SpectrSampleImage"));
    spectrSampleImage_->setFixedSize(setup::kSpectrumSampleWidth, setup::kSpectrumSampleHeight);
    grid->addWidget(spectrSampleImage_, 2, 0, 5, 1);
    oscSampleImage_ = new QLabel(page);
    oscSampleImage_->setObjectName(QStringLiteral("OscSampleImage"));
    oscSampleImage_->setFixedSize(setup::kOscSampleWidth, setup::kOscSampleHeight);
    grid->addWidget(oscSampleImage_, 7, 0, 3, 1);

    int row = 0;
    const auto setRow = [&](const char* name, const char* label, auto click) {
        QPushButton* b = SetButton(page, name);
        b->setFixedHeight(19);
        grid->addWidget(b, row, 1);
        grid->addWidget(new QLabel(QString::fromLatin1(label), page), row, 2);
        ++row;
        connect(b, &QPushButton::clicked, this, click);
    };
    setRow("RxFontButton", "RX window font", [this] {
        const FontChoice initial{FontOf(values_.RxFont), WinColor(values_.RxFont.Color, palette())};
        if (const auto chosen = dialogs_.font(initial, this)) {
            values_.RxFont = WithFont(values_.RxFont, chosen->font, chosen->color, palette());
            values_.AppearanceChanged = true;
            ShowRxSample();
        }
    });
    setRow("RxBackButton", "RX window background", [this] {
        if (const auto chosen =
                dialogs_.color(WinColor(values_.RxFont.BkgColor, palette()), this)) {
            values_.RxFont.BkgColor = WinColorValue(*chosen);
            values_.AppearanceChanged = true;
            ShowRxSample();
        }
    });
    const auto colourRow = [&](const char* name, const char* label, int WindowSettings::*colour,
                               bool spectrum) {
        setRow(name, label, [this, colour, spectrum] { ChooseDisplayColour(colour, spectrum); });
    };
    colourRow("SpecBackButton", "Spectrogram background", &WindowSettings::FFTBackground, true);
    colourRow("FastSpecButton", "Current spectrum color", &WindowSettings::CurrSpectrumColor, true);
    colourRow("SlowSpecButton", "Peak spectrum color", &WindowSettings::PeakSpectrumColor, true);
    colourRow("RxMarkColorButton", "RX mark color", &WindowSettings::RxMarkColor, true);
    colourRow("TxMarkColorButton", "TX mark color", &WindowSettings::TxMarkColor, true);
    colourRow("OscBackButton", "Oscillogram background", &WindowSettings::OscBackground, false);
    colourRow("OscColorButton", "Signal color", &WindowSettings::SignalColor, false);
    colourRow("OscMarkButton", "Detector threshold color", &WindowSettings::ThresholdColor, false);
    grid->setColumnStretch(2, 1);
    return page;
}

QWidget* TSetupForm::BuildTuningPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    rigNumberBox_ = Combo(page, "RigNumberBox", {"RIG1", "RIG2"});
    tuneRigByBox_ = Combo(page, "TuneRigByBox", {"NONE", "RIT", "Main VFO"});
    auto* go = new QPushButton(QStringLiteral("Go"), page);
    go->setObjectName(QStringLiteral("ShowOmniSetupButton1"));
    go->setAutoDefault(false);
    connect(go, &QPushButton::clicked, this, [this] { app_.ShowOmniSetupButton1Click(); });
    useWheelBox_ = Check(page, "UseWheelBox", "Use mouse wheel for tuning");
    wheelSpeedUpDown_ = new QSpinBox(page);
    wheelSpeedUpDown_->setObjectName(QStringLiteral("WheelSpeedUpDown"));
    wheelSpeedUpDown_->setRange(setup::kMinWheelSpeed, setup::kMaxWheelSpeed);
    wheelSpeedUpDown_->setSingleStep(1);
    grid->addWidget(new QLabel(QStringLiteral("Use RIG:"), page), 0, 0);
    grid->addWidget(rigNumberBox_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Tune RIG by:"), page), 1, 0);
    grid->addWidget(tuneRigByBox_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Show Omni-Rig Setup:"), page), 2, 0);
    grid->addWidget(go, 2, 1);
    grid->addWidget(useWheelBox_, 3, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Wheel tuning speed:"), page), 4, 0);
    grid->addWidget(wheelSpeedUpDown_, 4, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(5, 1);
    return page;
}

QWidget* TSetupForm::BuildMultiDecoderPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    sampleGrid_ = new QTableWidget(4, 1, page);
    sampleGrid_->setObjectName(QStringLiteral("SampleGrid"));
    sampleGrid_->horizontalHeader()->hide();
    sampleGrid_->verticalHeader()->hide();
    sampleGrid_->horizontalHeader()->setDefaultSectionSize(500);
    sampleGrid_->verticalHeader()->setDefaultSectionSize(24);
    sampleGrid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sampleGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sampleGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sampleGrid_->setSelectionMode(QAbstractItemView::NoSelection);
    sampleGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sampleGrid_->setFocusPolicy(Qt::NoFocus);
    sampleGrid_->setFixedHeight(4 * 24 + 2);
    for (int r = 0; r < 4; ++r) {
        auto* item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled);
        sampleGrid_->setItem(r, 0, item);
    }
    connect(sampleGrid_, &QTableWidget::cellClicked, this, [this] { sampleGrid_->scrollToTop(); });
    grid->addWidget(sampleGrid_, 0, 0, 1, 3);
    QPushButton* font = SetButton(page, "Button1");
    QPushButton* background = SetButton(page, "Button2");
    grid->addWidget(font, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Text font"), page), 1, 1);
    grid->addWidget(background, 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("Background"), page), 2, 1);
    connect(font, &QPushButton::clicked, this, [this] {
        const FontChoice initial{FontOf(values_.ScanFont),
                                 WinColor(values_.ScanFont.Color, palette())};
        if (const auto chosen = dialogs_.font(initial, this)) {
            values_.ScanFont = WithFont(values_.ScanFont, chosen->font, chosen->color, palette());
            values_.MultiDecoderChanged = true;
            ShowScanSample();
        }
    });
    connect(background, &QPushButton::clicked, this, [this] {
        if (const auto chosen =
                dialogs_.color(WinColor(values_.ScanFont.BkgColor, palette()), this)) {
            values_.ScanFont.BkgColor = WinColorValue(*chosen);
            values_.MultiDecoderChanged = true;
            ShowScanSample();
        }
    });
    reUseThresholdLimitBox_ =
        Check(page, "ReUseThresholdLimitBox", "Use manual auto-threshold limit from main decoder");
    reUseSpeedLimitBox_ = Check(page, "ReUseSpeedLimitBox", "Use speed limits from main decoder");
    grid->addWidget(reUseThresholdLimitBox_, 3, 0, 1, 3);
    grid->addWidget(reUseSpeedLimitBox_, 4, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(5, 1);
    return page;
}

// --- opening, loading and applying -----------------------------------------------------------

void TSetupForm::ApplySettings(const SetupWindowSettings& s) {
    QPoint at(kDesignedLeft, kDesignedTop);
    if (s.Left != -1) at.setX(s.Left);
    if (s.Top != -1) at.setY(s.Top);
    move(at);
}

SetupWindowSettings TSetupForm::CurrentSettings() const {
    SetupWindowSettings s;
    s.Left = pos().x();
    s.Top = pos().y();
    return s;
}

void TSetupForm::Open(int page) {
    LoadDialog();
    if (page >= 0 && page < pages_->count()) pages_->setCurrentIndex(page);
    if (!windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    show();
    raise();
}

void TSetupForm::LoadDialog() {
    values_ = app_.LoadSetupDialog();
    ShowValues();
}

void TSetupForm::ApplyDialog() {
    ReadValues();
    app_.ApplySetupDialog(values_);
    ShowValues();
}

void TSetupForm::SetupOKClick() {
    ReadValues();
    LeaveTop();
    app_.SetupOkClick(values_);
    ShowValues();
}

void TSetupForm::SetupApplyClick() {
    ReadValues();
    app_.SetupApplyClick(values_);
    ShowValues();
}

void TSetupForm::SetupSaveClick() {
    ReadValues();
    static_cast<void>(app_.SetupSaveClick(values_));
    ShowValues();
}

void TSetupForm::SetupCancelClick() {
    LeaveTop();
    app_.SetupCancelClick();
}

void TSetupForm::closeEvent(QCloseEvent* event) {
    // Hidden, never destroyed; nothing is applied.
    event->ignore();
    LeaveTop();
    app_.SetupCloseClick();
}

void TSetupForm::LeaveTop() {
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        setWindowFlag(Qt::WindowStaysOnTopHint, false);
    }
    hide();
}

void TSetupForm::ShowValues() {
    loading_ = true;
    const SetupValues& v = values_;
    SetEntries(inCardNumBox_, v.InDevices, v.InDevice);
    inputCardChannelBox_->setCurrentIndex(v.InChannel);
    inSamplingRateEdit_->setText(Text(v.SamplingRate));
    SetEntries(outCardNumBox_, v.OutDevices, v.OutDevice);
    outputCardChannelBox_->setCurrentIndex(v.OutChannel);
    afcAtMouseBox_->setChecked(v.AfcAtClick);
    enableSquelchBox_->setChecked(v.SquelchEnabled);
    enableManualLimitBox_->setChecked(v.EnableManualLimit);

    switch (v.Charset) {
        case charset::Russian:
            russianCharsetButton_->setChecked(true);
            break;
        case charset::User:
            userCharsetButton_->setChecked(true);
            break;
        case charset::Swedish:
            swedishCharsetButton_->setChecked(true);
            break;
        default:
            engCharsetButton_->setChecked(true);
    }
    userCharsetEdit_->setText(Text(v.UserCharsetFile));
    catchOneBox_->setChecked(v.CatchWordByOneClick);
    contestModeBox_->setChecked(v.ContestMode);
    copyToClippboardBox_->setChecked(v.CopyTransferredData);
    putTimeBox_->setChecked(v.PutTimeMarks);
    useUtcBox_->setChecked(v.UseUTC);

    onTopBox_->setChecked(v.AlwaysOnTop);
    logSpecBox_->setChecked(v.LogarithmicSpectrum);
    logOscBox_->setChecked(v.LogarithmicOsc);

    ShowRxSample();
    DrawSpectrumSample();
    DrawOscSample();

    rigNumberBox_->setCurrentIndex(v.RigNumber);
    tuneRigByBox_->setCurrentIndex(v.TuneRig);
    useWheelBox_->setChecked(v.UseWheel);
    wheelSpeedUpDown_->setValue(v.WheelSpeed);

    ShowScanSample();
    reUseThresholdLimitBox_->setChecked(v.ReUseThresholdLimit);
    reUseSpeedLimitBox_->setChecked(v.ReUseSpeedLimits);
    loading_ = false;
}

void TSetupForm::ReadValues() {
    SetupValues& v = values_;
    v.InDevice = inCardNumBox_->currentIndex();
    v.InChannel = inputCardChannelBox_->currentIndex();
    v.SamplingRate = inSamplingRateEdit_->text().toStdString();
    v.OutDevice = outCardNumBox_->currentIndex();
    v.OutChannel = outputCardChannelBox_->currentIndex();
    v.AfcAtClick = afcAtMouseBox_->isChecked();
    v.SquelchEnabled = enableSquelchBox_->isChecked();
    v.EnableManualLimit = enableManualLimitBox_->isChecked();
    v.Charset = russianCharsetButton_->isChecked()   ? charset::Russian
                : swedishCharsetButton_->isChecked() ? charset::Swedish
                : userCharsetButton_->isChecked()    ? charset::User
                                                     : charset::English;
    v.UserCharsetFile = userCharsetEdit_->text().toStdString();
    v.CatchWordByOneClick = catchOneBox_->isChecked();
    v.ContestMode = contestModeBox_->isChecked();
    v.CopyTransferredData = copyToClippboardBox_->isChecked();
    v.PutTimeMarks = putTimeBox_->isChecked();
    v.UseUTC = useUtcBox_->isChecked();
    v.AlwaysOnTop = onTopBox_->isChecked();
    v.LogarithmicSpectrum = logSpecBox_->isChecked();
    v.LogarithmicOsc = logOscBox_->isChecked();
    v.RigNumber = rigNumberBox_->currentIndex();
    v.TuneRig = tuneRigByBox_->currentIndex();
    v.UseWheel = useWheelBox_->isChecked();
    v.WheelSpeed = wheelSpeedUpDown_->value();
    v.ReUseThresholdLimit = reUseThresholdLimitBox_->isChecked();
    v.ReUseSpeedLimits = reUseSpeedLimitBox_->isChecked();
}

// --- samples ------------------------------------------------------------------------------------

void TSetupForm::ShowRxSample() {
    const FontSettings& f = values_.RxFont;
    const CodePage page = CodePageOfCharset(f.Charset);
    rxSampleMemo_->setFont(FontOf(f));
    QPalette colours = rxSampleMemo_->palette();
    colours.setColor(QPalette::Text, WinColor(f.Color, palette()));
    colours.setColor(QPalette::Base, WinColor(f.BkgColor, palette()));
    rxSampleMemo_->setPalette(colours);
    rxSampleMemo_->setPlainText(Decode(page, setup::kSampleLine1) + QLatin1Char('\n') +
                                Decode(page, setup::kSampleLine2));
}

void TSetupForm::ShowScanSample() {
    const FontSettings& f = values_.ScanFont;
    const CodePage page = CodePageOfCharset(f.Charset);
    sampleGrid_->setFont(FontOf(f));
    QPalette colours = sampleGrid_->palette();
    colours.setColor(QPalette::Text, WinColor(f.Color, palette()));
    colours.setColor(QPalette::Base, WinColor(f.BkgColor, palette()));
    sampleGrid_->setPalette(colours);
    const std::string_view rows[] = {setup::kSampleLine1, setup::kSampleLine2,
                                     setup::kSampleGridRow3, ""};
    for (int r = 0; r < 4; ++r) sampleGrid_->item(r, 0)->setText(Decode(page, rows[r]));
    // Row 3 stays empty and is the selection, so no sample row shows as
    // selected; the grid shows row 0 first.
    sampleGrid_->setCurrentCell(3, 0, QItemSelectionModel::NoUpdate);
    sampleGrid_->scrollToTop();
}

void TSetupForm::DrawSpectrumSample() {
    const WindowSettings& c = values_.Colours;
    const int w = setup::kSpectrumSampleWidth;
    const int h = setup::kSpectrumSampleHeight;
    spectrumSample_ = QImage(w, h, QImage::Format_RGB32);
    spectrumSample_.fill(WinColor(c.FFTBackground, palette()));
    QPainter p(&spectrumSample_);
    const auto curve = [&](double factor, int colour) {
        p.setPen(QPen(WinColor(colour, palette()), 1));
        const std::vector<setup::Point> points = setup::SpectrumSampleCurve(h, factor);
        for (std::size_t i = 1; i < points.size(); ++i) Line(p, points[i - 1], points[i]);
    };
    curve(0.4, c.PeakSpectrumColor);
    curve(0.25, c.CurrSpectrumColor);
    p.setPen(QPen(WinColor(c.RxMarkColor, palette()), 1));
    for (const setup::Segment& s : setup::SpectrumSampleRxMarks(w, h)) Line(p, s.from, s.to);
    p.setPen(QPen(WinColor(c.TxMarkColor, palette()), 3));
    const setup::Segment tx = setup::SpectrumSampleTxMark(h);
    Line(p, tx.from, tx.to);
    p.end();
    spectrSampleImage_->setPixmap(QPixmap::fromImage(spectrumSample_));
}

void TSetupForm::DrawOscSample() {
    const WindowSettings& c = values_.Colours;
    const int w = setup::kOscSampleWidth;
    const int h = setup::kOscSampleHeight;
    oscSample_ = QImage(w, h, QImage::Format_RGB32);
    oscSample_.fill(WinColor(c.OscBackground, palette()));
    QPainter p(&oscSample_);
    p.setPen(QPen(WinColor(c.SignalColor, palette()), 1));
    const std::vector<setup::Point> points = setup::OscSampleSignal(w, h);
    for (std::size_t i = 1; i < points.size(); ++i) Line(p, points[i - 1], points[i]);
    p.setPen(QPen(WinColor(c.ThresholdColor, palette()), 1));
    const setup::Segment threshold = setup::OscSampleThreshold(w, h);
    Line(p, threshold.from, threshold.to);
    p.end();
    oscSampleImage_->setPixmap(QPixmap::fromImage(oscSample_));
}

void TSetupForm::ChooseDisplayColour(int WindowSettings::*colour, bool spectrum) {
    const auto chosen = dialogs_.color(WinColor(values_.Colours.*colour, palette()), this);
    if (!chosen) return;
    values_.Colours.*colour = WinColorValue(*chosen);
    values_.AppearanceChanged = true;
    if (spectrum) {
        DrawSpectrumSample();
    } else {
        DrawOscSample();
    }
}

}  // namespace quelp::ui
