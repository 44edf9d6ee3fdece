#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/EventLoopQueue.h"
#include "app/ReceiverRig.h"
#include "audio/WavBytes.h"
#include "support/CwSynth.h"
#include "support/FakeSoundDriver.h"

namespace quelp {
namespace {

using Result = FileDecodeResult;

// The application with a sound card that is there but not opened; the
// view's message pass does what the window's message loop does in the
// middle of a decode: clicks, requests from other programs, closing.
struct Rig {
    test::PumpingView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    test::FakeSoundDriver in;
    test::FakeSoundDriver out;
    EventLoopQueue events{WM_BUFFERDONE};
    QuelpApp app{Ports()};
    test::TempDir dir;
    // Blocks through the receiver (each draws once), and what a test does
    // at the start of block n.
    int blocks = 0;
    std::function<void(int n)> onBlock;

    Rig() {
        view.OnDraw = [this] {
            if (onBlock) onBlock(blocks);
            ++blocks;
        };
    }
    QuelpPorts Ports() {
        QuelpPorts p{view, clock, dialogs, rx};
        p.soundInDriver = &in;
        p.soundOutDriver = &out;
        p.events = &events;
        return p;
    }

    // 16-bit mono `samples` at `rate`.
    std::string Wav(const std::string& name, const std::vector<std::int16_t>& samples,
                    std::uint32_t rate = 11025) {
        const std::string path = dir.File(name);
        test::WriteFile(path, test::PcmWav(1, rate, 16, test::Pcm16(samples)));
        return path;
    }
    std::string Silence(const std::string& name, std::size_t samples, std::uint32_t rate = 11025) {
        return Wav(name, std::vector<std::int16_t>(samples, 0), rate);
    }

    // The controls a decode disables are enabled and every flag is clear.
    void ExpectIdle() const {
        EXPECT_FALSE(app.DecodeBusy());
        EXPECT_FALSE(app.FileDecoding());
        EXPECT_TRUE(view.enabled.at(UiItem::DecodeFromFile1));
        EXPECT_TRUE(view.enabled.at(UiItem::ReplayButton));
    }
};

TEST(FileDecode, RefusedFilesShowTheirMessageAndLeaveEverythingIdle) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;  // empty: the file does not exist
        Result result;
        const char* message;
    };
    std::vector<std::uint8_t> pcm(4096, 0);
    test::WavBytes dataFirst;
    dataFirst.Chunk("data", pcm).Chunk("fmt ", test::FmtBody(1, 1, 11025, 16));
    test::WavBytes floating;
    floating.Chunk("fmt ", test::FmtBody(3, 1, 11025, 32)).Chunk("data", pcm);
    const std::vector<Case> cases = {
        {"missing.wav", {}, Result::OpenError, "File Open Error!"},
        {"garbage.wav",
         {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v'},
         Result::OpenError,
         "File Open Error!"},
        {"datafirst.wav", test::Riff(dataFirst.bytes), Result::OpenError, "File Open Error!"},
        {"float.wav", test::Riff(floating.bytes), Result::UnsupportedFormat,
         "Unsupported audio format!"},
        {"48k.wav", test::PcmWav(1, 48000, 16, pcm), Result::UnsupportedRate,
         "Unsupported sample rate!"},
        {"8k.wav", test::PcmWav(1, 8000, 16, pcm), Result::UnsupportedRate,
         "Unsupported sample rate!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        const std::string path = rig.dir.File(c.name);
        if (!c.bytes.empty()) test::WriteFile(path, c.bytes);
        // A live buffer is waiting; a refused file does not post it again.
        rig.app.RestartSoundInput(-1);
        ASSERT_TRUE(rig.in.CompleteNext(std::vector<std::int16_t>{1}));

        EXPECT_EQ(rig.app.DecodeWaveFile(path), c.result);
        ASSERT_EQ(rig.view.messages.size(), 1u);
        EXPECT_EQ(rig.view.messages[0].first, c.message);
        EXPECT_EQ(rig.view.messages[0].second, "File Error");
        // The controls are off while the message shows and back on after.
        const auto& calls = rig.view.calls;
        const auto message = std::find_if(calls.begin(), calls.end(), [](const std::string& s) {
            return s.rfind("message", 0) == 0;
        });
        EXPECT_EQ(std::count_if(calls.begin(), message,
                                [](const std::string& s) { return s.rfind("enabled", 0) == 0; }),
                  2);
        rig.ExpectIdle();
        EXPECT_EQ(rig.blocks, 0);
        EXPECT_EQ(rig.events.Pending(WM_BUFFERDONE), 1);
    }
}

TEST(FileDecode, PacesEveryBlockAt150MsWithAtLeastOnePassEach) {
    Rig rig;
    const std::string path = rig.Silence("three.wav", 3 * 2048);
    rig.clock.elapsed = 1000;
    rig.app.SoundOutputFilter1Click();  // an open menu holds the displays
    ASSERT_NE(rig.app.DisplayHoldOff(), 0);
    int holdOffAtFirstBlock = -1;
    bool decodingSeen = false;
    rig.onBlock = [&](int n) {
        if (n == 0) holdOffAtFirstBlock = rig.app.DisplayHoldOff();
        decodingSeen = rig.app.FileDecoding() && rig.app.DecodeBusy();
    };

    EXPECT_EQ(rig.app.DecodeWaveFile(path), Result::Decoded);
    EXPECT_EQ(rig.blocks, 3);
    EXPECT_EQ(holdOffAtFirstBlock, 0);
    EXPECT_TRUE(decodingSeen);
    // Deadlines 1150, 1300, 1450 reached in 20 ms sleeps: 8 + 7 + 8 passes,
    // each with a message pass, besides each block's own.
    EXPECT_EQ(rig.clock.sleeps, 23);
    EXPECT_EQ(rig.clock.elapsed, 1460);
    EXPECT_EQ(rig.view.messagePumps, 23 + 3);
    EXPECT_EQ(rig.app.LastDecodeSamples(), 3u * 2048u);
    rig.ExpectIdle();
}

TEST(FileDecode, ABlockThatRanLateIsCaughtUpWithOnePassPerBlock) {
    Rig rig;
    const std::string path = rig.Silence("five.wav", 5 * 2048);
    // The first block takes 700 ms (a slow repaint, a dialog).
    rig.onBlock = [&](int n) {
        if (n == 0) rig.clock.Advance(700);
    };
    EXPECT_EQ(rig.app.DecodeWaveFile(path), Result::Decoded);
    // 700 ms: blocks 2..4 are due at once; block 5 (due at 750) waits.
    EXPECT_EQ(rig.clock.sleeps, 1 + 1 + 1 + 1 + 1);
    EXPECT_EQ(rig.clock.elapsed, 800);
}

TEST(FileDecode, UnpacedDecodeNeverSleepsAndDecodesTheSameText) {
    test::CwSynthOptions synth;
    synth.signal.text = "test de quelp";
    synth.signal.wpm = 25;
    const auto signal = test::SynthesizeCw(synth);

    std::string texts[2];
    std::uint64_t samples[2] = {};
    for (int paced = 0; paced < 2; ++paced) {
        Rig rig;
        const std::string path = rig.dir.File("cw.wav");
        ASSERT_EQ(test::WriteWav(path, signal.samples, 11025, 16, 1), 0);
        rig.app.SetFileDecodePacing(paced == 1);
        rig.app.SetReceiveBin(130);  // 700 Hz
        EXPECT_EQ(rig.app.DecodeWaveFile(path), Result::Decoded);
        EXPECT_EQ(rig.clock.sleeps > 0, paced == 1);
        texts[paced] = rig.rx.text;
        samples[paced] = rig.app.LastDecodeSamples();
        // Unpaced, a message pass per block still happens (besides the
        // block's own).
        if (paced == 0) {
            EXPECT_EQ(rig.view.messagePumps, 2 * rig.blocks);
        }
    }
    EXPECT_EQ(texts[0], texts[1]);
    EXPECT_EQ(samples[0], signal.samples.size());
    EXPECT_NE(texts[0].find("test de quelp"), std::string::npos) << texts[0];
}

TEST(FileDecode, ASecondDecodeAskedFromInsideHasNoEffect) {
    Rig rig;
    const std::string path = rig.Silence("outer.wav", 2 * 2048);
    const std::string inner = rig.Silence("inner.wav", 2048);
    rig.dialogs.answers.push_back(inner);
    std::vector<Result> nested;
    rig.view.OnMessages = [&] {
        if (!nested.empty()) return;
        nested.push_back(rig.app.DecodeWaveFile(inner));
        rig.app.DecodeFromFile1Click();  // the menu, if it were reachable
        EXPECT_TRUE(rig.app.FileDecoding());
        EXPECT_TRUE(rig.app.DecodeBusy());
    };
    EXPECT_EQ(rig.app.DecodeWaveFile(path), Result::Decoded);
    EXPECT_EQ(nested, std::vector<Result>{Result::Busy});
    EXPECT_EQ(rig.dialogs.asked.size(), 1u);
    // Only the outer file's two blocks went through.
    EXPECT_EQ(rig.blocks, 2);
    EXPECT_EQ(rig.app.LastDecodeSamples(), 2u * 2048u);
    rig.ExpectIdle();
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
}

// Bypass output on a device that plays a buffer only when the test says so.
void BypassOutput(Rig& rig) {
    rig.app.RestartSoundOutput(-1);
    ASSERT_TRUE(rig.app.SoundOutputMenuClick(UiItem::SoundWithoutFiltering1));
}

TEST(FileDecode, ClosingEndsTheDecodeAfterTheCurrentBlockAndTheOutputWait) {
    Rig rig;
    const std::string path = rig.Silence("long.wav", 20 * 2048);
    // Unpaced, only the wait for the output sleeps; the device never plays.
    rig.app.SetFileDecodePacing(false);
    BypassOutput(rig);
    rig.app.RestartSoundInput(-1);
    rig.view.OnMessages = [&] {
        if (rig.clock.sleeps != 30) return;
        rig.app.BeginClosing();
        // Filled after closing began: not posted by the input.
        ASSERT_TRUE(rig.in.CompleteNext(std::vector<std::int16_t>{1}));
    };
    EXPECT_EQ(rig.app.DecodeWaveFile(path), Result::Decoded);
    ASSERT_GT(rig.blocks, 0);
    EXPECT_LT(rig.blocks, 20);
    EXPECT_LE(rig.clock.sleeps, 31);
    // The waiting live buffer is posted again, once.
    EXPECT_EQ(rig.events.Pending(WM_BUFFERDONE), 1);
    rig.ExpectIdle();
}

TEST(FileDecode, WaitsForTheSoundOutputBeforeTheNextBlock) {
    Rig rig;
    std::vector<std::int16_t> ramp(6 * 2048);
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::int16_t>(i % 1000);
    const std::string path = rig.Wav("six.wav", ramp);
    rig.app.SetFileDecodePacing(false);
    BypassOutput(rig);
    // The device plays a buffer at the third message pass that finds all
    // four with it.
    int full = 0;
    rig.view.OnMessages = [&] {
        if (rig.out.Held() == SoundOut::kBuffers && ++full % 3 == 0) rig.out.CompleteNext();
    };
    rig.onBlock = [&](int) { EXPECT_LT(rig.out.Held(), SoundOut::kBuffers); };
    EXPECT_EQ(rig.app.DecodeWaveFile(path), Result::Decoded);
    EXPECT_EQ(rig.blocks, 6);
    // From the fourth block on (1024 samples of silence lead), the output is
    // full after each block: its unpaced pass and two sleeping ones.
    EXPECT_EQ(rig.clock.sleeps, 3 * 2);
    // Nothing dropped: the buffers played so far hold the file in order.
    ASSERT_GE(rig.out.played.size(), 3u * 2048u);
    EXPECT_TRUE(std::equal(rig.out.played.begin() + 1024, rig.out.played.end(), ramp.begin()));
}

TEST(FileDecode, ShortAndWideFilesDecodeLikeTheirPlainForm) {
    Rig rig;
    // Shorter than one block: one block, padded with silence.
    const std::string shortFile = rig.Silence("short.wav", 1000);
    EXPECT_EQ(rig.app.DecodeWaveFile(shortFile), Result::Decoded);
    EXPECT_EQ(rig.blocks, 1);
    EXPECT_EQ(rig.app.LastDecodeSamples(), 1000u);
    // Nothing but a header: no block at all.
    EXPECT_EQ(rig.app.DecodeWaveFile(rig.Silence("empty.wav", 0)), Result::Decoded);
    EXPECT_EQ(rig.blocks, 1);

    // 24-bit samples carry the 16-bit value in their top bytes.
    test::CwSynthOptions synth;
    synth.signal.text = "vvv";
    synth.snrDb = 10;
    synth.rate = 22050;
    const auto signal = test::SynthesizeCw(synth);
    std::string texts[2];
    const int bits[2] = {16, 24};
    for (int i = 0; i < 2; ++i) {
        Rig one;
        const std::string path = one.dir.File("w.wav");
        ASSERT_EQ(test::WriteWav(path, signal.samples, 22050, bits[i], 2), 0);
        one.app.SetFileDecodePacing(false);
        one.app.SetReceiveBin(130);
        EXPECT_EQ(one.app.DecodeWaveFile(path), Result::Decoded);
        texts[i] = one.rx.text;
    }
    EXPECT_FALSE(texts[0].empty());
    EXPECT_EQ(texts[0], texts[1]);
}

TEST(FileDecode, MenuAsksForAWaveFileAndHoldsTheDisplaysMeanwhile) {
    Rig rig;
    rig.app.SoundOutputFilter1Click();  // another menu held the displays
    rig.app.DecodeFromFile1Click();     // cancelled
    ASSERT_EQ(rig.dialogs.asked.size(), 1u);
    const FileDialogRequest& r = rig.dialogs.asked[0];
    EXPECT_EQ(r.title, "Decode From File");
    EXPECT_EQ(r.filter, "Wave Files|*.wav|All Files|*.*");
    EXPECT_EQ(r.defaultExt, "wav");
    EXPECT_EQ(r.initialDir, ".");
    EXPECT_EQ(rig.blocks, 0);
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);

    rig.dialogs.answers.push_back(rig.Silence("one.wav", 2048));
    int holdOffDuringDialog = -1;
    rig.view.OnMessages = [&] { holdOffDuringDialog = rig.app.DisplayHoldOff(); };
    rig.app.DecodeFromFile1Click();
    EXPECT_EQ(rig.blocks, 1);
    EXPECT_EQ(holdOffDuringDialog, 0);  // the decode repaints every block
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
}

}  // namespace
}  // namespace quelp
