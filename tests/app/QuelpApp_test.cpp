#include "app/QuelpApp.h"

#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

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
}

}  // namespace
}  // namespace quelp
