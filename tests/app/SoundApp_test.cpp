// The application object with its sound card: live blocks through the event
// loop into the block processor and the history, the start-up and shut-down
// steps, and the output fed from the block processor. Fake drivers complete
// buffers on the test's thread.
#include <gtest/gtest.h>

#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "app/EventLoopQueue.h"
#include "app/QuelpApp.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"
#include "support/FakeSoundDriver.h"

namespace quelp {
namespace {

using Samples = std::vector<std::int16_t>;

Samples Tone(double hz, double amplitude, size_t n, size_t from = 0) {
    Samples s(n);
    for (size_t i = 0; i < n; ++i) {
        s[i] = static_cast<std::int16_t>(std::lround(
            amplitude * std::sin(2.0 * M_PI * hz * static_cast<double>(from + i) / 11025.0)));
    }
    return s;
}

struct SoundRig {
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    test::FakeSoundDriver in;
    test::FakeSoundDriver out;
    EventLoopQueue events{WM_BUFFERDONE};
    QuelpApp app{Ports()};

    // What the history and the wave capture file received.
    int stored = 0;
    int written = 0;
    bool writeFails = false;
    int captureClosed = 0;

    SoundRig() {
        auto& h = app.SoundHistory;
        h.storeHistory = [this](std::span<const std::int16_t>) { ++stored; };
        h.waveCaptureOpen = [this] { return captureClosed == 0; };
        h.writeWaveCapture = [this](std::span<const std::int16_t>) {
            ++written;
            return !writeFails;
        };
        h.closeWaveCapture = [this] { ++captureClosed; };
    }

    QuelpPorts Ports() {
        QuelpPorts p{view, clock, dialogs, rx};
        p.soundInDriver = &in;
        p.soundOutDriver = &out;
        p.events = &events;
        return p;
    }
    // The main thread's loop, once.
    int Serve() {
        return events.Dispatch([this](std::uint32_t m) { app.HandleMessage(m); });
    }
    // One block captured by the driver and served by the main thread.
    void Capture(const Samples& block = Samples(2048, 100)) {
        ASSERT_TRUE(in.CompleteNext(block));
        Serve();
    }
    // Every sample of `pcm`, in blocks, through the block processor as a file
    // would send them; the output device plays each buffer as it comes.
    void Feed(const Samples& pcm) {
        for (size_t at = 0; at + 2048 <= pcm.size(); at += 2048) {
            app.ProcessBlock(pcm.data() + at, 1);
            while (out.CompleteNext()) {
            }
        }
    }
};

TEST(SoundApp, LiveBlocksReachTheBlockProcessorButNotDuringAFileDecode) {
    SoundRig rig;
    rig.app.RestartSoundInput(-1);
    ASSERT_TRUE(rig.in.isOpen);
    ASSERT_NE(rig.app.PendingBuffers, nullptr);
    EXPECT_EQ(rig.app.PendingBuffers, &rig.app.SoundInput()->PendingBuffers);

    rig.Capture();
    rig.Capture();
    EXPECT_EQ(rig.view.displayUpdates, 2);  // ProcessBlock draws once per block
    EXPECT_EQ(rig.stored, 2);
    EXPECT_EQ(rig.written, 2);

    rig.app.FileDecoding = true;
    rig.Capture();
    EXPECT_EQ(rig.view.displayUpdates, 2);
    EXPECT_EQ(rig.stored, 3);
    EXPECT_EQ(rig.written, 3);
    rig.app.FileDecoding = false;

    // A failed capture write closes the capture file through the history's
    // command; recording into the history goes on.
    rig.writeFails = true;
    rig.Capture();
    rig.Capture();
    EXPECT_EQ(rig.captureClosed, 1);
    EXPECT_EQ(rig.written, 4);
    EXPECT_EQ(rig.stored, 5);
    EXPECT_EQ(rig.view.displayUpdates, 4);
    EXPECT_EQ(rig.view.Status(9), "FrB: 15");
}

TEST(SoundApp, StartUpAndShutDownStepsOpenAndCloseTheDevicesInOrder) {
    SoundRig rig;
    // Device numbers above 9 open the default device.
    rig.app.Params().SoundCardNumber = 12;
    rig.app.Params().OutSoundCardNumber = 12;
    StartupHooks& s = rig.app.Startup;
    s.setSoundFilterCode(9998);
    s.restartSoundInput();
    s.restartSoundOutput();
    EXPECT_EQ(rig.in.openedDevice, -1);
    EXPECT_EQ(rig.out.openedDevice, -1);
    EXPECT_TRUE(rig.in.started);
    EXPECT_TRUE(rig.out.isOpen);
    EXPECT_EQ(rig.view.captions[UiItem::SoundOutputFilter1], "Sound Output  (Bypass)");
    EXPECT_EQ(s.soundFilterCode(), 9998);

    // A block filled but not yet served when closing begins is discarded.
    ASSERT_TRUE(rig.in.CompleteNext(Samples(2048, 5)));
    rig.app.ShuttingDown = true;
    s.closeSoundOutput();
    EXPECT_FALSE(rig.out.isOpen);
    EXPECT_TRUE(rig.in.isOpen);
    s.stopSoundInput();
    EXPECT_FALSE(rig.in.isOpen);
    EXPECT_EQ(rig.in.Held(), 0);
    EXPECT_EQ(rig.in.calls.back(), "close");
    // Its message, posted before closing began, finds nothing to do.
    EXPECT_EQ(rig.Serve(), 1);
    EXPECT_EQ(rig.stored, 0);
    EXPECT_EQ(rig.view.displayUpdates, 0);
    // The selection survives the shut-down (it is what the settings keep).
    EXPECT_EQ(s.soundFilterCode(), 9998);
}

TEST(SoundApp, OutputPlaysTheInputRawOrThroughTheFilterAroundTheSignal) {
    // The receive bin stays at its default, 186 (about 1001 Hz).
    const double onSignal = 186 * 11025.0 / 2048;
    struct Case {
        double hz;
        double rms = 0;
    } cases[] = {{onSignal}, {onSignal + 600}};
    for (Case& c : cases) {
        SoundRig rig;
        rig.app.RestartSoundOutput(-1);
        rig.app.N600Hz1Click();
        ASSERT_EQ(rig.app.SoundOutputSelection()->SoundFilter, 600);
        rig.Feed(Tone(c.hz, 4000, 6 * 2048));
        ASSERT_GE(rig.out.played.size(), 5u * 2048);
        for (size_t i = 0; i < 1024; ++i) ASSERT_EQ(rig.out.played[i], 0) << i;
        double sum = 0;
        // After the filter has settled.
        for (size_t i = 3 * 2048; i < 5 * 2048; ++i)
            sum += double(rig.out.played[i]) * rig.out.played[i];
        c.rms = std::sqrt(sum / (2 * 2048));
    }
    EXPECT_GT(cases[0].rms, 1000.0);
    EXPECT_GT(cases[0].rms, 20 * cases[1].rms) << cases[1].rms;

    SoundRig rig;
    rig.app.RestartSoundOutput(-1);
    rig.app.SoundWithoutFiltering1Click();
    const Samples tone = Tone(700, 9000, 2 * 2048);
    rig.Feed(tone);
    ASSERT_GE(rig.out.played.size(), 2048u);
    EXPECT_TRUE(std::equal(tone.begin(), tone.begin() + 1024, rig.out.played.begin() + 1024));
    rig.app.ToggleSoundBypass();  // back to the 0 it came from
    EXPECT_EQ(rig.app.SoundOutputSelection()->SoundFilter, 0);
    EXPECT_FALSE(rig.out.isOpen);
}

TEST(SoundApp, FileDecodeWaitsForTheOutputAndServesAndRepostsLiveBuffers) {
    SoundRig rig;
    rig.app.RestartSoundInput(-1);
    rig.app.RestartSoundOutput(-1);
    EXPECT_FALSE(rig.app.SoundOutputBehind());  // sound off: never waits

    for (int i = 0; i < 3; ++i) ASSERT_TRUE(rig.in.CompleteNext(Samples(2048, 1)));
    ASSERT_EQ(rig.events.Pending(WM_BUFFERDONE), 3);
    rig.app.RepostPendingInputBuffers();
    EXPECT_EQ(rig.events.Pending(WM_BUFFERDONE), 6);
    rig.app.FileDecoding = true;
    rig.app.ServePendingInputBuffers();
    EXPECT_EQ(rig.app.PendingBuffers->load(), 0);
    EXPECT_EQ(rig.stored, 3);
    EXPECT_EQ(rig.Serve(), 6);  // the posts find nothing left to do
    EXPECT_EQ(rig.stored, 3);

    // Bypass: 1024 samples of silence and four blocks fill all four buffers.
    rig.app.SoundWithoutFiltering1Click();
    const Samples block(2048, 7);
    for (int i = 0; i < 4; ++i) rig.app.ProcessBlock(block.data(), 1);
    EXPECT_TRUE(rig.app.SoundOutputBehind());
    ASSERT_TRUE(rig.out.CompleteNext());
    EXPECT_FALSE(rig.app.SoundOutputBehind());
}

TEST(SoundApp, WithoutSoundDriversTheSoundStepsDoNothing) {
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    QuelpApp app({view, clock, dialogs, rx});
    EXPECT_EQ(app.SoundInput(), nullptr);
    EXPECT_EQ(app.PendingBuffers, nullptr);
    // The sound-output code then stays with the settings as read (a save on
    // a machine without sound keeps the operator's choice).
    EXPECT_FALSE(app.Startup.setSoundFilterCode);
    EXPECT_FALSE(app.Startup.soundFilterCode);
    app.Startup.restartSoundInput();
    app.Startup.restartSoundOutput();
    EXPECT_FALSE(app.SoundOutputMenuClick(UiItem::N600Hz1));
    app.ToggleSoundBypass();
    EXPECT_FALSE(app.SoundOutputBehind());
    app.ServePendingInputBuffers();
    app.RepostPendingInputBuffers();
    const Samples block(2048, 3);
    app.ProcessBlock(block.data(), 0);
    app.Startup.closeSoundOutput();
    app.Startup.stopSoundInput();
    EXPECT_TRUE(view.messages.empty());
}

}  // namespace
}  // namespace quelp
