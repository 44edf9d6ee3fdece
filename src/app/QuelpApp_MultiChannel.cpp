// The multi-channel decoder in the application object: the hand-overs from
// the main filter, burst filter and speed lock, and the window's menu item.

#include "app/QuelpApp.h"

namespace quelp {

void QuelpApp::InitMultiChannel() {
    freqScan_.AutoThresholdDown = [this] { return threshold_.AutoDown(); };
    filterMenus_.MainFilterHook = [this](int code) { freqScan_.SetFilter(code); };
    filterMenus_.BurstLengthHook = [this](std::int32_t length) {
        freqScan_.SetBurstLength(length);
    };
    decoder_.SpeedWindowApplied = [this] { freqScan_.ApplySpeedWindow(); };
    Startup.applyChannelSpeedWindow = [this] { freqScan_.ApplySpeedWindow(); };
    Startup.setChannelBurstLength = [this](int samples) { freqScan_.SetBurstLength(samples); };
}

void QuelpApp::MultiChannelDecoder1Click() {
    MultiChannelOn = !MultiChannelOn;
    ports_.view.SetChecked(UiItem::MultiChannelDecoder1, MultiChannelOn);
    RunHook(ScanForm.setMainStayOnTop, false);
    if (MultiChannelOn) {
        if (!scanFormCreated_) {
            scanFormCreated_ = true;
            RunHook(ScanForm.create);
        }
        RunHook(ScanForm.show);
        CentreScanGrid();
    } else if (scanFormCreated_) {
        RunHook(ScanForm.hide);
    }
    if (ScanForm.alwaysOnTop && ScanForm.alwaysOnTop()) RunHook(ScanForm.setMainStayOnTop, true);
}

bool QuelpApp::ScanFormCloseQuery() {
    if (MultiChannelOn) MultiChannelDecoder1Click();
    return false;
}

void QuelpApp::CentreScanGrid() {
    freqScan_.Window().CentreScanGrid(tuning_.TxBin(), tuning_.ScanStartBin());
}

std::string QuelpApp::MultiChannelText() const {
    return FormatMultiChannelRows(freqScan_.Window(), freqScan_.ScanStartBin(),
                                  params_.SamplingFreq);
}

}  // namespace quelp
