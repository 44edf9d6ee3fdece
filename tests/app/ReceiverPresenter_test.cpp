// What the main window shows of the receiver: the filter menus, the status
// panels, the buttons and the spin controls' edits, as the application's
// operations change the receiver, and what those operations take.

#include "app/ReceiverPresenter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/QuelpApp.h"
#include "dsp/MainFilterTable.h"
#include "settings/ProfileFile.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"
#include "support/FakeSoundDriver.h"

namespace quelp {
namespace {

using Calls = std::vector<std::string>;

// One recorded view call, as FakeMainView writes it.
std::string Call(std::string_view kind, UiItem item, std::string_view value) {
    return std::string(kind) + " " + std::to_string(static_cast<int>(item)) + " " +
           std::string(value);
}
std::string StatusCall(int panel, std::string_view text) {
    return "status " + std::to_string(panel) + " " + std::string(text);
}

// The application with fake ports and a sound output device.
template <class View = test::FakeMainView>
struct AppRig {
    View view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    test::FakeSoundDriver out;
    QuelpApp app{{view, clock, dialogs, rx, nullptr, nullptr, nullptr, &out}};

    ReceiverStatus Status() const { return app.Rx().Status(); }
    // Keys of the settings file applied as a load would apply them.
    void Settings(const std::string& keys) {
        ProfileFile file;
        file.Parse("[Quelp]\n" + keys);
        app.ApplySettings(file);
        view.calls.clear();
    }
    // A silent block: the receive chain starts its next sample afresh.
    void SilentBlock() {
        const std::vector<std::int16_t> block(kBlockSize, 0);
        app.ProcessBlock(block.data(), 1);
    }
    int CheckedCount(const std::vector<UiItem>& group) const {
        int n = 0;
        for (UiItem item : group) {
            auto it = view.checked.find(item);
            n += (it != view.checked.end() && it->second) ? 1 : 0;
        }
        return n;
    }
};

// A receiver whose changes reach a presenter directly.
struct PresentedReceiver final : ReceiverListener {
    test::FakeMainView view;
    Receiver receiver{*this};
    ReceiverPresenter presenter{view, receiver};

    void CharacterDecoded(std::uint32_t) override {}
    void ReceiverChanged(ReceiverChange change) override { presenter.Show(change); }
    void SpectrumReady(int) override {}
};

// --- filters -------------------------------------------------------------------

TEST(ReceiverPresenter, MainFilterCodesAliasesAndUnknownCodes) {
    struct Case {
        int code;
        int stored;
        UiItem item;
        const char* caption;
        const char* status;
        RateCode rate;
    };
    const Case cases[] = {
        {10, 10, UiItem::FIR10Menu, "Main Filter  (10Hz)", "MF: 10 Hz", RateCode::R306},
        {3, 20, UiItem::FIR20Menu, "Main Filter  (20Hz)", "MF: 20 Hz", RateCode::R306},
        {70, 70, UiItem::FIR70Menu, "Main Filter  (70Hz)", "MF: 70 Hz", RateCode::R919},
        {999, 140, UiItem::FIR140Menu, "Main Filter  (140 Hz)", "MF: 140 Hz", RateCode::R919},
        {-1, 140, UiItem::FIR140Menu, "Main Filter  (140 Hz)", "MF: 140 Hz", RateCode::R919},
        {1, 600, UiItem::FIR600Menu, "Main Filter  (600Hz)", "MF: 600 Hz", RateCode::R2756},
        {2, 3500, UiItem::FIR3000Menu, "Main Filter  (3000Hz)", "MF: 3000 Hz", RateCode::R11025},
        {3000, 140, UiItem::FIR140Menu, "Main Filter  (140 Hz)", "MF: 140 Hz", RateCode::R919},
        {1000, 1000, UiItem::FIR1000Menu, "Main Filter  (1000Hz)", "MF: 1000 Hz", RateCode::R11025},
        {251, 251, UiItem::IIR250Menu, "Main Filter  (250 Hz IIR)", "MF: 250 IIR", RateCode::Iir},
        {1001, 1001, UiItem::IIR1000Menu, "Main Filter  (1000 Hz IIR)", "MF: 1000 IIR",
         RateCode::Iir},
    };
    AppRig<> rig;
    std::vector<UiItem> group;
    for (const MainFilterRow& row : AllMainFilters()) {
        group.push_back(ReceiverPresenter::MainFilterItem(row.Code));
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        rig.view.calls.clear();
        rig.app.SelectMainFilter(c.code);
        EXPECT_EQ(rig.app.Rx().MainFilterCode(), c.stored);
        EXPECT_EQ(rig.view.captions[UiItem::MainFilterMenu], c.caption);
        EXPECT_EQ(rig.view.Status(panel::MainFilter), c.status);
        EXPECT_TRUE(rig.view.checked[c.item]);
        EXPECT_EQ(rig.CheckedCount(group), 1);
        // Caption, the other twelve items cleared, the item checked, the panel.
        ASSERT_EQ(rig.view.calls.size(), 15u);
        EXPECT_EQ(rig.view.calls.front(), Call("caption", UiItem::MainFilterMenu, c.caption));
        EXPECT_EQ(rig.view.calls[13], Call("checked", c.item, "1"));
        EXPECT_EQ(rig.view.calls.back(), StatusCall(panel::MainFilter, c.status));
        EXPECT_EQ(rig.app.Rx().Chain().ActiveRate(), c.rate);
        EXPECT_EQ(rig.app.Rx().FreqScan().Channel(0).FilterKind, c.stored);
    }
}

TEST(ReceiverPresenter, BurstFilterLengthsAndTexts) {
    struct Case {
        std::int32_t lpm;
        std::int32_t length;
        const char* shown;
        UiItem item;
    };
    const Case cases[] = {
        {5, 7000, "5", UiItem::N5CPM1},        {200, 175, "200", UiItem::N200CPM1},
        {300, 117, "299", UiItem::N300CPM1},   {1500, 23, "1522", UiItem::N1500CPM1},
        {2500, 14, "2500", UiItem::N2500CPM1}, {5000, 7, "5000", UiItem::N5000CPM1},
    };
    const std::vector<UiItem> group = {UiItem::N5CPM1,    UiItem::N10CPM1,   UiItem::N25CPM1,
                                       UiItem::N50CPM1,   UiItem::N100CPM1,  UiItem::N200CPM1,
                                       UiItem::N300CPM1,  UiItem::N500CPM1,  UiItem::N1000CPM1,
                                       UiItem::N1500CPM1, UiItem::N2500CPM1, UiItem::N3000CPM1,
                                       UiItem::N5000CPM1};
    AppRig<> rig;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lpm);
        rig.SilentBlock();
        ASSERT_EQ(rig.app.Rx().Chain().PhaseResetFlag, 0);
        rig.view.calls.clear();
        EXPECT_TRUE(rig.app.SelectBurstFilter(c.lpm));
        EXPECT_EQ(rig.app.Rx().BurstLength(), c.length);
        EXPECT_EQ(rig.app.Rx().FreqScan().Channel(0).Burst.BurstLength, c.length);
        EXPECT_EQ(rig.app.Rx().Chain().PhaseResetFlag, 1);
        const std::string caption = std::string("Burst Filter (") + c.shown + " LPM)";
        EXPECT_EQ(rig.view.captions[UiItem::CwFilterMenu], caption);
        EXPECT_EQ(rig.view.Status(panel::BurstFilter), std::string("BF: ") + c.shown);
        EXPECT_TRUE(rig.view.checked[c.item]);
        EXPECT_EQ(rig.CheckedCount(group), 1);
        // The texts first, then the check marks.
        ASSERT_EQ(rig.view.calls.size(), 15u);
        EXPECT_EQ(rig.view.calls[0], Call("caption", UiItem::CwFilterMenu, caption));
        EXPECT_EQ(rig.view.calls[1], StatusCall(panel::BurstFilter, std::string("BF: ") + c.shown));
        EXPECT_EQ(rig.view.calls.back(), Call("checked", c.item, "1"));
    }

    // A speed off the menu sets the length but checks nothing anew.
    EXPECT_TRUE(rig.app.SelectBurstFilter(150));
    EXPECT_EQ(rig.app.Rx().BurstLength(), 233);
    EXPECT_EQ(rig.view.Status(panel::BurstFilter), "BF: 150");
    EXPECT_TRUE(rig.view.checked[UiItem::N5000CPM1]);
    EXPECT_EQ(rig.CheckedCount(group), 1);
}

TEST(ReceiverPresenter, BurstFilterSurvivesSpeedsOffTheScale) {
    AppRig<> rig;
    ASSERT_TRUE(rig.app.SelectBurstFilter(200));
    rig.SilentBlock();
    const auto calls = rig.view.calls.size();
    for (std::int32_t lpm : {0, -100}) EXPECT_FALSE(rig.app.SelectBurstFilter(lpm));
    EXPECT_EQ(rig.app.Rx().BurstLength(), 175);
    EXPECT_EQ(rig.view.calls.size(), calls);
    EXPECT_EQ(rig.app.Rx().Chain().PhaseResetFlag, 0);

    EXPECT_TRUE(rig.app.SelectBurstFilter(100000));  // rounds to 0 samples: 1
    EXPECT_EQ(rig.app.Rx().BurstLength(), 1);
    EXPECT_EQ(rig.view.Status(panel::BurstFilter), "BF: 35000");
}

TEST(ReceiverPresenter, StoredBurstLengthIsShownUnchanged) {
    PresentedReceiver r;
    for (const auto& [length, shown] :
         {std::pair{175, "BF: 200"}, std::pair{300, "BF: 117"}, std::pair{0, "BF: 0"}}) {
        r.receiver.RestoreBurstLength(length);
        EXPECT_TRUE(r.view.calls.empty());
        r.presenter.Show(ReceiverChange::BurstFilter);
        EXPECT_EQ(r.receiver.BurstLength(), length);
        EXPECT_EQ(r.view.Status(panel::BurstFilter), shown);
        r.view.calls.clear();
    }
}

// --- tuning ------------------------------------------------------------------------

TEST(ReceiverPresenter, ClickTuneLimitsToTheBandAndShowsTheFrequency) {
    AppRig<> rig;
    struct Case {
        int bin, tuned;
        const char* shown;
    };
    for (const Case& c :
         {Case{186, 186, "1001 Hz"}, Case{600, 558, "3004 Hz"}, Case{-3, 32, "172 Hz"}}) {
        rig.view.calls.clear();
        rig.app.ClickTune(c.bin);
        EXPECT_EQ(rig.Status().SignalBin, c.tuned) << c.bin;
        EXPECT_EQ(rig.view.calls, Calls{StatusCall(panel::Frequency, c.shown)});
    }
}

TEST(ReceiverPresenter, FrequencyTextRoundsAndWritesNoDigitForZero) {
    struct Case {
        int bin;
        double rate;
        const char* text;
    };
    for (const Case& c : {Case{186, 11025.0, "1001 Hz"}, Case{0, 11025.0, " Hz"},
                          Case{186, -11025.0, "-1001 Hz"}}) {
        EXPECT_EQ(FrequencyText(c.bin, c.rate), c.text) << c.bin << " at " << c.rate;
    }
}

TEST(ReceiverPresenter, AfcEditsKeepTheValueInForceOnBadText) {
    AppRig<> rig;
    struct Case {
        const char* text;
        int hz;
    };
    // One rule for every spin edit: blanks and tabs trimmed, an optional
    // sign, digits only; out of 5..3000 the value in force stays.
    for (const Case& c : {Case{"100", 100}, Case{" 20 ", 20}, Case{"3001", 20}, Case{"4", 20},
                          Case{"abc", 20}, Case{"", 20}, Case{"12x", 20}, Case{"\t+40\t", 40},
                          Case{"-40", 40}, Case{"3000", 3000}}) {
        rig.app.AfcEditExit(c.text);
        EXPECT_EQ(rig.Status().AfcDeviationHz, c.hz) << c.text;
        EXPECT_EQ(rig.view.texts.at(UiItem::AfcEdit), std::to_string(c.hz)) << c.text;
    }
    rig.app.SetAfcDeviationHz(3005);
    EXPECT_EQ(rig.view.texts.at(UiItem::AfcEdit), "3000");
    rig.app.AfcLimitEditExit("7");
    EXPECT_EQ(rig.view.texts.at(UiItem::AfcLimitEdit), "7");
    rig.app.SetAfcLimitHz(2);
    EXPECT_EQ(rig.Status().AfcLimitHz, 5);
    EXPECT_EQ(rig.view.texts.at(UiItem::AfcLimitEdit), "5");
}

TEST(ReceiverPresenter, ButtonsToggleAndShowTheirState) {
    AppRig<> rig;
    rig.app.AfcButtonClick();
    EXPECT_FALSE(rig.Status().Afc);
    rig.app.AutoGoToMaxButtonClick();
    EXPECT_TRUE(rig.Status().AutoGoToMax);
    EXPECT_EQ(rig.view.calls, (Calls{Call("down", UiItem::AfcButton, "0"),
                                     Call("down", UiItem::AutoGoToMaxButton, "1")}));
    // A block with one tone on bin 250 leaves its peak there.
    std::vector<std::int16_t> tone(kBlockSize);
    for (int n = 0; n < kBlockSize; ++n) {
        tone[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(
            std::lround(8000.0 * std::sin(2.0 * std::numbers::pi * 250 * n / kBlockSize)));
    }
    rig.app.ProcessBlock(tone.data(), 1);
    rig.app.GoToMaxButtonClick();
    EXPECT_EQ(rig.Status().SignalBin, 250);
}

// --- threshold and squelch -----------------------------------------------------------

TEST(ReceiverPresenter, ThresholdButtonShowsAutoOrTheKeptThreshold) {
    AppRig<> rig;
    rig.app.SetDetectorThreshold(0.0625);
    EXPECT_EQ(rig.view.calls, Calls{StatusCall(panel::Threshold, "Auto")});  // still automatic
    rig.view.calls.clear();
    rig.app.SoundOutputFilter1Click();  // a menu open holds the displays
    rig.app.AutoTresholdButtonClick();
    EXPECT_EQ(rig.view.calls, (Calls{Call("down", UiItem::AutoTresholdButton, "0"),
                                     StatusCall(panel::Threshold, "0.063")}));
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
    EXPECT_EQ(rig.Status().DetectorThreshold, 0.0625);  // kept as the manual threshold
    rig.app.AutoTresholdButtonClick();
    EXPECT_TRUE(rig.view.down.at(UiItem::AutoTresholdButton));
    EXPECT_EQ(rig.view.Status(panel::Threshold), "Auto");
}

TEST(ReceiverPresenter, OscilloscopeMouseOnTheLinearScale) {
    AppRig<> rig;
    rig.Settings("LogarithmicOsc=0\nLogarithmicSpectrum=0\n");
    // Automatic, limit estimated: nothing changes, but a press still
    // releases the displays.
    rig.app.SoundOutputFilter1Click();
    rig.app.OscilloscopeMouse(25, 101, true);
    EXPECT_EQ(rig.Status().MinAutoThreshold, 0.001);
    EXPECT_EQ(rig.Status().DetectorThreshold, 0.1);
    EXPECT_TRUE(rig.view.calls.empty());
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
    // Automatic, limit fixed by the operator: the limit moves, the panel
    // says "Auto".
    rig.app.SetMinAutoThreshold(0.001, true);
    rig.app.OscilloscopeMouse(25, 101, false);
    EXPECT_DOUBLE_EQ(rig.Status().MinAutoThreshold, 0.75);
    EXPECT_EQ(rig.view.calls, Calls{StatusCall(panel::Threshold, "Auto")});

    // The squelch level from the spectrum, only while it is used.
    EXPECT_FALSE(rig.app.SpectrumSquelchMouse(50, 101));
    EXPECT_EQ(rig.Status().SquelchThreshold, 0.005);
    rig.app.SetSquelch(true, 0.005);
    EXPECT_TRUE(rig.app.SpectrumSquelchMouse(75, 101));
    EXPECT_DOUBLE_EQ(rig.Status().SquelchThreshold, 0.25);
}

TEST(ReceiverPresenter, OscilloscopeMouseOnTheLogarithmicScale) {
    AppRig<> rig;  // the window starts logarithmic
    rig.app.SetAutoThreshold(false);
    rig.app.SoundOutputFilter1Click();
    rig.view.calls.clear();
    rig.app.OscilloscopeMouse(100, 101, false);  // a drag leaves the hold-off
    EXPECT_DOUBLE_EQ(rig.Status().DetectorThreshold, std::exp(-5.75646));
    EXPECT_EQ(rig.view.calls, Calls{StatusCall(panel::Threshold, "0.003")});
    EXPECT_EQ(rig.app.DisplayHoldOff(), 22);
}

// --- the speed window ---------------------------------------------------------------------

TEST(ReceiverPresenter, SpeedLimitsAndLockAreShown) {
    AppRig<> rig;
    rig.app.LockSpeed(150, 100);  // swapped
    EXPECT_EQ(rig.view.calls, (Calls{Call("down", UiItem::SpeedLockButton, "1"),
                                     Call("text", UiItem::LowSpeedEdit, "100"),
                                     Call("text", UiItem::HighSpeedEdit, "150"),
                                     StatusCall(panel::Lpm, "100-150")}));
    rig.app.HighSpeedEditChange("5000");  // the edits keep 5..3000
    EXPECT_EQ(rig.Status().HigherSpeed, 3000);
    EXPECT_EQ(rig.view.texts[UiItem::HighSpeedEdit], "3000");
    EXPECT_EQ(rig.view.Status(panel::Lpm), "100-3000");
}

TEST(ReceiverPresenter, CtrlClickCentresTheWindowAndTheClicksToggle) {
    AppRig<> rig;
    rig.app.SoundOutputFilter1Click();
    rig.app.SpeedLockButtonMouseDown(true);
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
    EXPECT_EQ(
        rig.view.calls,
        (Calls{Call("down", UiItem::SpeedLockButton, "1"), Call("text", UiItem::LowSpeedEdit, "75"),
               Call("text", UiItem::HighSpeedEdit, "125"), StatusCall(panel::Lpm, "75-125")}));

    // The click that follows keeps the lock; the next ones toggle it.
    for (bool down : {true, false, true}) {
        rig.app.SoundOutputFilter1Click();
        rig.app.SpeedLockButtonClick();
        EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
        EXPECT_EQ(rig.view.down[UiItem::SpeedLockButton], down);
    }

    // Without Ctrl the mouse down only releases the displays.
    rig.app.SoundOutputFilter1Click();
    rig.view.calls.clear();
    rig.app.SpeedLockButtonMouseDown(false);
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
    EXPECT_TRUE(rig.view.calls.empty());
}

// A view whose edits report every text change back, as the window's change
// events do.
class EchoingView : public test::FakeMainView {
  public:
    void SetText(UiItem item, std::string_view text) override {
        FakeMainView::SetText(item, text);
        if (app == nullptr) return;
        ++echoes;
        if (item == UiItem::LowSpeedEdit) app->LowSpeedEditChange(text);
        if (item == UiItem::HighSpeedEdit) app->HighSpeedEditChange(text);
    }
    QuelpApp* app = nullptr;
    int echoes = 0;
};

TEST(ReceiverPresenter, TypedLimitsAreAppliedSwappedAndWithoutRecursion) {
    AppRig<EchoingView> rig;
    rig.view.app = &rig.app;

    rig.app.LowSpeedEditChange("200");  // above the higher limit: swapped
    EXPECT_EQ(rig.Status().LowerSpeed, 150);
    EXPECT_EQ(rig.Status().HigherSpeed, 200);
    EXPECT_EQ(rig.view.texts[UiItem::LowSpeedEdit], "150");
    EXPECT_EQ(rig.view.texts[UiItem::HighSpeedEdit], "200");
    EXPECT_EQ(rig.view.echoes, 2);  // each write came back once and was absorbed

    rig.app.HighSpeedEditChange("abc");  // not a number: the limit stays
    EXPECT_EQ(rig.Status().HigherSpeed, 200);
    rig.app.HighSpeedEditChange(" 9000 ");
    EXPECT_EQ(rig.Status().HigherSpeed, 3000);
    EXPECT_EQ(rig.app.Rx().Params().Speed.LowerDotLimit, DotSamples(11025.0, 3000));
    rig.app.LowSpeedEditChange("-20");
    EXPECT_EQ(rig.Status().LowerSpeed, 5);
}

TEST(SpinControl, TypedTextIsANumberOrNothing) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    struct Case {
        const char* text;
        std::optional<std::int64_t> typed;
        int limited;  // for the speed edits
    };
    const Case cases[] = {
        {"105", 105, 105},
        {" \t+20\t ", 20, 20},
        {"-20", -20, 5},
        {"2", 2, 5},
        {"3003", 3003, 3000},
        {"", std::nullopt, 0},
        {"12x", std::nullopt, 0},
        {"1 2", std::nullopt, 0},
        {"99999999999999999999", kMax, 3000},
        {"-99999999999999999999", kMin, 5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SpinControl::Typed(c.text), c.typed) << '"' << c.text << '"';
        if (c.typed) {
            EXPECT_EQ(SpinControl::Limited(*c.typed), c.limited) << c.text;
        }
    }
}

// --- the sender's speed ----------------------------------------------------------------------

TEST(ReceiverPresenter, SpeedFromTheStartEstimates) {
    PresentedReceiver r;
    r.presenter.Show(ReceiverChange::Speed);  // PARIS in 33100 samples
    EXPECT_EQ(r.view.calls,
              (Calls{StatusCall(panel::Lpm, "100 LPM"), StatusCall(panel::Wpm, "20.0 WPM")}));
}

TEST(ReceiverPresenter, WpmHasOneDecimalAndNoPadding) {
    const std::pair<double, const char*> cases[] = {
        {19.98, "20.0"}, {5.2, "5.2"}, {60.0, "60.0"},      {100.0, "100.0"}, {2.25, "2.3"},
        {0.46, ".5"},    {0.04, ".0"}, {1234.56, "1234.6"}, {9.96, "10.0"},   {19.949, "19.9"},
    };
    for (const auto& [wpm, text] : cases) EXPECT_EQ(FormatWpm(wpm), text) << wpm;
}

// --- the character table and the displays -------------------------------------------------------

TEST(ReceiverPresenter, TheTableInForceDecidesThePrintedBytes) {
    PresentedReceiver r;
    EXPECT_EQ(r.receiver.Character(2), "e");
    ASSERT_TRUE(r.receiver.UseCharset(charset::Russian, ""));
    EXPECT_EQ(r.receiver.Character(2), "\xE5");
    ASSERT_TRUE(r.receiver.UseCharset(charset::Swedish, ""));
    EXPECT_EQ(r.receiver.Character(21), "\xE4");
}

TEST(ReceiverPresenter, MenusHoldTheDisplaysAndCommandsReleaseThem) {
    AppRig<> rig;
    rig.app.OpenCaptureFile1Click();  // the dialog is cancelled
    EXPECT_EQ(rig.app.DisplayHoldOff(), 22);
    EXPECT_EQ(rig.app.CloseCaptureFile1Click(), CaptureCloseResult::NothingOpen);
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
    rig.app.SoundOutputFilter1Click();
    EXPECT_EQ(rig.app.DisplayHoldOff(), 22);
    EXPECT_TRUE(rig.app.SoundOutputMenuClick(UiItem::N600Hz1));
    EXPECT_EQ(rig.app.DisplayHoldOff(), 1);
    EXPECT_EQ(rig.app.SoundOutputCode(), 600);
}

TEST(ReceiverPresenter, AUserTableThatDoesNotLoadIsSaidAndEnglishTaken) {
    AppRig<> rig;
    EXPECT_TRUE(rig.app.ApplyCharsetChoice(charset::User, true, "/no/such/table.qlp"));
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0].first, "Error with user charset file!");
    EXPECT_EQ(rig.view.messages[0].second, "Error");
    EXPECT_EQ(rig.Status().Charset, charset::English);
    EXPECT_FALSE(rig.app.ApplyCharsetChoice(charset::Russian, true, ""));
    EXPECT_EQ(rig.view.messages.size(), 1u);
}

}  // namespace
}  // namespace quelp
