#include "app/QuelpApp.h"

#include <gtest/gtest.h>

#include "support/FakeCaptureSink.h"
#include "support/FakeClock.h"
#include "support/FakeExchangeLibrary.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"
#include "support/Keying.h"

namespace quelp {
namespace {

TEST(QuelpApp, StartsWithTheBuiltInDefaults) {
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    QuelpApp app({view, clock, dialogs, rx});
    const Quelp_Params& p = app.Params();
    EXPECT_EQ(p.SamplingFreq, 11025.0);
    EXPECT_EQ(p.DotLen, 662);
    EXPECT_EQ(p.DashLen, 1986);
    EXPECT_EQ(p.LowerDotLimit, 441);
    EXPECT_EQ(p.UpperDotLimit, 662);
    EXPECT_EQ(p.SettingsPath, "./QUELP.INI");
    EXPECT_EQ(app.Decoder().Burst.BurstLength, 175);
    EXPECT_EQ(app.Decoder().PauseDots(), 10.0);
    EXPECT_TRUE(view.calls.empty());  // construction shows nothing
}

TEST(QuelpApp, DecodedTextReachesWindowExchangeAndCaptureFile) {
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    test::FakeCaptureSink sink;
    test::FakeExchangeLibrary exchange;
    QuelpApp app({view, clock, dialogs, rx, &sink, &exchange});
    app.Capture().OpenCaptureFileByName("cap.txt");

    test::KeyingOptions options;
    options.wpm = 20;
    for (const test::KeyRun& run : test::KeyText("cq <AR>", options)) {
        for (std::int64_t i = 0; i < run.samples; ++i) app.Decoder().DecodeSample(run.down);
    }
    EXPECT_EQ(rx.text, "cq AR ");
    EXPECT_EQ(exchange.received, "cq AR ");
    EXPECT_EQ(sink.contents, "cq AR ");
    EXPECT_EQ(app.Params().DecodedChars, 3);
}

}  // namespace
}  // namespace quelp
