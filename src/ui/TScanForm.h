#pragma once
// The multi-channel decoder's window: the waterfall pane on the
// left, the one-column text grid on the right, both showing the core's
// ScanWindow (rows of 8 bins, 3 pixel rows per bin, 24 pixels per row).
// Created on first use, then only shown and hidden; closing it turns the
// decoder off.

#include <QTableWidget>
#include <QWidget>
#include <functional>

#include "app/MainWindowState.h"
#include "text/CodePage.h"

class QSplitter;

namespace quelp {
class QuelpApp;
}

namespace quelp::ui {

// ScanFftImage: the core's waterfall picture, scaled to nothing.
class WaterfallPane final : public QWidget {
  public:
    WaterfallPane(const QuelpApp& app, QWidget* parent);
    QSize sizeHint() const override { return {90, 400}; }
    // Told after every change of the pane's size.
    std::function<void()> Resized;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    const QuelpApp& app_;
};

class TScanForm final : public QWidget {
  public:
    static constexpr int kDesignedWidth = 610;
    static constexpr int kDesignedHeight = 480;
    static constexpr int kWaterfallWidth = 90;
    static constexpr int kRowPixels = 24;  // 23 and the grid line
    static constexpr int kColumnWidth = 500;
    static constexpr int kMinWaterfall = 15;  // a narrower pane is refused

    explicit TScanForm(QuelpApp& app, QWidget* parent = nullptr);

    // The stored geometry and font ("ScanScreen", "ScanFont"), and what the
    // window shows now, for a save.
    void ApplySettings(const ScanWindowSettings& settings);
    ScanWindowSettings CurrentSettings() const;
    // The grid's font and background colour.
    void ApplyFont(const FontSettings& font);

    // The grid to the core's top row; the rows' texts from the core.
    void ScrollGrid();
    void RefreshRows();

    QTableWidget* ScanGrid() const { return grid_; }
    WaterfallPane* ScanFftImage() const { return waterfall_; }
    QSplitter* ScanSplitter1() const { return splitter_; }
    // Rows the grid shows whole.
    int VisibleRows() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // The pane's size and the grid's rows to the core, then the grid centred.
    void CentreScanGrid();

    QuelpApp& app_;
    QSplitter* splitter_ = nullptr;
    WaterfallPane* waterfall_ = nullptr;
    QTableWidget* grid_ = nullptr;
    FontSettings font_;
    CodePage page_ = CodePage::Cp1251;
    bool refreshing_ = false;
};

}  // namespace quelp::ui
