#pragma once
// The main window's other windows and its word-catching menu: the setup
// dialog and the multi-channel window, each created on first use, the
// pop-up menu on the receive text, and the window's side of their hooks
// (stay on top, the new look after the setup dialog).

#include <QPoint>
#include <memory>

namespace quelp {
class QuelpApp;
}

namespace quelp::ui {

class TRxForm;
class TScanForm;
class TSetupForm;

class RxFormDialogs {
  public:
    explicit RxFormDialogs(TRxForm& form);
    ~RxFormDialogs();
    RxFormDialogs(const RxFormDialogs&) = delete;
    RxFormDialogs& operator=(const RxFormDialogs&) = delete;

    // Sets the multi-channel window's and the setup dialog's hooks, and
    // connects the Setup menu item and the receive text's pop-up menu.
    void Attach(QuelpApp& app);

    // The receive text and the displays take the look of MainWindowState.
    void ApplyAppearance();
    // The main window stays on top of the others, or not.
    void SetMainStayOnTop(bool stayOnTop);
    // A mouse button released over the receive text at `global`.
    void RxMemoMouseUp(QPoint global);

    // Null until first used.
    TSetupForm* SetupForm() const { return setupForm_.get(); }
    TScanForm* ScanForm() const { return scanForm_.get(); }

  private:
    void CreateScanForm();
    void OpenSetup(int page);

    TRxForm& form_;
    QuelpApp* app_ = nullptr;
    std::unique_ptr<TSetupForm> setupForm_;
    std::unique_ptr<TScanForm> scanForm_;
};

}  // namespace quelp::ui
