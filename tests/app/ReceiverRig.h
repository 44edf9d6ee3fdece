#pragma once
// The application with fake ports, fed audio in blocks of 2048 samples, for
// the receiver and file decode tests.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/QuelpApp.h"
#include "support/FakeCaptureSink.h"
#include "support/FakeClock.h"
#include "support/FakeExchangeLibrary.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"
#include "support/ToneBlock.h"

namespace quelp::test {

// A main view whose drawing and message pass run a test's handlers, and
// which records the order of display updates ('D') and message passes ('M').
class PumpingView : public FakeMainView {
  public:
    void ProcessMessages() override {
        FakeMainView::ProcessMessages();
        order += 'M';
        if (OnMessages) OnMessages();
    }
    void UpdateDisplays() override {
        FakeMainView::UpdateDisplays();
        order += 'D';
        if (OnDraw) OnDraw();
    }
    std::function<void()> OnMessages;
    std::function<void()> OnDraw;
    std::string order;
};

struct ReceiverRig {
    PumpingView view;
    FakeClock clock;
    FakeFileDialogs dialogs;
    FakeReceiveText rx;
    FakeCaptureSink sink;
    FakeExchangeLibrary exchange;
    QuelpApp app{{view, clock, dialogs, rx, &sink, &exchange}};

    // Feeds the samples in whole blocks, the last one padded with silence.
    void Feed(const std::vector<std::int16_t>& pcm, int repaint = 1) {
        std::vector<std::int16_t> block(kBlockSize);
        for (size_t at = 0; at < pcm.size(); at += block.size()) {
            std::fill(block.begin(), block.end(), std::int16_t{0});
            const size_t n = std::min(block.size(), pcm.size() - at);
            std::copy_n(pcm.begin() + static_cast<std::ptrdiff_t>(at), n, block.begin());
            app.ProcessBlock(block.data(), repaint);
        }
    }
};

}  // namespace quelp::test
