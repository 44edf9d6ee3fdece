#include "app/QuelpApp.h"

#include <gtest/gtest.h>

#include "app/ReceiverRig.h"
#include "support/CwSynth.h"

namespace quelp {
namespace {

TEST(QuelpApp, StartsWithTheBuiltInDefaults) {
    test::ReceiverRig rig;
    const QuelpApp& app = rig.app;
    const DecoderSpeed& speed = app.Rx().Params().Speed;
    EXPECT_EQ(app.Rx().Params().SamplingFreq, 11025.0);
    EXPECT_EQ(speed.DotLen, 662);
    EXPECT_EQ(speed.DashLen, 1986);
    EXPECT_EQ(speed.LowerDotLimit, 441);
    EXPECT_EQ(speed.UpperDotLimit, 662);
    EXPECT_EQ(app.Params().SettingsPath, "./QUELP.INI");
    EXPECT_EQ(app.Rx().BurstLength(), 175);
    EXPECT_EQ(app.Rx().Decoder().PauseDots(), 10.0);
    EXPECT_TRUE(rig.view.calls.empty());  // construction shows nothing
}

TEST(QuelpApp, DecodedTextReachesWindowExchangeAndCaptureFile) {
    test::ReceiverRig rig;
    ASSERT_TRUE(rig.app.OpenCaptureFileByName("cap.txt"));

    // On the receive frequency, keyed from the first sample on, so no word
    // space of silence comes first.
    test::CwSynthOptions o;
    o.signal.text = "cq <AR>";
    o.signal.freqHz = 186 * 11025.0 / 2048;
    o.signal.startSec = 0.0;
    o.tailSec = 1.0;
    rig.Feed(test::ToPcm16(test::SynthesizeCw(o).samples));
    EXPECT_EQ(rig.rx.text, "cq AR ");
    EXPECT_EQ(rig.exchange.received, "cq AR ");
    EXPECT_EQ(rig.sink.contents, "cq AR ");
    // Its three characters, and the empty one that the key-up time of the
    // chain's delay (about 570 samples) ends before the first mark.
    EXPECT_EQ(rig.app.Rx().Params().Speed.DecodedChars, 3 + 1);
}

}  // namespace
}  // namespace quelp
