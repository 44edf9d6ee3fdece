#include "ui/TRxForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/DisplayControls.h"
#include "app/QuelpApp.h"
#include "ui/RxFormDialogs.h"

#ifndef QUELP_VERSION
#define QUELP_VERSION "unknown"
#endif

namespace quelp::ui {

namespace {
QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

TRxForm::TRxForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("RxForm"));
    setWindowTitle(QStringLiteral(" VRELK Quelp"));
    // The window was laid out for an 8-point face; the panel's buttons and
    // the status panels only fit their texts at that size.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    menus_ = BuildRxFormMenus(menuBar(), this);
    for (const auto& [item, action] : menus_.items) {
        if (action->isCheckable()) checks_[item] = action->isChecked();
    }

    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(BuildPanel());
    auto* bevel1 = new QFrame(client);
    bevel1->setObjectName(QStringLiteral("Bevel1"));
    bevel1->setFrameShape(QFrame::HLine);
    bevel1->setFrameShadow(QFrame::Sunken);
    bevel1->setFixedHeight(2);
    column->addWidget(bevel1);
    column->addWidget(BuildDisplays(), 1);
    setCentralWidget(client);
    BuildStatusBar();

    rxMemo_->SetWholeText("Quelp  V" QUELP_VERSION
                          "\r\nUse mouse to select sound band and detector \r\nthreshold.\r\n\r\n");

    timer1_.setInterval(20);
    timer2_.setInterval(500);
    timer2_.setSingleShot(true);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1Tick(); });
    connect(&timer2_, &QTimer::timeout, this, [this] { Timer2Tick(); });

    messageBox_ = [this](const QString& text, const QString& caption) {
        QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, this);
        box.exec();
    };

    resize(579, 370);
    move(238, 115);
    dialogs_ = std::make_unique<RxFormDialogs>(*this);
}

// The application may be gone by now: whoever built both ends it first.
TRxForm::~TRxForm() = default;

QAction* TRxForm::Item(UiItem item) const {
    const auto found = menus_.items.find(item);
    return found == menus_.items.end() ? nullptr : found->second;
}

QAbstractButton* TRxForm::Button(UiItem item) const {
    const auto found = buttons_.find(item);
    return found == buttons_.end() ? nullptr : found->second;
}

SpinEdit* TRxForm::Edit(UiItem item) const {
    const auto found = edits_.find(item);
    return found == edits_.end() ? nullptr : found->second;
}

// --- the main-view port ------------------------------------------------------------

void TRxForm::SetStatusText(int panel, std::string_view text) {
    if (panel >= 0 && panel < kPanels)
        panels_[static_cast<std::size_t>(panel)]->setText(Text(text));
}

void TRxForm::SetCaption(UiItem item, std::string_view caption) {
    if (QAction* action = Item(item)) action->setText(Text(caption));
    if (QAbstractButton* button = Button(item)) button->setText(Text(caption));
}

void TRxForm::SetChecked(UiItem item, bool checked) {
    checks_[item] = checked;
    if (QAction* action = Item(item)) {
        action->setCheckable(true);
        action->setChecked(checked);
    }
}

void TRxForm::SetEnabled(UiItem item, bool enabled) {
    if (QAction* action = Item(item)) action->setEnabled(enabled);
    if (QAbstractButton* button = Button(item)) button->setEnabled(enabled);
    if (SpinEdit* edit = Edit(item)) edit->setEnabled(enabled);
}

void TRxForm::SetDown(UiItem item, bool down) {
    if (QAbstractButton* button = Button(item)) button->setChecked(down);
}

void TRxForm::SetText(UiItem item, std::string_view text) {
    SpinEdit* edit = Edit(item);
    if (edit == nullptr) return;
    bool number = false;
    const int value = Text(text).trimmed().toInt(&number);
    if (!number) return;
    // The application's answer is shown; it does not come back as a change.
    const QSignalBlocker quiet(edit);
    edit->setValue(value);
}

void TRxForm::ShowMessage(std::string_view text, std::string_view caption) {
    if (messageBox_) messageBox_(Text(text), Text(caption));
}

void TRxForm::ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TRxForm::UpdateDisplays() {
    RepaintSpectrum();
}

// --- window events -----------------------------------------------------------------

bool TRxForm::event(QEvent* event) {
    // The first activation starts the start-up timer. A window system
    // without a window manager may never activate the window, so its first
    // showing counts as well.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show) {
        FirstActivation();
    }
    return QMainWindow::event(event);
}

void TRxForm::closeEvent(QCloseEvent* event) {
    if (app_ == nullptr || app_->FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace quelp::ui
