#pragma once
// The non-modal "Setup" dialog: six pages of controls that show
// the application's SetupValues, the font and colour buttons with their
// samples, and OK / Apply / Save / Cancel. What the values mean and how they
// are applied is the application's (QuelpApp_Setup.cpp); this only renders
// them and reads them back.

#include <QDialog>
#include <functional>
#include <optional>

#include "app/SetupDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace quelp {
class QuelpApp;
}

namespace quelp::ui {

class TSetupForm final : public QDialog {
  public:
    static constexpr int kDesignedLeft = 477;
    static constexpr int kDesignedTop = 220;
    static constexpr int kClientWidth = 561;
    static constexpr int kClientHeight = 353;

    // What the font, colour and file dialogs chose; nothing when cancelled.
    // Tests answer instead of the dialogs.
    struct FontChoice {
        QFont font;
        QColor color;
    };
    struct Dialogs {
        std::function<std::optional<FontChoice>(const FontChoice& initial, QWidget* parent)> font;
        std::function<std::optional<QColor>(const QColor& initial, QWidget* parent)> color;
        std::function<std::optional<QString>(const QString& initial, QWidget* parent)> charsetFile;
    };

    TSetupForm(QuelpApp& app, QWidget* parent);
    void SetDialogs(Dialogs dialogs) { dialogs_ = std::move(dialogs); }

    // The stored "SetupScreen" position (-1 keeps the designed one), and the
    // position shown, for a save.
    void ApplySettings(const SetupWindowSettings& settings);
    SetupWindowSettings CurrentSettings() const;

    // Opening: LoadDialog, page `page` (-1: the one shown last), on top,
    // shown without waiting.
    void Open(int page);
    // The controls from the application's state, and back (the values the
    // application then shows again).
    void LoadDialog();
    void ApplyDialog();

    // The buttons.
    void SetupOKClick();
    void SetupApplyClick();
    void SetupSaveClick();
    void SetupCancelClick();

    QTabWidget* Pages() const { return pages_; }
    const SetupValues& Values() const { return values_; }
    // The two sample pictures as drawn.
    const QImage& SpectrumSample() const { return spectrumSample_; }
    const QImage& OscSample() const { return oscSample_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* BuildInterfacePage();
    QWidget* BuildTextPage();
    QWidget* BuildViewPage();
    QWidget* BuildFontsPage();
    QWidget* BuildTuningPage();
    QWidget* BuildMultiDecoderPage();
    // The controls from values_ and values_ from the controls.
    void ShowValues();
    void ReadValues();
    void ShowRxSample();
    void ShowScanSample();
    void DrawSpectrumSample();
    void DrawOscSample();
    void LeaveTop();
    // A colour button of page 3: the working copy `colour` through the
    // colour dialog, then the sample redrawn.
    void ChooseDisplayColour(int WindowSettings::*colour, bool spectrum);

    QuelpApp& app_;
    Dialogs dialogs_;
    SetupValues values_;

    QTabWidget* pages_ = nullptr;
    // Page 0.
    QComboBox* inCardNumBox_ = nullptr;
    QComboBox* inputCardChannelBox_ = nullptr;
    QLineEdit* inSamplingRateEdit_ = nullptr;
    QComboBox* outCardNumBox_ = nullptr;
    QComboBox* outputCardChannelBox_ = nullptr;
    QCheckBox* afcAtMouseBox_ = nullptr;
    QCheckBox* enableSquelchBox_ = nullptr;
    QCheckBox* enableManualLimitBox_ = nullptr;
    // Page 1.
    QRadioButton* engCharsetButton_ = nullptr;
    QRadioButton* russianCharsetButton_ = nullptr;
    QRadioButton* swedishCharsetButton_ = nullptr;
    QRadioButton* userCharsetButton_ = nullptr;
    QLineEdit* userCharsetEdit_ = nullptr;
    QCheckBox* catchOneBox_ = nullptr;
    QCheckBox* contestModeBox_ = nullptr;
    QCheckBox* copyToClippboardBox_ = nullptr;
    QCheckBox* putTimeBox_ = nullptr;
    QCheckBox* useUtcBox_ = nullptr;
    // Page 2.
    QCheckBox* onTopBox_ = nullptr;
    QCheckBox* logSpecBox_ = nullptr;
    QCheckBox* logOscBox_ = nullptr;
    // Page 3.
    QPlainTextEdit* rxSampleMemo_ = nullptr;
    QLabel* spectrSampleImage_ = nullptr;
    QLabel* oscSampleImage_ = nullptr;
    QImage spectrumSample_;
    QImage oscSample_;
    // Page 4.
    QComboBox* rigNumberBox_ = nullptr;
    QComboBox* tuneRigByBox_ = nullptr;
    QCheckBox* useWheelBox_ = nullptr;
    QSpinBox* wheelSpeedUpDown_ = nullptr;
    // Page 5.
    QTableWidget* sampleGrid_ = nullptr;
    QCheckBox* reUseThresholdLimitBox_ = nullptr;
    QCheckBox* reUseSpeedLimitBox_ = nullptr;
    // Loading the controls is not the operator's edit.
    bool loading_ = false;
};

}  // namespace quelp::ui
