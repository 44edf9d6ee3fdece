// The sound subsystem on the real PortAudio (ALSA) driver. ALSA reads its
// device definitions from ALSA_CONFIG_PATH when PortAudio starts, so each
// test sets it (or clears it) before the driver is made: capture reads a
// recording from a file and playback writes into one, through ALSA `file`
// devices behind a `plug` that converts to 11025 Hz.

#include "adapters/portaudio/PortAudioDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/EventLoopQueue.h"
#include "audio/SoundIn.h"
#include "audio/SoundOutput.h"
#include "support/AlsaFileDevices.h"
#include "support/FakeMainView.h"

namespace quelp {
namespace {

using Samples = std::vector<int16_t>;

int FindDevice(SoundDriver& driver, const std::string& wanted) {
    for (int d = 0; d < driver.DeviceCount(); ++d) {
        std::string name;
        if (driver.ProductName(d, name) && name == wanted) return d;
    }
    return -1;
}

Samples Recording(size_t n, unsigned seed) {
    Samples s(n);
    unsigned x = seed;
    for (auto& v : s) {
        x = x * 1103515245u + 12345u;
        v = static_cast<int16_t>(x >> 16);
    }
    return s;
}

// The bypass needs no output filter; the filtered selections would load one.
struct UnusedFilter {
    SineTable sine;
    std::int32_t phaseStep = 0;
    DspSound filter{sine, phaseStep};
};

// The live input with only the block processor listening.
struct LiveInput final : SoundInClient {
    explicit LiveInput(int channel) { cards.InputCardChannel = channel; }
    PortAudioDriver driver{PortAudioDriver::Direction::Input};
    SoundCardOptions cards;
    test::FakeMainView view;
    EventLoopQueue events{WM_BUFFERDONE};
    std::atomic<int> displayHoldOff{5};
    std::atomic<bool> shuttingDown{false};
    std::atomic<bool> fileDecoding{false};
    std::vector<Samples> blocks;
    SoundIn in{driver, cards, view, events, {displayHoldOff, shuttingDown, fileDecoding}, *this};

    void ProcessLiveBlock(std::span<const int16_t> b) override {
        blocks.emplace_back(b.begin(), b.end());
    }
    void ClearSpectrumPeak() override {}
    void StoreHistory(std::span<const int16_t>) override {}
    bool WaveCaptureActive() override { return false; }
    bool WriteWaveCapture(std::span<const int16_t>) override { return true; }
    void CloseWaveCapture() override {}
    void EndApplication() override {}

    // The main thread's loop until `count` blocks have been processed.
    bool RunUntil(size_t count) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (blocks.size() < count && std::chrono::steady_clock::now() < deadline) {
            events.Dispatch([this](uint32_t) { in.InputBufferDone(); });
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return blocks.size() >= count;
    }
};

TEST(PortAudioDriver, WithoutASoundCardStartUpSaysSoOnceAndGoesOn) {
    unsetenv("ALSA_CONFIG_PATH");
    test::KeepAlsaModulesLoaded();
    testing::internal::CaptureStderr();
    {
        PortAudioDriver probe(PortAudioDriver::Direction::Input);
        if (probe.DeviceCount() > 0) {
            testing::internal::GetCapturedStderr();
            GTEST_SKIP() << "this machine has a sound input device";
        }
    }
    LiveInput live(0);
    live.in.RestartSoundInput(-1);
    EXPECT_FALSE(live.in.IsOpen());
    live.events.Dispatch([&](uint32_t) { live.in.InputBufferDone(); });
    live.in.StopSoundInput();
    EXPECT_EQ(
        live.view.messages,
        (std::vector<std::pair<std::string, std::string>>{{"No sound input device", "Error"}}));

    PortAudioDriver outDriver(PortAudioDriver::Direction::Output);
    SoundOut out(outDriver, live.cards, live.view);
    UnusedFilter unused;
    SoundOutput output(out, live.view, unused.filter);
    EXPECT_EQ(output.SelectSoundOutput(9998), 0);
    EXPECT_EQ(live.view.messages.back().first, "No sound output device");
    // Neither ALSA nor the JACK client library floods stderr.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(PortAudioDriver, CapturesARecordingFromAnAlsaFileDevice) {
    // Sixteen buffers are handed over at the start and the file device runs
    // as fast as it is read, so the first sixteen blocks hold the recording
    // without a gap; later blocks may follow audio dropped meanwhile.
    constexpr size_t kBlocks = SoundIn::kBuffers;
    const Samples mono = Recording(kBlocks * 2048 + 4096, 7);
    const Samples stereo = Recording(2 * (kBlocks * 2048 + 4096), 11);
    test::KeepAlsaModulesLoaded();
    test::AlsaFileDevices files("alsa");
    files.AddCapture("quelp_capture", mono);
    files.AddCapture("quelp_capture_stereo", stereo, 2);
    files.Install();

    for (int channel : {0, 2}) {
        LiveInput live(channel);
        const int device =
            FindDevice(live.driver, channel == 0 ? "quelp_capture" : "quelp_capture_stereo");
        ASSERT_GE(device, 0) << "PortAudio does not list the ALSA file device";
        live.in.RestartSoundInput(device);
        ASSERT_TRUE(live.in.IsOpen())
            << (live.view.messages.empty() ? std::string() : live.view.messages[0].first);
        ASSERT_TRUE(live.RunUntil(kBlocks));
        live.in.StopSoundInput();
        EXPECT_TRUE(live.view.messages.empty());
        EXPECT_EQ(live.in.QueuedBuffers.load(), 0);

        for (size_t b = 0; b < kBlocks; ++b) {
            Samples expected(2048);
            for (size_t k = 0; k < 2048; ++k) {
                const size_t i = b * 2048 + k;
                expected[k] = channel == 0 ? mono[i] : stereo[2 * i + 1];
            }
            ASSERT_EQ(live.blocks[b], expected) << "channel " << channel << " block " << b;
        }
    }
}

TEST(PortAudioDriver, PlaysTheSamplesIntoAnAlsaFileDevice) {
    test::KeepAlsaModulesLoaded();
    test::AlsaFileDevices files("alsa");
    files.AddPlayback("quelp_playback");
    files.Install();
    PortAudioDriver driver(PortAudioDriver::Direction::Output);
    SoundCardOptions cards;
    test::FakeMainView view;
    SoundOut out(driver, cards, view);
    UnusedFilter unused;
    SoundOutput output(out, view, unused.filter);
    const int device = FindDevice(driver, "quelp_playback");
    ASSERT_GE(device, 0) << "PortAudio does not list the ALSA file device";
    output.RestartSoundOutput(device);
    ASSERT_EQ(output.SelectSoundOutput(9998), 9998) << view.messages.size();

    // 1024 samples of silence lead, so 7168 more fill exactly four buffers.
    Samples played(4 * 2048 - 1024);
    for (size_t i = 0; i < played.size(); ++i) played[i] = static_cast<int16_t>(1 + i % 30000);
    for (int16_t s : played) {
        // As a file decode does: the output device sets the pace.
        while (output.WaitingForOutputBuffer())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        output.FeedSoundOutput(s);
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (out.FreeBuffers.load() < SoundOut::kBuffers &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    output.SelectSoundOutput(0);
    EXPECT_TRUE(view.messages.empty());

    // The file device runs as fast as it is written to, so it plays silence
    // whenever no buffer is handed over; apart from that silence it played
    // every sample once, in order (no played sample is 0).
    const Samples file = files.Played("quelp_playback");
    Samples sound;
    std::copy_if(file.begin(), file.end(), std::back_inserter(sound),
                 [](int16_t v) { return v != 0; });
    EXPECT_EQ(sound, played);
}

}  // namespace
}  // namespace quelp
