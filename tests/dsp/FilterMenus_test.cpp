#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dsp/FilterMenus.h"
#include "dsp/MainFilterTable.h"
#include "support/FakeMainView.h"

namespace quelp {
namespace {

using test::FakeMainView;

class FilterMenusTest : public ::testing::Test {
  protected:
    SineTable sine;
    ReceiveChain chain{sine};
    FakeMainView view;
    int32_t burstLength = 175;
    FilterMenus menus{chain, view, burstLength};

    int CheckedCount(const std::vector<UiItem>& group) const {
        int n = 0;
        for (UiItem item : group) {
            auto it = view.checked.find(item);
            n += (it != view.checked.end() && it->second) ? 1 : 0;
        }
        return n;
    }
};

TEST_F(FilterMenusTest, MainFilterCodesAliasesAndUnknownCodes) {
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
    std::vector<int> handedOver;
    menus.MainFilterHook = [&](int code) { handedOver.push_back(code); };
    std::vector<UiItem> group;
    for (const MainFilterRow& row : AllMainFilters()) group.push_back(row.MenuItem);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        menus.SelectMainFilter(c.code);
        EXPECT_EQ(menus.MainFilterCode, c.stored);
        EXPECT_EQ(view.captions[UiItem::MainFilterMenu], c.caption);
        EXPECT_EQ(view.Status(panel::MainFilter), c.status);
        EXPECT_TRUE(view.checked[c.item]);
        EXPECT_EQ(CheckedCount(group), 1);
        EXPECT_EQ(chain.ActiveRate(), c.rate);
        ASSERT_FALSE(handedOver.empty());
        EXPECT_EQ(handedOver.back(), c.stored);
    }
}

TEST_F(FilterMenusTest, BurstFilterLengthsAndTexts) {
    struct Case {
        int32_t lpm;
        int32_t length;
        const char* shown;
        UiItem item;
    };
    const Case cases[] = {
        {5, 7000, "5", UiItem::N5CPM1},        {200, 175, "200", UiItem::N200CPM1},
        {300, 117, "299", UiItem::N300CPM1},   {1500, 23, "1522", UiItem::N1500CPM1},
        {2500, 14, "2500", UiItem::N2500CPM1}, {5000, 7, "5000", UiItem::N5000CPM1},
    };
    std::vector<int32_t> handedOver;
    menus.BurstLengthHook = [&](int32_t length) { handedOver.push_back(length); };
    const std::vector<UiItem> group = {UiItem::N5CPM1,    UiItem::N10CPM1,   UiItem::N25CPM1,
                                       UiItem::N50CPM1,   UiItem::N100CPM1,  UiItem::N200CPM1,
                                       UiItem::N300CPM1,  UiItem::N500CPM1,  UiItem::N1000CPM1,
                                       UiItem::N1500CPM1, UiItem::N2500CPM1, UiItem::N3000CPM1,
                                       UiItem::N5000CPM1};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lpm);
        chain.PhaseResetFlag = 0;
        menus.SelectBurstFilter(c.lpm);
        EXPECT_EQ(burstLength, c.length);
        EXPECT_EQ(handedOver.back(), c.length);
        EXPECT_EQ(chain.PhaseResetFlag, 1);
        EXPECT_EQ(view.captions[UiItem::CwFilterMenu],
                  std::string("Burst Filter (") + c.shown + " LPM)");
        EXPECT_EQ(view.Status(panel::BurstFilter), std::string("BF: ") + c.shown);
        EXPECT_TRUE(view.checked[c.item]);
        EXPECT_EQ(CheckedCount(group), 1);
    }

    // A speed off the menu sets the length but checks nothing anew.
    menus.SelectBurstFilter(150);
    EXPECT_EQ(burstLength, 233);
    EXPECT_EQ(view.Status(panel::BurstFilter), "BF: 150");
    EXPECT_TRUE(view.checked[UiItem::N5000CPM1]);
    EXPECT_EQ(CheckedCount(group), 1);
}

TEST_F(FilterMenusTest, BurstFilterSurvivesSpeedsOffTheScale) {
    menus.SelectBurstFilter(200);
    const auto calls = view.calls.size();
    chain.PhaseResetFlag = 0;
    for (int32_t lpm : {0, -100}) menus.SelectBurstFilter(lpm);
    EXPECT_EQ(burstLength, 175);
    EXPECT_EQ(view.calls.size(), calls);
    EXPECT_EQ(chain.PhaseResetFlag, 0);

    menus.SelectBurstFilter(100000);  // rounds to 0 samples: clamped to 1
    EXPECT_EQ(burstLength, 1);
    EXPECT_EQ(view.Status(panel::BurstFilter), "BF: 35000");
}

TEST_F(FilterMenusTest, StoredLengthIsShownUnchanged) {
    for (const auto& [length, shown] :
         {std::pair{175, "BF: 200"}, std::pair{300, "BF: 117"}, std::pair{0, "BF: 0"}}) {
        burstLength = length;
        menus.ShowBurstFilter();
        EXPECT_EQ(burstLength, length);
        EXPECT_EQ(view.Status(panel::BurstFilter), shown);
    }
}

}  // namespace
}  // namespace quelp
