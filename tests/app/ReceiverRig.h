#pragma once
// The application with fake ports, fed audio in blocks of 2048 samples, for
// the block processor and receiver tests.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "app/QuelpApp.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp::test {

// A main view whose message pass runs a test's handler, and which records
// the order of display updates and message passes.
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
    }
    std::function<void()> OnMessages;
    std::string order;
};

struct ReceiverRig {
    PumpingView view;
    FakeClock clock;
    FakeFileDialogs dialogs;
    FakeReceiveText rx;
    QuelpApp app{{view, clock, dialogs, rx}};

    // Feeds the samples in whole blocks, the last one padded with silence.
    void Feed(const std::vector<std::int16_t>& pcm, int repaint = 1) {
        std::vector<std::int16_t> block(QuelpApp::kBlockSize);
        for (size_t at = 0; at < pcm.size(); at += block.size()) {
            std::fill(block.begin(), block.end(), std::int16_t{0});
            const size_t n = std::min(block.size(), pcm.size() - at);
            std::copy_n(pcm.begin() + static_cast<std::ptrdiff_t>(at), n, block.begin());
            app.ProcessBlock(block.data(), repaint);
        }
    }
};

// One block of a sine centred on `bin` (a whole number of cycles, so blocks
// in a row join without a phase jump), plus optional uniform noise.
inline std::vector<std::int16_t> ToneBlock(int bin, double amplitude, double noise = 0.0,
                                           std::uint32_t seed = 1) {
    std::vector<std::int16_t> block(QuelpApp::kBlockSize);
    for (int n = 0; n < QuelpApp::kBlockSize; ++n) {
        seed = seed * 1664525u + 1013904223u;
        const double u = static_cast<double>(seed >> 8) / (1u << 24) - 0.5;
        const double v =
            amplitude * std::sin(2.0 * std::numbers::pi * bin * n / QuelpApp::kBlockSize) +
            2.0 * noise * u;
        block[static_cast<size_t>(n)] =
            static_cast<std::int16_t>(std::clamp(std::lround(v), -32767L, 32767L));
    }
    return block;
}

}  // namespace quelp::test
