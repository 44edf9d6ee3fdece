#include "audio/SoundOutput.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "dsp/MainFilterTable.h"
#include "support/FakeMainView.h"
#include "support/FakeSoundDriver.h"

namespace quelp {
namespace {

using Messages = std::vector<std::pair<std::string, std::string>>;

struct OutputRig {
    test::FakeSoundDriver driver;
    SoundCardOptions cards;
    test::FakeMainView view;
    SineTable sine;
    std::int32_t phaseStep = 0;
    DspSound filter{sine, phaseStep};
    SoundOut out{driver, cards, view};
    SoundOutput output{out, view, filter};

    // The rate the output filter runs at; None while no filter was loaded.
    RateCode FilterRate() const { return filter.Disabled() ? RateCode::None : filter.Rate(); }

    UiItem Checked() const {
        UiItem found = UiItem::ClearBuffer1;
        int count = 0;
        for (auto [item, on] : view.checked) {
            if (on) {
                found = item;
                ++count;
            }
        }
        EXPECT_EQ(count, 1);
        return found;
    }
    std::string Caption() const { return view.captions.at(UiItem::SoundOutputFilter1); }
};

TEST(SoundOutput, EveryMenuEntryShowsItsCaptionChecksItselfAndStoresItsCode) {
    struct Case {
        UiItem item;
        int code;
        const char* caption;
    };
    const Case cases[] = {
        {UiItem::SoundOff1, 0, "Sound Output  (Off)"},
        {UiItem::SoundWithoutFiltering1, 9998, "Sound Output  (Bypass)"},
        {UiItem::N10Hz1, 10, "Sound Output  (10Hz)"},
        {UiItem::N20Hz1, 20, "Sound Output  (20Hz)"},
        {UiItem::N30Hz1, 30, "Sound Output  (30Hz)"},
        {UiItem::N70Hz1, 70, "Sound Output  (70Hz)"},
        {UiItem::N140Hz1, 140, "Sound Output  (140 Hz)"},
        {UiItem::N280Hz1, 280, "Sound Output  (280 Hz)"},
        {UiItem::N600Hz1, 600, "Sound Output  (600 Hz)"},
        {UiItem::N1000Hz1, 1000, "Sound Output  (1000 Hz)"},
        {UiItem::N2000Hz1, 2000, "Sound Output  (2000 Hz)"},
        {UiItem::N3000Hz1, 3500, "Sound Output  (3000 Hz)"},
        {UiItem::N100Hz1, 101, "Sound Output  (100 Hz IIR)"},
        {UiItem::N250Hz1, 251, "Sound Output  (250 Hz IIR)"},
        {UiItem::N1000Hz2, 1001, "Sound Output  (1000 Hz IIR)"},
    };
    for (const Case& c : cases) {
        OutputRig rig;
        int code = -1;
        ASSERT_TRUE(SoundOutput::CodeOf(c.item, code));
        EXPECT_EQ(code, c.code) << c.caption;
        EXPECT_EQ(rig.output.SelectSoundOutput(code), c.code);
        EXPECT_EQ(rig.output.SoundFilter, c.code) << c.caption;
        EXPECT_EQ(rig.Caption(), c.caption);
        EXPECT_EQ(rig.Checked(), c.item) << c.caption;
        // The device is open exactly while the selection is not "Sound Off".
        EXPECT_EQ(rig.out.IsOpen(), c.code != 0) << c.caption;
        const bool filtered = c.code != 0 && c.code != 9998;
        EXPECT_EQ(rig.FilterRate(), filtered ? FindMainFilter(c.code)->Rate : RateCode::None);
        EXPECT_TRUE(rig.view.messages.empty());
    }
    int code = -1;
    EXPECT_FALSE(SoundOutput::CodeOf(UiItem::FIR600Menu, code));
}

TEST(SoundOutput, AnUnknownStoredCodeStartsWithTheSoundOff) {
    OutputRig rig;
    rig.output.SoundFilter = 3000;  // the bandwidth, not the code of that entry
    rig.output.RestartSoundOutput(rig.cards.OutSoundCardNumber);
    EXPECT_EQ(rig.output.SoundFilter, 0);
    EXPECT_EQ(rig.Caption(), "Sound Output  (Off)");
    EXPECT_EQ(rig.Checked(), UiItem::SoundOff1);
    EXPECT_FALSE(rig.driver.isOpen);
    EXPECT_EQ(rig.FilterRate(), RateCode::None);

    // A stored valid code is restored; a negative device number means the
    // default device, any other is opened as it is.
    rig.output.SoundFilter = 3500;
    rig.output.RestartSoundOutput(-7);
    EXPECT_EQ(rig.output.SoundFilter, 3500);
    EXPECT_EQ(rig.driver.openedDevice, -1);
    rig.driver.names.assign(12, "card");
    rig.output.RestartSoundOutput(11);
    EXPECT_EQ(rig.driver.openedDevice, 11);
}

TEST(SoundOutput, BypassTogglesAgainstTheLastOtherSelection) {
    OutputRig rig;
    rig.output.RestartSoundOutput(-1);  // start-up with the sound off
    rig.output.ToggleSoundBypass();
    EXPECT_EQ(rig.output.SoundFilter, 9998);
    EXPECT_EQ(rig.Caption(), "Sound Output  (Bypass)");
    rig.output.ToggleSoundBypass();
    EXPECT_EQ(rig.output.SoundFilter, 0);
    EXPECT_EQ(rig.Caption(), "Sound Output  (Off)");
    EXPECT_FALSE(rig.out.IsOpen());

    rig.output.SelectSoundOutput(600);
    rig.output.ToggleSoundBypass();
    EXPECT_EQ(rig.output.LastSoundFilter(), 600);
    rig.filter.SetFir(0, 0, nullptr);  // unloaded: the way back must load it again
    rig.output.ToggleSoundBypass();
    EXPECT_EQ(rig.output.SoundFilter, 600);
    EXPECT_EQ(rig.FilterRate(), RateCode::R2756);
}

TEST(SoundOutput, OpenFailuresAreReportedAndLeaveTheSoundOff) {
    struct Case {
        void (*script)(test::FakeSoundDriver&);
        const char* text;
        const char* caption;
    };
    const char* openCaption = "Quelp - Output Sound Device Open Error";
    // The texts by result code are shared with the input and checked there.
    const Case cases[] = {
        {[](test::FakeSoundDriver& d) { d.names.clear(); }, "No sound output device", "Error"},
        {[](test::FakeSoundDriver& d) { d.openResult = SoundResult::Allocated; },
         "  Specified resource is already allocated", openCaption},
        {[](test::FakeSoundDriver& d) { d.openResult = static_cast<SoundResult>(99); },
         " Unrecognized ERROR ", openCaption},
        {[](test::FakeSoundDriver& d) {
             d.prepareFailsAt = 2;
             d.prepareResult = SoundResult::InvalidParam;
         },
         "Error in Prepare Output Header! (11)", "Error"},
    };
    for (const Case& c : cases) {
        OutputRig rig;
        c.script(rig.driver);
        EXPECT_EQ(rig.output.SelectSoundOutput(9998), 0) << c.text;
        EXPECT_EQ(rig.view.messages, (Messages{{c.text, c.caption}}));
        EXPECT_EQ(rig.Caption(), "Sound Output  (Off)");
        EXPECT_EQ(rig.Checked(), UiItem::SoundOff1);
        EXPECT_FALSE(rig.driver.isOpen) << c.text;
        EXPECT_EQ(rig.output.LastSoundFilter(), 0);
    }
}

TEST(SoundOutput, TheFirstBufferReachesTheDeviceAfter1024FurtherSamples) {
    OutputRig rig;
    rig.output.SelectSoundOutput(9998);
    for (int i = 0; i < 1023; ++i) rig.output.FeedSoundOutput(static_cast<int16_t>(i + 1));
    EXPECT_EQ(rig.driver.Held(), 0);
    rig.output.FeedSoundOutput(1024);
    ASSERT_EQ(rig.driver.Held(), 1);
    EXPECT_EQ(rig.out.FreeBuffers.load(), 3);
    ASSERT_TRUE(rig.driver.CompleteNext());
    ASSERT_EQ(rig.driver.played.size(), 2048u);
    for (int i = 0; i < 2048; ++i) EXPECT_EQ(rig.driver.played[i], i < 1024 ? 0 : i - 1023);
    EXPECT_EQ(rig.out.FreeBuffers.load(), 4);
}

TEST(SoundOutput, FilteredSamplesAreScaledByFourRoundedAndLimited) {
    // With the mixer at 0 Hz and a single tap of 5/16 at the full rate, the
    // filter gives exactly 5/16 of each sample: played, 5/4 of it rounded
    // half up.
    static constexpr double kTap = 0.3125;
    const std::pair<int16_t, int16_t> cases[] = {
        {32767, 32767}, {-32767, -32767}, {1, 1}, {-1, -1}, {2, 3}, {-2, -2}, {3, 4}, {-3, -4}};
    OutputRig rig;
    rig.output.SelectSoundOutput(140);
    rig.filter.SetFir(static_cast<std::int32_t>(RateCode::R11025), 1, &kTap);
    for (const auto& c : cases) rig.output.FeedSoundOutput(c.first);
    for (auto i = std::ssize(cases); i < 1024; ++i) rig.output.FeedSoundOutput(0);
    ASSERT_TRUE(rig.driver.CompleteNext());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(rig.driver.played[1024 + i], cases[i].second) << cases[i].first;
    }
}

TEST(SoundOutput, AStereoDeviceCarriesTheSoundOnOneChannelOnly) {
    for (int channel : {1, 2}) {
        OutputRig rig;
        rig.cards.OutputCardChannel = channel;
        rig.output.SelectSoundOutput(9998);
        EXPECT_EQ(rig.driver.format.channels, 2);
        for (int i = 0; i < 1024; ++i) rig.output.FeedSoundOutput(1000);
        ASSERT_TRUE(rig.driver.CompleteNext());
        ASSERT_EQ(rig.driver.played.size(), 4096u);
        const int sound = channel == 1 ? 0 : 1;
        for (int k = 1024; k < 2048; ++k) {
            EXPECT_EQ(rig.driver.played[2 * k + sound], 1000);
            EXPECT_EQ(rig.driver.played[2 * k + 1 - sound], 0);
        }
    }
}

TEST(SoundOutput, PutSampleRefusesWhenFullClosedOrAfterAFailedWrite) {
    OutputRig rig;
    EXPECT_EQ(rig.out.PutSample(1), SoundOutPutResult::Closed);  // never opened
    ASSERT_EQ(rig.out.Open(-1), SoundOutOpenResult::Ok);
    for (int i = 0; i < 4 * 2048; ++i) ASSERT_EQ(rig.out.PutSample(1), SoundOutPutResult::Ok);
    EXPECT_EQ(rig.out.FreeBuffers.load(), 0);
    EXPECT_EQ(rig.out.PutSample(1), SoundOutPutResult::NoFreeBuffer);  // dropped, no message
    rig.driver.CompleteNext();
    EXPECT_EQ(rig.out.PutSample(1), SoundOutPutResult::Ok);

    rig.driver.addFailsAt = rig.driver.adds;
    rig.driver.addResult = SoundResult::InvalidHandle;
    for (int i = 1; i < 2047; ++i) ASSERT_EQ(rig.out.PutSample(1), SoundOutPutResult::Ok);
    EXPECT_EQ(rig.out.PutSample(1), SoundOutPutResult::WriteFailed);
    EXPECT_EQ(rig.view.messages, (Messages{{"  Error in Out Write! (5)", "Error"}}));
    EXPECT_FALSE(rig.driver.isOpen);
    EXPECT_EQ(rig.out.PutSample(1), SoundOutPutResult::Closed);
    rig.out.Close();  // harmless now
    EXPECT_EQ(rig.out.FreeBuffers.load(), 4);
}

TEST(SoundOutput, CloseWaitsForBuffersGivenBackOnTheDriverThread) {
    OutputRig rig;
    rig.output.SelectSoundOutput(9998);
    for (int i = 0; i < 3 * 2048; ++i) rig.output.FeedSoundOutput(1);
    EXPECT_EQ(rig.driver.Held(), 3);
    EXPECT_FALSE(rig.output.WaitingForOutputBuffer());
    for (int i = 0; i < 2048; ++i) rig.output.FeedSoundOutput(1);
    EXPECT_TRUE(rig.output.WaitingForOutputBuffer());

    rig.driver.resetOnThreadMs = 40;
    rig.output.SelectSoundOutput(0);
    EXPECT_EQ(rig.driver.Held(), 0);
    EXPECT_EQ(rig.driver.unprepareFailures, 0);  // all back before unprepare
    EXPECT_FALSE(rig.driver.isOpen);
    EXPECT_EQ(rig.out.FreeBuffers.load(), 4);
    EXPECT_FALSE(rig.output.WaitingForOutputBuffer());
}

}  // namespace
}  // namespace quelp
