#include "audio/SoundIn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/EventLoopQueue.h"
#include "support/FakeMainView.h"
#include "support/FakeSoundDriver.h"

namespace quelp {
namespace {

using Block = std::vector<int16_t>;

// The sound input with a fake driver, recording what reaches the rest of
// the program.
struct InputRig final : SoundInClient {
    test::FakeSoundDriver driver;
    SoundCardOptions cards;
    test::FakeMainView view;
    EventLoopQueue events{WM_BUFFERDONE};
    std::atomic<int> displayHoldOff{0};
    std::atomic<bool> shuttingDown{false};
    std::atomic<bool> fileDecoding{false};

    std::vector<Block> processed, history, captured;
    bool captureOpen = false;
    bool captureFails = false;
    int captureCloses = 0;
    int peakClears = 0;
    int ends = 0;
    std::function<void()> duringProcess;  // runs inside the block processor

    void ClearSpectrumPeak() override { ++peakClears; }
    void ProcessLiveBlock(std::span<const int16_t> b) override {
        processed.emplace_back(b.begin(), b.end());
        if (duringProcess) duringProcess();
    }
    void StoreHistory(std::span<const int16_t> b) override {
        history.emplace_back(b.begin(), b.end());
    }
    bool WaveCaptureActive() override { return captureOpen; }
    bool WriteWaveCapture(std::span<const int16_t> b) override {
        captured.emplace_back(b.begin(), b.end());
        return !captureFails;
    }
    void CloseWaveCapture() override {
        ++captureCloses;
        captureOpen = false;
    }
    void EndApplication() override { ++ends; }

    SoundIn in{driver, cards, view, events, {displayHoldOff, shuttingDown, fileDecoding}, *this};

    // The main thread's loop: WM_BUFFERDONE to InputBufferDone.
    void Pump() {
        events.Dispatch([this](uint32_t) { in.InputBufferDone(); });
    }
    // The driver fills the next buffer with `value` in every sample.
    void Fill(int16_t value) {
        Block frames{value};
        ASSERT_TRUE(driver.CompleteNext(frames));
    }
    std::vector<std::string> FrbTexts() const {
        std::vector<std::string> out;
        for (const std::string& c : view.calls) {
            if (c.rfind("status 9 ", 0) == 0) out.push_back(c.substr(9));
        }
        return out;
    }
};

TEST(SoundIn, KeepsSixteenBuffersCirculatingAndShowsFreeBuffersOnlyOnChange) {
    InputRig rig;
    rig.displayHoldOff = 2;
    rig.in.RestartSoundInput(rig.cards.SoundCardNumber);
    ASSERT_TRUE(rig.in.IsOpen());
    EXPECT_EQ(rig.driver.format.channels, 1);
    EXPECT_EQ(rig.driver.format.samplesPerSec, 11025);
    EXPECT_EQ(rig.driver.Held(), 16);
    EXPECT_EQ(rig.in.QueuedBuffers.load(), 16);
    EXPECT_TRUE(rig.driver.started);
    EXPECT_EQ(rig.peakClears, 1);

    // Processing keeps up: one buffer out of sixteen is being processed.
    for (int i = 0; i < 5; ++i) {
        rig.Fill(static_cast<int16_t>(i));
        rig.Pump();
    }
    EXPECT_EQ(rig.FrbTexts(), std::vector<std::string>{"FrB: 15"});
    EXPECT_EQ(rig.displayHoldOff.load(), 0);  // counted down, never below 0

    // The main thread falls behind by three buffers (thirteen left with the
    // driver), then catches up.
    for (int i = 5; i < 8; ++i) rig.Fill(static_cast<int16_t>(i));
    EXPECT_EQ(rig.in.PendingBuffers.load(), 3);
    rig.Pump();
    rig.Fill(8);
    rig.Pump();
    EXPECT_EQ(rig.FrbTexts(),
              (std::vector<std::string>{"FrB: 15", "FrB: 13", "FrB: 14", "FrB: 15"}));
    EXPECT_EQ(rig.driver.Held(), 16);

    // Every block in capture order, to the block processor and the history.
    ASSERT_EQ(rig.processed.size(), 9u);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(rig.processed[i], Block(2048, static_cast<int16_t>(i)));
    }
    EXPECT_EQ(rig.history, rig.processed);
    EXPECT_TRUE(rig.captured.empty());  // no capture file open
}

TEST(SoundIn, KeepsTheChosenChannelOfAStereoDevice) {
    // Frame k carries left = k and right = -k - 1.
    Block frames(4096);
    for (int k = 0; k < 2048; ++k) {
        frames[2 * k] = static_cast<int16_t>(k);
        frames[2 * k + 1] = static_cast<int16_t>(-k - 1);
    }
    for (int channel : {1, 2}) {
        InputRig rig;
        rig.cards.InputCardChannel = channel;
        rig.in.OpenSoundInput();
        EXPECT_EQ(rig.driver.format.channels, 2);
        ASSERT_TRUE(rig.driver.CompleteNext(frames));
        rig.Pump();
        ASSERT_EQ(rig.processed.size(), 1u);
        Block expected(2048);
        for (int k = 0; k < 2048; ++k)
            expected[k] = static_cast<int16_t>(channel == 1 ? k : -k - 1);
        EXPECT_EQ(rig.processed[0], expected) << "channel " << channel;
        EXPECT_EQ(rig.history[0], expected);
    }
}

TEST(SoundIn, LiveBlocksDuringAFileDecodeReachOnlyHistoryAndCapture) {
    InputRig rig;
    rig.captureOpen = true;
    rig.in.OpenSoundInput();
    rig.fileDecoding = true;
    rig.Fill(7);
    rig.Pump();
    EXPECT_TRUE(rig.processed.empty());
    EXPECT_EQ(rig.history.size(), 1u);
    EXPECT_EQ(rig.captured.size(), 1u);
    EXPECT_EQ(rig.driver.Held(), 16);  // recycled all the same
}

TEST(SoundIn, AFailedCaptureWriteClosesTheCaptureFileAndRecordingGoesOn) {
    InputRig rig;
    rig.captureOpen = true;
    rig.captureFails = true;
    rig.in.OpenSoundInput();
    rig.Fill(1);
    rig.Fill(2);
    rig.Pump();
    EXPECT_EQ(rig.view.messages, (std::vector<std::pair<std::string, std::string>>{
                                     {"Wave capture file write error!", "File Error"}}));
    EXPECT_EQ(rig.captureCloses, 1);
    EXPECT_EQ(rig.captured.size(), 1u);
    EXPECT_EQ(rig.processed.size(), 2u);
    EXPECT_EQ(rig.driver.Held(), 16);
}

TEST(SoundIn, StoppingWhileBehindDiscardsThePendingBuffers) {
    for (int resetOnThreadMs : {-1, 30}) {
        InputRig rig;
        rig.driver.resetOnThreadMs = resetOnThreadMs;
        rig.in.OpenSoundInput();
        for (int i = 0; i < 5; ++i) rig.Fill(1);
        rig.in.StopSoundInput();
        rig.Pump();
        EXPECT_TRUE(rig.processed.empty());
        EXPECT_TRUE(rig.history.empty());
        EXPECT_FALSE(rig.in.IsOpen());
        EXPECT_EQ(rig.in.PendingBuffers.load(), 0);
        EXPECT_EQ(rig.in.QueuedBuffers.load(), 0);
        EXPECT_EQ(rig.driver.Held(), 0);
        EXPECT_EQ(rig.driver.unprepareFailures, 0);  // every buffer back before unprepare
        EXPECT_FALSE(rig.driver.isOpen);
        EXPECT_EQ(rig.driver.calls,
                  (std::vector<std::string>{"open -1 1", "start", "stop", "reset", "close"}));
    }
}

TEST(SoundIn, FailedTeardownStepsAreIgnoredAndTheInputCanOpenAgain) {
    InputRig rig;
    rig.in.OpenSoundInput();
    rig.driver.stopResult = SoundResult::Error;
    rig.driver.resetResult = SoundResult::Error;
    rig.driver.unprepareResult = SoundResult::Error;
    rig.driver.closeResult = SoundResult::Error;
    rig.in.RestartSoundInput(-1);
    EXPECT_TRUE(rig.view.messages.empty());
    EXPECT_TRUE(rig.in.IsOpen());
    EXPECT_EQ(rig.in.QueuedBuffers.load(), 16);
    rig.Fill(3);
    rig.Pump();
    EXPECT_EQ(rig.processed.size(), 1u);
}

TEST(SoundIn, NegativeDeviceNumbersOpenTheDefaultDeviceAndAnyOtherItself) {
    // The 0..9 rule belongs to the number a settings file stores.
    const std::pair<int, int> cases[] = {{11, 11}, {10, 10}, {-5, -1}, {-1, -1}, {0, 0}, {9, 9}};
    for (auto [number, opened] : cases) {
        InputRig rig;
        rig.driver.names.assign(12, "card");
        rig.in.RestartSoundInput(number);
        EXPECT_EQ(rig.driver.openedDevice, opened) << number;
        EXPECT_TRUE(rig.in.IsOpen());
    }
}

TEST(SoundIn, EveryOpenFailureIsReportedOnceAndLeavesTheInputClosed) {
    struct Case {
        const char* what;
        void (*script)(test::FakeSoundDriver&);
        const char* text;
        const char* caption;
    };
    const Case cases[] = {
        {"no device", [](test::FakeSoundDriver& d) { d.names.clear(); }, "No sound input device",
         "Error"},
        {"2", [](test::FakeSoundDriver& d) { d.openResult = SoundResult::BadDeviceId; },
         "  Specified device identifier is out of range", "Quelp - Device Open Error"},
        {"4", [](test::FakeSoundDriver& d) { d.openResult = SoundResult::Allocated; },
         "  Specified resource is already allocated", "Quelp - Device Open Error"},
        {"6", [](test::FakeSoundDriver& d) { d.openResult = SoundResult::NoDriver; },
         "  No device driver is present", "Quelp - Device Open Error"},
        {"7", [](test::FakeSoundDriver& d) { d.openResult = SoundResult::NoMem; },
         "  Unable to allocate or lock memory", "Quelp - Device Open Error"},
        {"32", [](test::FakeSoundDriver& d) { d.openResult = SoundResult::BadFormat; },
         "  Attempted to open with an unsupported waveform-audio format\n",
         "Quelp - Device Open Error"},
        {"1", [](test::FakeSoundDriver& d) { d.openResult = SoundResult::Error; },
         " Unrecognized ERROR ", "Quelp - Device Open Error"},
        {"prepare",
         [](test::FakeSoundDriver& d) {
             d.prepareFailsAt = 3;
             d.prepareResult = SoundResult::NoMem;
         },
         "  Error in Prepare Header! ", "Error"},
        {"add",
         [](test::FakeSoundDriver& d) {
             d.addFailsAt = 5;
             d.addResult = SoundResult::InvalidParam;
         },
         "  Error in AddBuffer! ", "Error"},
        {"start", [](test::FakeSoundDriver& d) { d.startResult = SoundResult::Error; },
         "  Error in Start! \n", "Error"},
    };
    for (const Case& c : cases) {
        InputRig rig;
        c.script(rig.driver);
        rig.in.RestartSoundInput(-1);
        EXPECT_EQ(rig.view.messages,
                  (std::vector<std::pair<std::string, std::string>>{{c.text, c.caption}}))
            << c.what;
        EXPECT_FALSE(rig.in.IsOpen()) << c.what;
        EXPECT_FALSE(rig.driver.isOpen) << c.what;
        // The program goes on: stopping and pumping are harmless.
        rig.Pump();
        rig.in.StopSoundInput();
        EXPECT_EQ(rig.view.messages.size(), 1u) << c.what;
        EXPECT_EQ(rig.ends, 0);
    }
}

TEST(SoundIn, AFailedRequeueClosesTheDeviceAndEndsTheApplication) {
    InputRig rig;
    rig.driver.addFailsAt = 16;  // the first hand-back after the start
    rig.driver.addResult = SoundResult::InvalidHandle;
    rig.in.OpenSoundInput();
    rig.Fill(1);
    rig.Fill(2);
    rig.Pump();
    EXPECT_EQ(
        rig.view.messages,
        (std::vector<std::pair<std::string, std::string>>{{"  Error in AddBuffer! ", "Error"}}));
    EXPECT_EQ(rig.ends, 1);
    EXPECT_FALSE(rig.in.IsOpen());
    EXPECT_FALSE(rig.driver.isOpen);
    EXPECT_EQ(rig.processed.size(), 1u);
}

TEST(SoundIn, ShuttingDownStopsPostsAndProcessing) {
    InputRig rig;
    rig.in.OpenSoundInput();
    rig.shuttingDown = true;
    rig.Fill(1);
    EXPECT_EQ(rig.events.Pending(WM_BUFFERDONE), 0);
    rig.in.InputBufferDone();
    EXPECT_TRUE(rig.processed.empty());
    rig.in.StopSoundInput();
    EXPECT_EQ(rig.driver.Held(), 0);
}

TEST(SoundIn, ANestedCallFromTheBlockProcessorReturnsAtOnce) {
    InputRig rig;
    int depth = 0, maxDepth = 0;
    rig.duringProcess = [&] {
        maxDepth = std::max(maxDepth, ++depth);
        rig.in.InputBufferDone();  // the decode loop's own call
        --depth;
    };
    rig.in.OpenSoundInput();
    rig.Fill(1);
    rig.Fill(2);
    rig.Pump();
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(rig.processed.size(), 2u);
    EXPECT_EQ(rig.in.PendingBuffers.load(), 0);
    EXPECT_EQ(rig.driver.Held(), 16);
}

}  // namespace
}  // namespace quelp
