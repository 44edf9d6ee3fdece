// The multi-channel decoder's window and menu item in the application object.

#include <algorithm>

#include "app/QuelpApp.h"

namespace quelp {

void QuelpApp::MultiChannelDecoder1Click() {
    const bool on = !receiver_.MultiChannelOn();
    receiver_.SetMultiChannel(on);
    ports_.view.SetChecked(UiItem::MultiChannelDecoder1, on);
    RunHook(scanForm_.setMainStayOnTop, false);
    if (on) {
        CreateScanForm();
        RunHook(scanForm_.show);
        CentreScanGrid();
    } else if (scanFormCreated_) {
        RunHook(scanForm_.hide);
    }
    if (scanForm_.alwaysOnTop && scanForm_.alwaysOnTop()) RunHook(scanForm_.setMainStayOnTop, true);
}

void QuelpApp::CreateScanForm() {
    if (scanFormCreated_) return;
    scanFormCreated_ = true;
    RunHook(scanForm_.create);
}

void QuelpApp::CentreScanGrid() {
    receiver_.CentreScanGrid();
    RunHook(scanForm_.scrollGrid);
}

void QuelpApp::SetScanPane(int imageWidth, int imageHeight, int visibleRows) {
    ScanWindow& grid = receiver_.ChannelGrid();
    grid.SetImageSize(imageWidth, imageHeight);
    grid.VisibleRows = std::clamp(visibleRows, 1, ScanWindow::kRows);
}

bool QuelpApp::ScanFormCloseQuery() {
    if (receiver_.MultiChannelOn()) MultiChannelDecoder1Click();
    return false;
}

std::string QuelpApp::MultiChannelText() const {
    return FormatMultiChannelRows(receiver_.FreqScan().Window(),
                                  receiver_.FreqScan().ScanStartBin(),
                                  receiver_.Params().SamplingFreq);
}

void QuelpApp::SetScanWindowSettings(const ScanWindowSettings& scan) {
    window_.Scan = scan;
    window_.Scan.Created = true;
}

void QuelpApp::SetSetupWindowSettings(const SetupWindowSettings& setup) {
    window_.Setup = setup;
    window_.Setup.Created = true;
}

}  // namespace quelp
