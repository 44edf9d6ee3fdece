// The start-up and shut-down order of the application object, seen through a
// recording main view and start-up hooks that write into the same record.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/QuelpApp.h"
#include "settings/TempDir.h"
#include "support/FakeCaptureSink.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Item(UiItem item) {
    return std::to_string(static_cast<int>(item));
}

struct AppRig {
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    test::FakeCaptureSink sink;
    QuelpApp app{{view, clock, dialogs, rx, &sink}};
    bool exchangeWorks = true;

    void Log(const std::string& line) { view.calls.push_back(line); }
    std::string HoldOff() { return " holdoff=" + std::to_string(app.DisplayHoldOff.load()); }

    // Every hook writes a line into the view's call record.
    void RecordHooks() {
        StartupHooks& h = app.Startup;
        h.createDisplayBitmaps = [this] { Log("hook bitmaps" + HoldOff()); };
        h.registerMessages = [this] { Log("hook messages"); };
        h.initExchangeLibrary = [this](int channel) {
            Log("hook exchange " + std::to_string(channel));
            return exchangeWorks;
        };
        h.applyChannelSpeedWindow = [this] { Log("hook channel speed"); };
        h.setChannelBurstLength = [this](int n) {
            Log("hook channel burst " + std::to_string(n) + HoldOff());
        };
        h.createHistory = [this] {
            Log("hook history");
            app.DisplayHoldOff = 77;
        };
        h.restartSoundInput = [this] { Log("hook sound in" + HoldOff()); };
        h.restartSoundOutput = [this] { Log("hook sound out"); };
        h.checkSlowTimer = [this] { Log("hook slow timer"); };
        h.caretToEnd = [this] { Log("hook caret"); };
        h.applyRigTuning = [this] { Log("hook rig"); };
        h.focusNullButton = [this] { Log("hook focus"); };
        h.installMessageFilter = [this] { Log("hook filter"); };
        h.startTimers = [this] { Log("hook timers"); };
        h.setSoundFilterCode = [this](int code) {
            Log("hook sound filter " + std::to_string(code));
        };
        h.closeSoundOutput = [this] {
            Log(std::string("hook close out shutting=") + (app.ShuttingDown ? "1" : "0"));
        };
        h.stopSoundInput = [this] { Log("hook stop in"); };
        h.stopTimers = [this] { Log("hook stop timers"); };
    }

    // The recorded lines that mark the steps: hooks, messages, and the view
    // calls of the settings load and of the filters.
    std::vector<std::string> Steps() const {
        const std::vector<std::string> marks = {
            "hook ",
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
        "[Quelp]\nOnTop=1\nFilterWidth=1000\nCwFilterTreshold=350\nSoundFilter=120\n"
        "SpeedLocked=1\nReUseSpeedLimits=1\nExCanal=4\n";
    WriteFile(ini, stored);
    const std::string capture = (dir / "cap.txt").string();

    AppRig r;
    r.RecordHooks();
    r.app.DisplayHoldOff = 99;
    r.app.DeferredInit({"/usr/bin/quelp", "/F", "\"" + ini.string() + "\"", "/C" + capture});

    const std::vector<std::string> expected = {
        "hook bitmaps holdoff=99",
        "down " + Item(UiItem::AutoTresholdButton) + " 1",
        "hook channel burst 350 holdoff=5",
        "hook sound filter 120",
        "status 3 Auto",
        "status 8 On Top",
        "status 1 BF: 100",
        "status 0 MF: 1000 Hz",
        "hook messages",
        "hook exchange 4",
        "status 6 CapT",
        "hook channel speed",
        "hook history",
        "hook sound in holdoff=5",
        "hook sound out",
        "hook slow timer",
        "hook caret",
        "hook rig",
        "hook focus",
        "hook filter",
        "hook timers",
    };
    EXPECT_EQ(r.Steps(), expected);
    EXPECT_EQ(r.app.Params().SettingsPath, ini.string());
    EXPECT_TRUE(r.app.Window().StayOnTop);
    ASSERT_EQ(r.sink.openedPaths.size(), 1u);
    EXPECT_EQ(r.sink.openedPaths[0], capture);
    EXPECT_TRUE(r.app.Capture().CaptureOpen());
    EXPECT_EQ(r.app.DisplayHoldOff, 5);  // set again before the sound devices
    EXPECT_TRUE(r.app.DeferredInitDone());

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
    EXPECT_EQ(*(at + 1), "message Error: Exchange library initialization error!");
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
    r.app.Spectrum().OscRing.fill(0.5);
    r.app.Spectrum().OscIndex = 9;
    r.app.DeferredInit({"quelp", "/F", (dir / "QUELP.INI").string()});
    EXPECT_EQ(r.app.Filters().MainFilterCode, 101);
    EXPECT_EQ(r.app.Chain().ActiveRate(), RateCode::Iir);
    EXPECT_EQ(r.app.Spectrum().OscIndex, 0);
    EXPECT_EQ(*std::max_element(r.app.Spectrum().OscRing.begin(), r.app.Spectrum().OscRing.end()),
              0.0);
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
    EXPECT_EQ(r.app.Tune().SignalBin(), 300);  // read in the new directory
}

TEST(Startup, DecoderReadsSettingsOnlyWhenNamedAndStaysInItsDirectory) {
    TempDir dir, other;
    WriteFile(dir / "QUELP.INI", "[Quelp]\nRxFreqBin=300\nOnTop=1\n");
    WriteFile(other / "named.ini", "[Quelp]\nRxFreqBin=400\n");
    test::CurrentDirGuard guard;
    fs::current_path(dir.path());

    AppRig none;
    none.app.DeferredInit(StartupOptions::ForDecoder(""));
    EXPECT_EQ(none.app.Tune().SignalBin(), 186);
    EXPECT_FALSE(none.app.Window().StayOnTop);
    EXPECT_EQ(none.app.CollectSettings(), SettingsValues{});

    AppRig named;
    const std::string capture = (other / "cap.txt").string();
    named.app.DeferredInit(StartupOptions::ForDecoder((other / "named.ini").string(), capture));
    EXPECT_EQ(named.app.Tune().SignalBin(), 400);
    EXPECT_EQ(named.app.Params().SettingsPath, (other / "named.ini").string());
    ASSERT_EQ(named.sink.openedPaths.size(), 1u);
    EXPECT_EQ(named.sink.openedPaths[0], capture);
    EXPECT_EQ(fs::current_path(), dir.path());
}

TEST(Startup, ShutdownRunsOnceAndNeverWritesTheSettings) {
    TempDir dir;
    const fs::path ini = dir / "QUELP.INI";
    const std::string stored = "[Quelp]\r\nRxFreqBin=300\r\n";
    WriteFile(ini, stored);

    AppRig r;
    r.RecordHooks();
    r.app.DeferredInit({"quelp", "/F", ini.string(), "/C", (dir / "cap.txt").string()});
    r.app.Tune().SetReceiveBin(400);  // a change that a save would write
    r.view.calls.clear();

    r.app.Shutdown();
    EXPECT_TRUE(r.app.ShuttingDown);
    const std::vector<std::string> expected = {
        "hook close out shutting=1",
        "hook stop in",
        "message File Closed: Capture file was closed",
        "status 6 ",
        "hook stop timers",
    };
    EXPECT_EQ(r.Steps(), expected);
    EXPECT_FALSE(r.sink.open);

    r.view.calls.clear();
    r.app.Shutdown();
    EXPECT_TRUE(r.view.calls.empty());
    EXPECT_EQ(ReadFile(ini), stored);

    // Nothing is created either.
    TempDir empty;
    AppRig q;
    q.app.DeferredInit({"quelp", "/F", (empty / "QUELP.INI").string()});
    q.app.Shutdown();
    EXPECT_FALSE(fs::exists(empty / "QUELP.INI"));
    EXPECT_EQ(q.sink.closes, 0);  // no capture file was open

    // Closed before the start-up ran: nothing is opened afterwards.
    AppRig late;
    late.RecordHooks();
    late.app.Shutdown();
    late.view.calls.clear();
    late.app.DeferredInit({"quelp", "/C", (empty / "cap.txt").string()});
    EXPECT_TRUE(late.view.calls.empty());
    EXPECT_TRUE(late.sink.openedPaths.empty());
}

}  // namespace
}  // namespace quelp
