// Every command of the window goes to one operation of the application; what
// it changes comes back through the main-view port.

#include <QApplication>
#include <QShortcut>
#include <functional>

#include "app/QuelpApp.h"
#include "ui/AboutBox.h"
#include "ui/RxFormDialogs.h"
#include "ui/TRxForm.h"

namespace quelp::ui {

void TRxForm::Attach(QuelpApp& app, std::vector<std::string> args,
                     std::filesystem::path programDir) {
    app_ = &app;
    args_ = std::move(args);
    programDir_ = std::move(programDir);
    fftBox_->Attach(app_);
    scaleImage_->Attach(app_);
    paintBox1_->Attach(app_);
    app_->SetWindowHooks(Hooks());
    ConnectCommands();
    ConnectPanel();
    WatchMenus();
    ConnectDisplayControls();
    dialogs_->Attach(app);
}

void TRxForm::ConnectCommands() {
    for (const auto& [item, action] : menus_.items) {
        // The submenus' own entries only open their menus.
        if (item == UiItem::MainFilterMenu || item == UiItem::CwFilterMenu ||
            item == UiItem::SoundOutputFilter1) {
            continue;
        }
        connect(action, &QAction::triggered, this, [this, item = item] { MenuItemClick(item); });
    }
    connect(menus_.contents, &QAction::triggered, this,
            [this] { app_->Contens1Click(programDir_); });
    connect(menus_.about, &QAction::triggered, this, [this] { About1Click(); });

    // Enter anywhere in the window is the default button's click.
    for (Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(enter), this);
        connect(shortcut, &QShortcut::activated, this,
                [this] { buttons_.at(UiItem::GoToMaxButton)->animateClick(); });
    }
}

void TRxForm::ConnectPanel() {
    const auto onClick = [this](UiItem item, std::function<void(QuelpApp&)> operation) {
        connect(buttons_.at(item), &QAbstractButton::clicked, this,
                [this, operation = std::move(operation)] { operation(*app_); });
    };
    onClick(UiItem::AutoTresholdButton, [](QuelpApp& a) { a.AutoTresholdButtonClick(); });
    onClick(UiItem::GoToMaxButton, [](QuelpApp& a) { a.GoToMaxButtonClick(); });
    onClick(UiItem::AutoGoToMaxButton, [](QuelpApp& a) { a.AutoGoToMaxButtonClick(); });
    onClick(UiItem::AfcButton, [](QuelpApp& a) { a.AfcButtonClick(); });
    onClick(UiItem::ReplayButton, [](QuelpApp& a) { a.ReplayButtonClick(); });
    onClick(UiItem::SaveButton, [](QuelpApp& a) { a.SaveButtonClick(); });
    onClick(UiItem::SpeedLockButton, [](QuelpApp& a) { a.SpeedLockButtonClick(); });
    connect(buttons_.at(UiItem::SpeedLockButton), &QAbstractButton::pressed, this, [this] {
        app_->SpeedLockButtonMouseDown(
            QApplication::keyboardModifiers().testFlag(Qt::ControlModifier));
    });

    // A step of a spin control, or a typed value the operator finished, is
    // in force at once; leaving an edit rewrites it from the value in force.
    SpinEdit* afc = edits_.at(UiItem::AfcEdit);
    connect(afc, &QSpinBox::valueChanged, this, [this](int hz) { app_->SetAfcDeviationHz(hz); });
    connect(afc, &QAbstractSpinBox::editingFinished, this,
            [this, afc] { app_->AfcEditExit(afc->text().toStdString()); });
    SpinEdit* limit = edits_.at(UiItem::AfcLimitEdit);
    connect(limit, &QSpinBox::valueChanged, this, [this](int hz) { app_->SetAfcLimitHz(hz); });
    connect(limit, &QAbstractSpinBox::editingFinished, this,
            [this, limit] { app_->AfcLimitEditExit(limit->text().toStdString()); });
    const auto speed = [this](UiItem item, void (*change)(QuelpApp&, std::string_view)) {
        SpinEdit* edit = edits_.at(item);
        const auto apply = [this, edit, change] { change(*app_, edit->text().toStdString()); };
        connect(edit, &QSpinBox::valueChanged, this, apply);
        connect(edit, &QAbstractSpinBox::editingFinished, this, apply);
    };
    speed(UiItem::LowSpeedEdit,
          [](QuelpApp& a, std::string_view text) { a.LowSpeedEditChange(text); });
    speed(UiItem::HighSpeedEdit,
          [](QuelpApp& a, std::string_view text) { a.HighSpeedEditChange(text); });
}

void TRxForm::MenuItemClick(UiItem item) {
    switch (item) {
        case UiItem::ClearBuffer1:
            app_->ClearBuffer1Click();
            break;
        case UiItem::SaveBuffer1:
            static_cast<void>(app_->SaveBuffer1Click());
            break;
        case UiItem::OpenButterinNotepadAltN1:
            static_cast<void>(app_->OpenButterinNotepadAltN1Click());
            break;
        case UiItem::OpenCaptureFile1:
            app_->OpenCaptureFile1Click();
            break;
        case UiItem::CloseCaptureFile1:
            static_cast<void>(app_->CloseCaptureFile1Click());
            break;
        case UiItem::OpenWaveCaptureFile1:
            app_->OpenWaveCaptureFile1Click();
            break;
        case UiItem::CloseWaveCaptureFile1:
            static_cast<void>(app_->CloseWaveCaptureFile1Click());
            break;
        case UiItem::DecodeFromFile1:
            app_->DecodeFromFile1Click();
            break;
        case UiItem::MultiChannelDecoder1:
            app_->MultiChannelDecoder1Click();
            break;
        case UiItem::AdaptiveDecoder1:
            app_->AdaptiveDecoder1Click();
            break;
        case UiItem::Exit:
            ExitClick();
            return;
        default:
            static_cast<void>(app_->MainFilterMenuClick(item) || app_->BurstFilterMenuClick(item) ||
                              app_->SoundOutputMenuClick(item) || app_->ZoomMenuClick(item));
            break;
    }
    ShowCheckMarks();
}

void TRxForm::ExitClick() {
    static_cast<void>(app_->Shutdown());
    close();
}

void TRxForm::About1Click() {
    if (aboutOpen_) return;
    aboutOpen_ = true;
    AboutBox about(this);
    about.exec();
    aboutOpen_ = false;
}

void TRxForm::WatchMenus() {
    // The displays hold still while any menu is open and draw again once the
    // last one has closed (a submenu closing leaves its menu open).
    for (QMenu* menu : menus_.menus) {
        connect(menu, &QMenu::aboutToShow, this, [this] {
            ++openMenus_;
            if (menuFilter_) app_->MenuOpened();
        });
        connect(menu, &QMenu::aboutToHide, this, [this] {
            if (openMenus_ > 0) --openMenus_;
            if (menuFilter_ && openMenus_ == 0) app_->MenuClosed();
        });
    }
}

void TRxForm::ShowCheckMarks() {
    for (const auto& [item, checked] : checks_) {
        if (QAction* action = Item(item)) action->setChecked(checked);
    }
}

}  // namespace quelp::ui
