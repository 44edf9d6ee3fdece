#pragma once
// The application object with fakes, a live input whose blocks the test
// hands in one by one, and a temporary folder for every file the history
// and the capture write.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/EventLoopQueue.h"
#include "app/QuelpApp.h"
#include "audio/WavBytes.h"
#include "support/FakeCaptureSink.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"
#include "support/FakeSoundDriver.h"

namespace quelp::test {

// A main view whose message boxes can run code, as their message loop would,
// and whose drawing can too.
class HookedView : public FakeMainView {
  public:
    void ShowMessage(std::string_view text, std::string_view caption) override {
        FakeMainView::ShowMessage(text, caption);
        if (duringMessage) duringMessage();
    }
    void UpdateDisplays() override {
        FakeMainView::UpdateDisplays();
        if (duringDraw) duringDraw();
    }
    std::function<void()> duringMessage;
    std::function<void()> duringDraw;
};

// File dialogs whose save dialog can run code while it is up.
class HookedDialogs : public FakeFileDialogs {
  public:
    std::optional<std::string> AskSave(const FileDialogRequest& request) override {
        if (whileAsking) whileAsking();
        return FakeFileDialogs::AskSave(request);
    }
    std::function<void()> whileAsking;
};

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& p) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(p, ec);
    std::vector<std::uint8_t> bytes(ec ? 0 : size);
    std::ifstream in(p, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

inline std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

inline std::int16_t SampleAt(const std::vector<std::uint8_t>& b, std::size_t index) {
    const std::size_t at = 44 + 2 * index;
    return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8));
}

struct HistoryRig {
    HistoryRig() {
        app.SetHistoryFolder(dir.path());
        app.RestartSoundInput(-1);
    }

    // A block with every sample `value`.
    static std::vector<std::int16_t> Block(std::int16_t value) {
        return std::vector<std::int16_t>(kBlockSize, value);
    }
    // One live block filled with `value`: captured by the driver, then
    // served by the main thread's loop.
    void Feed(std::int16_t value) {
        ASSERT_TRUE(in.CompleteNext(Block(value)));
        events.Dispatch([this](std::uint32_t m) { app.HandleMessage(m); });
    }
    // Live blocks numbered first..last (each filled with its number).
    void StoreNumbered(int first, int last) {
        for (int i = first; i <= last; ++i) Feed(static_cast<std::int16_t>(i));
    }
    // The start-up without a settings file: the history (a minute) is
    // allocated and the input opened again.
    void StartHistory() { app.DeferredInit(StartupOptions::ForDecoder("")); }

    QuelpPorts Ports() {
        QuelpPorts p{view, clock, dialogs, rx, &sink};
        p.soundInDriver = &in;
        p.events = &events;
        return p;
    }

    TempDir dir;
    HookedView view;
    FakeClock clock;
    HookedDialogs dialogs;
    FakeReceiveText rx;
    FakeCaptureSink sink;
    FakeSoundDriver in;
    EventLoopQueue events{WM_BUFFERDONE};
    QuelpApp app{Ports()};
};

}  // namespace quelp::test
