// The start-up and shut-down order of the application object, seen through a
// recording main view, and hooks and sound drivers that write into the same
// record.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/EventLoopQueue.h"
#include "app/QuelpApp.h"
#include "settings/TempDir.h"
#include "support/FakeCaptureSink.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"
#include "support/FakeSoundDriver.h"
#include "support/ToneBlock.h"

namespace quelp {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Item(UiItem item) {
    return std::to_string(static_cast<int>(item));
}

// A sound driver that reports its opening and closing.
class LoggedDriver : public test::FakeSoundDriver {
  public:
    SoundResult Open(int device, const SoundFormat& format, SoundDriverClient& client) override {
        if (log) log("open");
        return FakeSoundDriver::Open(device, format, client);
    }
    SoundResult Close() override {
        if (log) log("close");
        return FakeSoundDriver::Close();
    }
    std::function<void(const std::string& event)> log;
};

struct AppRig {
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    test::FakeCaptureSink sink;
    LoggedDriver in;
    LoggedDriver out;
    EventLoopQueue events{WM_BUFFERDONE};
    QuelpApp app{Ports()};
    bool exchangeWorks = true;

    AppRig() {
        in.log = [this](const std::string& e) {
            Log("sound in " + e + (e == "open" ? HoldOff() : std::string()));
        };
        out.log = [this](const std::string& e) {
            Log("sound out " + e + " shutting=" + (app.ShuttingDown() ? "1" : "0"));
        };
    }
    // The application closes its devices as it goes.
    ~AppRig() {
        in.log = nullptr;
        out.log = nullptr;
    }

    QuelpPorts Ports() {
        QuelpPorts p{view, clock, dialogs, rx, &sink};
        p.soundInDriver = &in;
        p.soundOutDriver = &out;
        p.events = &events;
        return p;
    }
    void Log(const std::string& line) { view.calls.push_back(line); }
    std::string HoldOff() { return " holdoff=" + std::to_string(app.DisplayHoldOff()); }

    // Every hook writes a line into the view's call record.
    void RecordHooks() {
        WindowHooks w;
        w.createDisplayBitmaps = [this] { Log("hook bitmaps" + HoldOff()); };
        w.checkSlowTimer = [this] { Log("hook slow timer"); };
        w.caretToEnd = [this] { Log("hook caret"); };
        w.focusNullButton = [this] { Log("hook focus"); };
        w.installMessageFilter = [this] { Log("hook filter"); };
        w.startTimers = [this] { Log("hook timers"); };
        w.stopTimers = [this] { Log("hook stop timers"); };
        app.SetWindowHooks(std::move(w));
        IntegrationHooks i;
        i.registerMessages = [this] { Log("hook messages" + HoldOff()); };
        i.initExchangeLibrary = [this](int channel) {
            Log("hook exchange " + std::to_string(channel));
            return exchangeWorks;
        };
        app.SetIntegrationHooks(std::move(i));
    }

    // The recorded lines that mark the steps: hooks, sound devices, messages,
    // and the view calls of the settings load and of the filters.
    std::vector<std::string> Steps() const {
        const std::vector<std::string> marks = {
            "hook ",
            "sound ",
            "message ",
            "down " + Item(UiItem::AutoTresholdButton) + " ",  // first of the load
            "status 3 ",                                       // last of the load
            "status 8 ",
            "status 1 ",
            "status 0 ",
            "status 6 ",
        };
        std::vector<std::string> out;
        for (const std::string& line : view.calls) {
            if (std::any_of(marks.begin(), marks.end(),
                            [&](const std::string& m) { return line.rfind(m, 0) == 0; })) {
                out.push_back(line);
            }
        }
        return out;
    }
};

TEST(Startup, DeferredInitRunsItsStepsInOrder) {
    TempDir dir;
    const fs::path ini = dir / "my settings.ini";
    const std::string stored =
        "[Quelp]\nOnTop=1\nFilterWidth=1000\nCwFilterTreshold=350\nSoundFilter=140\n"
        "SpeedLocked=1\nReUseSpeedLimits=1\nExCanal=4\n";
    WriteFile(ini, stored);
    const std::string capture = (dir / "cap.txt").string();

    AppRig r;
    r.RecordHooks();
    r.app.SoundOutputFilter1Click();  // a menu holds the displays
    r.app.DeferredInit({"/usr/bin/quelp", "/F", "\"" + ini.string() + "\"", "/C" + capture});

    const std::vector<std::string> expected = {
        "hook bitmaps holdoff=22",
        "down " + Item(UiItem::AutoTresholdButton) + " 1",
        "status 3 Auto",
        "status 8 On Top",
        "status 1 BF: 100",
        "status 0 MF: 1000 Hz",
        "hook messages holdoff=5",
        "hook exchange 4",
        "status 6 CapT",
        "sound in open holdoff=5",
        "sound out open shutting=0",
        "hook slow timer",
        "hook caret",
        "hook focus",
        "hook filter",
        "hook timers",
    };
    EXPECT_EQ(r.Steps(), expected);
    EXPECT_EQ(r.app.Params().SettingsPath, ini.string());
    EXPECT_TRUE(r.app.Window().StayOnTop);
    ASSERT_EQ(r.sink.openedPaths.size(), 1u);
    EXPECT_EQ(r.sink.openedPaths[0], capture);
    EXPECT_TRUE(r.app.CaptureOpen());
    EXPECT_EQ(r.app.DisplayHoldOff(), 5);
    EXPECT_TRUE(r.app.DeferredInitDone());
    // What the settings chose reached the channels, the output and the
    // history: the stored burst length, the locked speed window (the
    // channels start slower than it), the output filter, a minute of audio.
    const Receiver& rx = r.app.Rx();
    EXPECT_EQ(rx.FreqScan().Channel(0).Burst.BurstLength, 350);
    EXPECT_EQ(rx.FreqScan().Channel(1).DotLen, rx.Params().Speed.UpperDotLimit);
    EXPECT_EQ(r.app.SoundOutputCode(), 140);
    EXPECT_EQ(r.app.History().Seconds(), 60);

    // Once only.
    const std::size_t calls = r.view.calls.size();
    r.app.DeferredInit({"/usr/bin/quelp", "/C", capture});
    EXPECT_EQ(r.view.calls.size(), calls);
    EXPECT_EQ(r.sink.openedPaths.size(), 1u);
}

TEST(Startup, ExchangeLibraryFailureIsShownAndStartUpGoesOn) {
    TempDir dir;
    AppRig r;
    r.RecordHooks();
    r.exchangeWorks = false;
    r.app.DeferredInit({"quelp", "/F", (dir / "none.ini").string()});
    const std::vector<std::string> steps = r.Steps();
    const auto at = std::find(steps.begin(), steps.end(), "hook exchange 1");
    ASSERT_NE(at, steps.end());
    ASSERT_NE(at + 1, steps.end());
    EXPECT_EQ(*(at + 1), "message Error: VARNOKEX.DLL initialization error!");
    EXPECT_EQ(steps.back(), "hook timers");

    // Channel 0: the library is not used at all.
    TempDir dir2;
    WriteFile(dir2 / "QUELP.INI", "[Quelp]\nExCanal=0\n");
    AppRig off;
    off.RecordHooks();
    off.app.DeferredInit({"quelp", "/F", (dir2 / "QUELP.INI").string()});
    for (const std::string& line : off.Steps()) EXPECT_EQ(line.find("exchange"), std::string::npos);
}

TEST(Startup, MainFilterAndChainFollowTheSettings) {
    TempDir dir;
    WriteFile(dir / "QUELP.INI", "[Quelp]\nFilterWidth=101\n");
    AppRig r;
    // A tone on the receive bin leaves its envelope in the oscilloscope.
    r.app.ProcessBlock(test::ToneBlock(186, 8000.0).data(), 1);
    const SpectrumArrays& s = r.app.Rx().Spectrum();
    ASSERT_EQ(s.OscIndex, 9);
    ASSERT_GT(*std::max_element(s.OscRing.begin(), s.OscRing.end()), 0.0);
    r.app.DeferredInit({"quelp", "/F", (dir / "QUELP.INI").string()});
    EXPECT_EQ(r.app.Rx().MainFilterCode(), 101);
    EXPECT_EQ(r.app.Rx().Chain().ActiveRate(), RateCode::Iir);
    EXPECT_EQ(s.OscIndex, 0);
    EXPECT_EQ(*std::max_element(s.OscRing.begin(), s.OscRing.end()), 0.0);
}

TEST(Startup, MissingSettingsFileMovesToTheDefaultDirectory) {
    TempDir start, config, home;
    WriteFile(home / "QUELP.INI", "[Quelp]\nRxFreqBin=300\n");
    fs::create_directories(config / "quelp");
    WriteFile(config / "quelp" / "registry.ini",
              "[quelp]\nDefaultDir=" + home.path().string() + "\n");
    test::CurrentDirGuard guard;
    fs::current_path(start.path());

    AppRig r;
    r.rx.text = "Quelp  V2.26\n";
    StartupOptions options;
    options.Args = {"quelp"};
    options.Environment = {config.path().string(), ""};
    r.app.DeferredInit(options);

    EXPECT_EQ(fs::current_path(), home.path());
    EXPECT_EQ(r.rx.text.rfind("QUELP.INI file was not found in a working directory\r\n", 0), 0u)
        << r.rx.text;
    EXPECT_NE(r.rx.text.find(home.path().string()), std::string::npos);
    EXPECT_EQ(r.app.Rx().Tune().SignalBin(), 300);  // read in the new directory
}

TEST(Startup, DecoderReadsSettingsOnlyWhenNamedAndStaysInItsDirectory) {
    TempDir dir, other;
    WriteFile(dir / "QUELP.INI", "[Quelp]\nRxFreqBin=300\nOnTop=1\n");
    WriteFile(other / "named.ini", "[Quelp]\nRxFreqBin=400\n");
    test::CurrentDirGuard guard;
    fs::current_path(dir.path());

    AppRig none;
    none.app.DeferredInit(StartupOptions::ForDecoder(""));
    EXPECT_EQ(none.app.Rx().Tune().SignalBin(), 186);
    EXPECT_FALSE(none.app.Window().StayOnTop);
    // Every setting as built in: as an application that never started has it.
    AppRig fresh;
    ProfileFile started;
    ProfileFile builtIn;
    none.app.CollectSettings(started);
    fresh.app.CollectSettings(builtIn);
    EXPECT_EQ(started.Serialize(), builtIn.Serialize());

    AppRig named;
    const std::string capture = (other / "cap.txt").string();
    named.app.DeferredInit(StartupOptions::ForDecoder((other / "named.ini").string(), capture));
    EXPECT_EQ(named.app.Rx().Tune().SignalBin(), 400);
    EXPECT_EQ(named.app.Params().SettingsPath, (other / "named.ini").string());
    ASSERT_EQ(named.sink.openedPaths.size(), 1u);
    EXPECT_EQ(named.sink.openedPaths[0], capture);
    EXPECT_EQ(fs::current_path(), dir.path());
}

TEST(Startup, ShutdownRunsOnceAndNeverWritesTheSettings) {
    TempDir dir;
    const fs::path ini = dir / "QUELP.INI";
    // With an output filter, so the output device is open too.
    const std::string stored = "[Quelp]\r\nRxFreqBin=300\r\nSoundFilter=140\r\n";
    WriteFile(ini, stored);

    AppRig r;
    r.RecordHooks();
    r.app.DeferredInit({"quelp", "/F", ini.string(), "/C", (dir / "cap.txt").string()});
    r.app.SetReceiveBin(400);  // a change that a save would write
    r.view.calls.clear();

    EXPECT_EQ(r.app.Shutdown(), CaptureCloseResult::Closed);
    EXPECT_TRUE(r.app.ShuttingDown());
    const std::vector<std::string> expected = {
        "sound out close shutting=1",
        "sound in close",
        "message File Closed: Capture file was closed",
        "status 6 ",
        "hook stop timers",
    };
    EXPECT_EQ(r.Steps(), expected);
    EXPECT_FALSE(r.sink.open);

    r.view.calls.clear();
    EXPECT_EQ(r.app.Shutdown(), CaptureCloseResult::Busy);
    EXPECT_TRUE(r.view.calls.empty());
    EXPECT_EQ(ReadFile(ini), stored);

    // Nothing is created either.
    TempDir empty;
    AppRig q;
    q.app.DeferredInit({"quelp", "/F", (empty / "QUELP.INI").string()});
    EXPECT_EQ(q.app.Shutdown(), CaptureCloseResult::NothingOpen);
    EXPECT_FALSE(fs::exists(empty / "QUELP.INI"));
    EXPECT_EQ(q.sink.closes, 0);  // no capture file was open

    // Closed before the start-up ran: nothing is opened afterwards.
    AppRig late;
    late.RecordHooks();
    EXPECT_EQ(late.app.Shutdown(), CaptureCloseResult::NothingOpen);
    late.view.calls.clear();
    late.app.DeferredInit({"quelp", "/C", (empty / "cap.txt").string()});
    EXPECT_TRUE(late.view.calls.empty());
    EXPECT_TRUE(late.sink.openedPaths.empty());
}

}  // namespace
}  // namespace quelp
