#pragma once
// The application object with fakes, a temporary folder for every file the
// history and the capture write, and a stand-in for the file decode.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/QuelpApp.h"
#include "audio/WavBytes.h"
#include "support/FakeCaptureSink.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp::test {

// A main view whose message boxes can run code, as their message loop would.
class HookedView : public FakeMainView {
  public:
    void ShowMessage(std::string_view text, std::string_view caption) override {
        FakeMainView::ShowMessage(text, caption);
        if (duringMessage) duringMessage();
    }
    std::function<void()> duringMessage;
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
    HistoryRig() { app.SetHistoryFolder(dir.path()); }

    // A block with every sample `value`.
    static std::vector<std::int16_t> Block(std::int16_t value) {
        return std::vector<std::int16_t>(QuelpApp::kBlockSize, value);
    }
    // Stores blocks numbered first..last (each filled with its number).
    void StoreNumbered(int first, int last) {
        for (int i = first; i <= last; ++i) app.StoreHistoryBlock(Block(static_cast<int16_t>(i)));
    }

    TempDir dir;
    HookedView view;
    FakeClock clock;
    HookedDialogs dialogs;
    FakeReceiveText rx;
    FakeCaptureSink sink;
    QuelpApp app{QuelpPorts{view, clock, dialogs, rx, &sink}};
};

}  // namespace quelp::test
