#pragma once
// The main window: the control panel, the spectrum with its scale, the
// receive text, the oscilloscope and the status bar, with the menus. It
// renders what the application decides (the main-view port), forwards every
// command to one application operation, owns the start-up and display
// timers, and fills the start-up steps that need a window.

#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports/MainView.h"
#include "ui/DisplayBoxes.h"
#include "ui/PanelControls.h"
#include "ui/RxFormMenus.h"
#include "ui/RxMemo.h"

class QSplitter;
class QStatusBar;

namespace quelp {
class DisplayControls;
class QuelpApp;
struct HeldKeys;
struct SpectrumPointer;
struct WindowHooks;
}  // namespace quelp

namespace quelp::ui {

class RxFormDialogs;

class TRxForm final : public QMainWindow, public MainView {
  public:
    static constexpr int kPanels = 11;

    explicit TRxForm(QWidget* parent = nullptr);
    ~TRxForm() override;

    // The receive text, for the application's ports.
    RxMemo& Memo() { return *rxMemo_; }

    // Connects the window to the application it drives: its controls call
    // the application's operations, and the application's start-up runs the
    // window's steps. `args` is the command line (the program first),
    // `programDir` the folder of the executable (the help file's place).
    void Attach(QuelpApp& app, std::vector<std::string> args, std::filesystem::path programDir);

    // How a message box is shown (a modal box with an OK button; tests
    // record instead).
    using MessageBoxFn = std::function<void(const QString& text, const QString& caption)>;
    void SetMessageBox(MessageBoxFn show) { messageBox_ = std::move(show); }

    // The controls, for the program's own keys and for tests.
    QAction* Item(UiItem item) const;
    QAbstractButton* Button(UiItem item) const;
    SpinEdit* Edit(UiItem item) const;
    QLabel* Panel(int panel) const { return panels_.at(static_cast<std::size_t>(panel)); }
    const RxFormMenus& Menus() const { return menus_; }
    QPushButton* NullButton() const { return nullButton_; }
    QTimer& Timer1() { return timer1_; }
    QTimer& Timer2() { return timer2_; }
    SpectrumBox* FftBox() const { return fftBox_; }
    ScaleBox* ScaleImage() const { return scaleImage_; }
    OscilloscopeBox* PaintBox1() const { return paintBox1_; }
    // The mouse, wheel and keys (present once attached).
    DisplayControls& Controls() { return *controls_; }

    // The spectrum drawn from the application's arrays, with status panel 2
    // and the scale when they changed (after each block, and while panning).
    void RepaintSpectrum();
    // The setup dialog, the multi-channel window and the word-catching menu.
    RxFormDialogs& Dialogs() { return *dialogs_; }

    // MainView
    void SetStatusText(int panel, std::string_view text) override;
    void SetCaption(UiItem item, std::string_view caption) override;
    void SetChecked(UiItem item, bool checked) override;
    void SetEnabled(UiItem item, bool enabled) override;
    void SetDown(UiItem item, bool down) override;
    void SetText(UiItem item, std::string_view text) override;
    void ShowMessage(std::string_view text, std::string_view caption) override;
    void ProcessMessages() override;
    void UpdateDisplays() override;

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The window sees every key first (and the pointer entering its parts).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    // Layout (TRxForm_Layout.cpp).
    QWidget* BuildPanel();
    QWidget* BuildDisplays();
    void BuildStatusBar();
    // Start-up, timers and settings (TRxForm_Startup.cpp).
    WindowHooks Hooks();
    void FirstActivation();
    void Timer2Tick();
    void Timer1Tick();
    void RepaintOscilloscope();
    void ApplyWindowSettings();
    void ReportWindowSettings();
    // Commands (TRxForm_Commands.cpp).
    void ConnectCommands();
    void ConnectPanel();
    void MenuItemClick(UiItem item);
    void ExitClick();
    void About1Click();
    void WatchMenus();
    // Shows again every check mark as the application last set it (a click
    // on a radio item marks it before the application has decided).
    void ShowCheckMarks();
    // The mouse, wheel and keys (TRxForm_Controls.cpp).
    void ConnectDisplayControls();
    SpectrumPointer Pointer(const QMouseEvent& event, bool onScale) const;

    QuelpApp* app_ = nullptr;
    std::vector<std::string> args_;
    std::filesystem::path programDir_;
    MessageBoxFn messageBox_;

    RxFormMenus menus_;
    std::map<UiItem, QAbstractButton*> buttons_;
    std::map<UiItem, SpinEdit*> edits_;
    std::map<UiItem, bool> checks_;
    std::array<QLabel*, kPanels> panels_{};
    QPushButton* nullButton_ = nullptr;
    SpectrumBox* fftBox_ = nullptr;
    ScaleBox* scaleImage_ = nullptr;
    RxMemo* rxMemo_ = nullptr;
    OscilloscopeBox* paintBox1_ = nullptr;
    QSplitter* splitter1_ = nullptr;
    QSplitter* splitter2_ = nullptr;

    std::unique_ptr<DisplayControls> controls_;

    QTimer timer1_;
    QTimer timer2_;
    bool activated_ = false;
    bool startupPending_ = true;
    bool slowTimerMode_ = false;
    bool inOscilloscope_ = false;
    int shownSignalBin_ = -1;
    // The menu filter: installed at the end of the start-up; counts the
    // menus open, so that a submenu closing does not end the hold-off of the
    // menu it belongs to.
    bool menuFilter_ = false;
    int openMenus_ = 0;
    bool aboutOpen_ = false;
    std::unique_ptr<RxFormDialogs> dialogs_;
};

}  // namespace quelp::ui
