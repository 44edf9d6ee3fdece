#include "ui/RxFormDialogs.h"

#include "app/DisplayControls.h"
#include "app/QuelpApp.h"
#include "ui/TRxForm.h"
#include "ui/TScanForm.h"
#include "ui/TSetupForm.h"
#include "ui/WinColor.h"

namespace quelp::ui {

RxFormDialogs::RxFormDialogs(TRxForm& form) : form_(form) {}

RxFormDialogs::~RxFormDialogs() = default;

void RxFormDialogs::Attach(QuelpApp& app) {
    app_ = &app;
    ScanFormHooks scan;
    scan.create = [this] { CreateScanForm(); };
    scan.show = [this] {
        scanForm_->show();
        scanForm_->raise();
    };
    scan.hide = [this] { scanForm_->hide(); };
    scan.setMainStayOnTop = [this](bool on) { SetMainStayOnTop(on); };
    scan.alwaysOnTop = [this] { return app_->Window().AlwaysOnTop; };
    scan.scrollGrid = [this] {
        if (scanForm_) scanForm_->ScrollGrid();
    };
    scan.applyFont = [this] {
        if (scanForm_) scanForm_->ApplyFont(app_->Window().Scan.Font);
    };
    scan.reportSettings = [this] {
        if (scanForm_) app_->SetScanWindowSettings(scanForm_->CurrentSettings());
    };
    app.SetScanFormHooks(std::move(scan));

    SetupFormHooks setup;
    setup.open = [this](int page) { OpenSetup(page); };
    setup.reportSettings = [this] {
        if (setupForm_) app_->SetSetupWindowSettings(setupForm_->CurrentSettings());
    };
    app.SetSetupFormHooks(std::move(setup));

    const RxFormMenus& menus = form_.Menus();
    menus.setup->setEnabled(true);
    QObject::connect(menus.setup, &QAction::triggered, &form_, [this] { app_->Setup11Click(); });
    form_.Memo().MouseUp = [this](QPoint global) { RxMemoMouseUp(global); };
    for (const auto& [name, action] : menus.popupItems) {
        if (name == QLatin1String("Title1")) {
            QObject::connect(action, &QAction::triggered, &form_, [this] { app_->Title1Click(); });
        } else if (name == QLatin1String("Copy1")) {
            QObject::connect(action, &QAction::triggered, &form_, [this] { app_->Copy1Click(); });
        } else {
            for (std::size_t i = 0; i < kLogFields.size(); ++i) {
                if (name != QLatin1String(kLogFields[i].name)) continue;
                QObject::connect(action, &QAction::triggered, &form_,
                                 [this, i] { app_->LogFieldClick(i); });
            }
        }
    }
}

void RxFormDialogs::RxMemoMouseUp(QPoint global) {
    const WordCatchPopup popup = app_->RxMemoMouseUp();
    if (!popup.popup) return;
    const RxFormMenus& menus = form_.Menus();
    QAction* title = menus.popupItems.at(QStringLiteral("Title1"));
    // The word as the receive text shows it; an ampersand is no accelerator.
    QString word;
    const CodePage page = form_.Memo().Page();
    for (const char c : popup.word) {
        word +=
            QChar(static_cast<char16_t>(CodePageToUnicode(page, static_cast<unsigned char>(c))));
    }
    title->setText(word.replace(QLatin1Char('&'), QStringLiteral("&&")));
    menus.popup->popup(global);
}

void RxFormDialogs::CreateScanForm() {
    if (scanForm_) return;
    scanForm_ = std::make_unique<TScanForm>(*app_, &form_);
    scanForm_->ApplySettings(app_->Window().Scan);
    app_->SetScanWindowSettings(scanForm_->CurrentSettings());
}

void RxFormDialogs::OpenSetup(int page) {
    // The wheel's parked focus goes back: the dialog takes the keyboard now.
    form_.Controls().ReleaseWheelFocus();
    if (!setupForm_) {
        setupForm_ = std::make_unique<TSetupForm>(*app_, &form_);
        setupForm_->ApplySettings(app_->Window().Setup);
        app_->SetSetupWindowSettings(setupForm_->CurrentSettings());
    }
    setupForm_->Open(page);
}

void RxFormDialogs::SetMainStayOnTop(bool stayOnTop) {
    if (form_.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == stayOnTop) return;
    const bool visible = form_.isVisible();
    form_.setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop);
    if (visible) form_.show();
}

void RxFormDialogs::ApplyAppearance() {
    const MainWindowState& state = app_->Window();
    RxMemo& memo = form_.Memo();
    memo.ApplyFont(state.RxFont);
    // Highlighted words keep the window's look.
    QPalette colours = memo.palette();
    colours.setColor(QPalette::HighlightedText, colours.color(QPalette::Text));
    colours.setColor(QPalette::Highlight, colours.color(QPalette::Base));
    memo.setPalette(colours);
    form_.FftBox()->update();
    form_.PaintBox1()->update();
}

}  // namespace quelp::ui
