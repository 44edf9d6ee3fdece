// Live decoding on the real PortAudio (ALSA) driver: an ALSA `file` device
// reads a synthesized CW recording behind a `plug` at 11025 Hz, and the
// application object decodes it as it would a sound card.
#include <gtest/gtest.h>

#include <chrono>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "adapters/portaudio/PortAudioDriver.h"
#include "app/EventLoopQueue.h"
#include "app/QuelpApp.h"
#include "support/AlsaFileDevices.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp {
namespace {

TEST(PortAudioLive, DecodesCwFromACaptureDevice) {
    // The message fits in the blocks queued at the start.
    std::vector<std::int16_t> pcm = test::MessageForUnpacedCapture();
    ASSERT_LT(pcm.size(), 16u * 2048);
    pcm.resize(64 * 2048, 0);

    test::KeepAlsaModulesLoaded();
    test::AlsaFileDevices alsa("live");
    alsa.AddCapture("quelp_live", pcm);
    alsa.Install();
    PortAudioDriver driver(PortAudioDriver::Direction::Input);
    int device = -1;
    for (int d = 0; d < driver.DeviceCount(); ++d) {
        std::string name;
        if (driver.ProductName(d, name) && name == "quelp_live") device = d;
    }
    ASSERT_GE(device, 0);
    ASSERT_LE(device, 9);

    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    EventLoopQueue events{WM_BUFFERDONE};
    QuelpPorts ports{view, clock, dialogs, rx};
    ports.soundInDriver = &driver;
    ports.events = &events;
    QuelpApp app(ports);
    // The device fills every buffer the moment it is handed back, so the
    // main thread would never catch up: closing begins after the sixteenth
    // block, and the buffers already filled drain without being re-queued.
    std::vector<std::int16_t> heard;
    app.SoundHistory.storeHistory = [&](std::span<const std::int16_t> block) {
        heard.insert(heard.end(), block.begin(), block.end());
        if (heard.size() >= 16u * 2048) app.ShuttingDown = true;
    };

    app.Params().SoundCardNumber = device;
    app.Startup.restartSoundInput();
    ASSERT_TRUE(app.SoundInput()->IsOpen())
        << (view.messages.empty() ? "" : view.messages[0].first);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!app.ShuttingDown && std::chrono::steady_clock::now() < deadline) {
        if (events.Dispatch([&app](std::uint32_t m) { app.HandleMessage(m); }) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    app.Startup.stopSoundInput();

    ASSERT_GE(heard.size(), 16u * 2048);
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.begin() + 16 * 2048, heard.begin()));
    const auto first = rx.text.find_first_not_of(' ');
    const auto last = rx.text.find_last_not_of(' ');
    ASSERT_NE(first, std::string::npos) << "nothing decoded";
    EXPECT_EQ(rx.text.substr(first, last - first + 1), "test") << rx.text;
    EXPECT_TRUE(view.messages.empty());
}

}  // namespace
}  // namespace quelp
