// Live decoding on the real PortAudio (ALSA) driver: an ALSA `file` device
// reads a synthesized CW recording behind a `plug` at 11025 Hz, and the
// application object decodes it as it would a sound card.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "adapters/portaudio/PortAudioDriver.h"
#include "app/EventLoopQueue.h"
#include "app/HistoryTestRig.h"
#include "app/QuelpApp.h"
#include "support/AlsaFileDevices.h"

namespace quelp {
namespace {

// A driver that passes everything on and counts the buffers handed back
// for refilling: the main thread hands a buffer back once it has
// processed its block.
class RefillCounter final : public SoundDriver {
  public:
    explicit RefillCounter(SoundDriver& driver) : driver_(driver) {}
    int DeviceCount() override { return driver_.DeviceCount(); }
    bool ProductName(int device, std::string& name) override {
        return driver_.ProductName(device, name);
    }
    SoundResult Open(int device, const SoundFormat& format, SoundDriverClient& client) override {
        return driver_.Open(device, format, client);
    }
    SoundResult Prepare(SoundBuffer& buffer) override { return driver_.Prepare(buffer); }
    SoundResult Unprepare(SoundBuffer& buffer) override { return driver_.Unprepare(buffer); }
    SoundResult Add(SoundBuffer& buffer) override {
        if (++adds > SoundIn::kBuffers && onRefill) onRefill(adds - SoundIn::kBuffers);
        return driver_.Add(buffer);
    }
    SoundResult Start() override { return driver_.Start(); }
    SoundResult Stop() override { return driver_.Stop(); }
    SoundResult Reset() override { return driver_.Reset(); }
    SoundResult Close() override { return driver_.Close(); }

    int adds = 0;
    std::function<void(int blocks)> onRefill;

  private:
    SoundDriver& driver_;
};

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
    RefillCounter input(driver);
    QuelpPorts ports{view, clock, dialogs, rx};
    ports.soundInDriver = &input;
    ports.events = &events;
    QuelpApp app(ports);
    // The device fills every buffer the moment it is handed back, so the
    // main thread would never catch up: closing begins after the sixteenth
    // block, and the buffers already filled drain without being re-queued.
    input.onRefill = [&app](int blocks) {
        if (blocks == 16) app.BeginClosing();
    };
    // What was heard goes to the wave capture file.
    test::TempDir dir;
    const std::string heard = dir.File("heard.wav");
    ASSERT_TRUE(app.OpenWaveCaptureFileByName(heard));

    app.SetInputDevice(device);
    app.RestartSoundInput(app.Params().Cards.SoundCardNumber);
    ASSERT_TRUE(app.SoundInput()->IsOpen())
        << (view.messages.empty() ? "" : view.messages[0].first);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!app.ShuttingDown() && std::chrono::steady_clock::now() < deadline) {
        if (events.Dispatch([&app](std::uint32_t m) { app.HandleMessage(m); }) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    app.StopSoundInput();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(app.CloseWaveCaptureFile1Click(), WaveCloseResult::Closed);

    const auto bytes = test::ReadBytes(heard);
    ASSERT_GE(bytes.size(), 44u + 16u * 2048u * 2u);
    for (std::size_t i = 0; i < 16u * 2048u; ++i) {
        ASSERT_EQ(test::SampleAt(bytes, i), pcm[i]) << i;
    }
    const auto first = rx.text.find_first_not_of(' ');
    const auto last = rx.text.find_last_not_of(' ');
    ASSERT_NE(first, std::string::npos) << "nothing decoded";
    EXPECT_EQ(rx.text.substr(first, last - first + 1), "test") << rx.text;
}

}  // namespace
}  // namespace quelp
