// The application object with its sound card: live blocks through the event
// loop into the block processor, the history and the wave capture file, the
// start-up and shut-down steps, and the output fed from the block processor.
// Fake drivers complete buffers on the test's thread.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/HistoryTestRig.h"
#include "app/ReceiverRig.h"

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
    test::PumpingView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    test::FakeSoundDriver in;
    test::FakeSoundDriver out;
    EventLoopQueue events{WM_BUFFERDONE};
    QuelpApp app{Ports()};
    test::TempDir dir;

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
    // A WAV file of `blocks` blocks of silence.
    std::string SilentFile(int blocks) {
        const std::string path = dir.File("silence.wav");
        test::WriteFile(path, test::PcmWav(1, 11025, 16, test::Pcm16(Samples(blocks * 2048u, 0))));
        return path;
    }
};

// The value of each whole block of a 16-bit mono WAV file, from its first
// sample.
std::vector<int> BlockValues(const std::string& path) {
    const auto bytes = test::ReadBytes(path);
    std::vector<int> values;
    for (std::size_t b = 0; 44 + (b + 1) * 4096 <= bytes.size(); ++b) {
        values.push_back(test::SampleAt(bytes, b * 2048));
    }
    return values;
}

TEST(SoundApp, LiveBlocksReachTheBlockProcessorButNotDuringAFileDecode) {
    SoundRig rig;
    rig.app.DeferredInit(StartupOptions::ForDecoder(""));  // history, input open
    ASSERT_TRUE(rig.in.isOpen);
    const std::string capture = rig.dir.File("cap.wav");
    ASSERT_TRUE(rig.app.OpenWaveCaptureFileByName(capture));

    rig.Capture(Samples(2048, 1));
    rig.Capture(Samples(2048, 2));
    EXPECT_EQ(rig.view.displayUpdates, 2);  // ProcessBlock draws once per block

    // A block that comes while a one-block file decodes.
    bool captured = false;
    rig.view.OnMessages = [&] {
        if (captured || !rig.app.FileDecoding()) return;
        captured = true;
        rig.Capture(Samples(2048, 3));
    };
    EXPECT_EQ(rig.app.DecodeWaveFile(rig.SilentFile(1)), FileDecodeResult::Decoded);
    ASSERT_TRUE(captured);
    EXPECT_EQ(rig.view.displayUpdates, 2 + 1);  // the file's block only
    rig.view.OnMessages = nullptr;

    rig.Capture(Samples(2048, 4));
    EXPECT_EQ(rig.view.displayUpdates, 4);
    EXPECT_EQ(rig.view.Status(9), "FrB: 15");
    // Every block reached the history and the capture file.
    EXPECT_EQ(rig.app.CloseWaveCaptureFile1Click(), WaveCloseResult::Closed);
    EXPECT_EQ(BlockValues(capture), (std::vector<int>{1, 2, 3, 4}));
    const std::vector<int> history = BlockValues(rig.app.SaveHistoryUnder(rig.dir.path(), 1));
    ASSERT_GE(history.size(), 4u);
    EXPECT_EQ(std::vector<int>(history.end() - 4, history.end()), (std::vector<int>{1, 2, 3, 4}));
}

TEST(SoundApp, StartUpAndShutDownOpenAndCloseTheDevices) {
    SoundRig rig;
    StartupOptions options = StartupOptions::ForDecoder("");
    options.BeforeDevices = [&] {
        // The command line's choices, made once the settings are in force.
        rig.app.SetInputDevice(-1);
        rig.app.SetOutputDevice(-1);
        rig.app.SetSoundOutputCode(9998);
        return true;
    };
    rig.app.DeferredInit(options);
    EXPECT_EQ(rig.in.openedDevice, -1);
    EXPECT_EQ(rig.out.openedDevice, -1);
    EXPECT_TRUE(rig.in.started);
    EXPECT_TRUE(rig.out.isOpen);
    EXPECT_EQ(rig.view.captions[UiItem::SoundOutputFilter1], "Sound Output  (Bypass)");
    EXPECT_EQ(rig.app.SoundOutputCode(), 9998);

    // A block filled but not yet served when closing begins is discarded.
    ASSERT_TRUE(rig.in.CompleteNext(Samples(2048, 5)));
    EXPECT_EQ(rig.app.Shutdown(), CaptureCloseResult::NothingOpen);
    EXPECT_FALSE(rig.out.isOpen);
    EXPECT_FALSE(rig.in.isOpen);
    EXPECT_EQ(rig.in.Held(), 0);
    EXPECT_EQ(rig.in.calls.back(), "close");
    // Its message, posted before closing began, finds nothing to do.
    EXPECT_EQ(rig.Serve(), 1);
    EXPECT_EQ(rig.view.displayUpdates, 0);
    const std::vector<int> history = BlockValues(rig.app.SaveHistoryUnder(rig.dir.path(), 1));
    ASSERT_FALSE(history.empty());
    EXPECT_EQ(history.back(), 0);
    // The selection survives the shut-down (it is what the settings keep).
    EXPECT_EQ(rig.app.SoundOutputCode(), 9998);
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
        ASSERT_TRUE(rig.app.SoundOutputMenuClick(UiItem::N600Hz1));
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
    ASSERT_TRUE(rig.app.SoundOutputMenuClick(UiItem::SoundWithoutFiltering1));
    const Samples tone = Tone(700, 9000, 2 * 2048);
    rig.Feed(tone);
    ASSERT_GE(rig.out.played.size(), 2048u);
    EXPECT_TRUE(std::equal(tone.begin(), tone.begin() + 1024, rig.out.played.begin() + 1024));
    rig.app.ToggleSoundBypass();  // back to the 0 it came from
    EXPECT_EQ(rig.app.SoundOutputSelection()->SoundFilter, 0);
    EXPECT_FALSE(rig.out.isOpen);
}

TEST(SoundApp, FileDecodeServesLiveBuffersAndPostsTheLastOnesAgain) {
    SoundRig rig;
    rig.app.RestartSoundInput(-1);
    rig.app.RestartSoundOutput(-1);  // sound off: the decode never waits for it
    const std::string capture = rig.dir.File("cap.wav");
    ASSERT_TRUE(rig.app.OpenWaveCaptureFileByName(capture));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(rig.in.CompleteNext(Samples(2048, 1)));
    ASSERT_EQ(rig.events.Pending(WM_BUFFERDONE), 3);

    // Unpaced, a one-block file has its block's message pass and one pass
    // that first serves the live buffers; three more arrive during it.
    rig.app.SetFileDecodePacing(false);
    int passes = 0;
    rig.view.OnMessages = [&] {
        if (++passes != 2) return;
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(rig.in.CompleteNext(Samples(2048, 2)));
    };
    EXPECT_EQ(rig.app.DecodeWaveFile(rig.SilentFile(1)), FileDecodeResult::Decoded);
    EXPECT_EQ(passes, 2);
    EXPECT_EQ(rig.clock.sleeps, 0);
    EXPECT_EQ(rig.view.displayUpdates, 1);  // live blocks bypassed the receiver
    // The driver's six posts, and the three left waiting posted again.
    EXPECT_EQ(rig.events.Pending(WM_BUFFERDONE), 9);
    EXPECT_EQ(rig.Serve(), 9);
    EXPECT_EQ(rig.view.displayUpdates, 1 + 3);  // live processing resumed
    EXPECT_EQ(rig.app.CloseWaveCaptureFile1Click(), WaveCloseResult::Closed);
    EXPECT_EQ(BlockValues(capture), (std::vector<int>{1, 1, 1, 2, 2, 2}));
}

TEST(SoundApp, DrawsAndPumpsMessagesUnlessLiveCaptureIsThreeBlocksBehind) {
    struct Case {
        int waiting;
        int repaint;
        bool draws;
    };
    const Case cases[] = {{0, 0, true},  {2, 0, true}, {3, 0, false},
                          {9, 0, false}, {3, 1, true}, {9, 1, true}};
    const Samples zeros(2048, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.waiting << " waiting, repaint " << c.repaint);
        SoundRig rig;
        rig.app.RestartSoundInput(-1);
        for (int i = 0; i < c.waiting; ++i) ASSERT_TRUE(rig.in.CompleteNext(zeros));
        rig.app.ProcessBlock(zeros.data(), c.repaint);
        EXPECT_EQ(rig.view.order, c.draws ? "DM" : "");
        // Samples are processed either way.
        EXPECT_EQ(rig.app.Rx().Spectrum().OscIndex, 9);
    }
}

TEST(SoundApp, WithoutSoundDriversTheSoundStepsDoNothing) {
    test::ReceiverRig rig;
    QuelpApp& app = rig.app;
    EXPECT_EQ(app.SoundInput(), nullptr);
    EXPECT_EQ(app.SoundOutputSelection(), nullptr);
    // The sound-output code then stays with the settings as read (a save on
    // a machine without sound keeps the operator's choice).
    app.SetSoundOutputCode(120);
    EXPECT_EQ(app.SoundOutputCode(), 120);
    app.RestartSoundInput(-1);
    app.RestartSoundOutput(-1);
    EXPECT_FALSE(app.SoundOutputMenuClick(UiItem::N600Hz1));
    app.ToggleSoundBypass();
    app.InputBufferDone();
    // Nothing waits: no sound input behind the block processor, no output
    // behind a decode.
    const Samples block(2048, 3);
    app.ProcessBlock(block.data(), 0);
    EXPECT_EQ(rig.view.order, "DM");
    test::TempDir dir;
    const std::string file = dir.File("one.wav");
    test::WriteFile(file, test::PcmWav(1, 11025, 16, test::Pcm16(block)));
    app.SetFileDecodePacing(false);
    EXPECT_EQ(app.DecodeWaveFile(file), FileDecodeResult::Decoded);
    EXPECT_EQ(rig.clock.sleeps, 0);
    EXPECT_EQ(app.Shutdown(), CaptureCloseResult::NothingOpen);
    EXPECT_TRUE(rig.view.messages.empty());
    EXPECT_EQ(app.SoundOutputCode(), 120);
}

}  // namespace
}  // namespace quelp
