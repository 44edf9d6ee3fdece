#include "dsp/FilterMenus.h"

#include <array>
#include <string>
#include <utility>

#include "dsp/MainFilterTable.h"

namespace quelp {

namespace {

// The burst filter speeds the menu offers, with their items.
constexpr std::array<std::pair<int32_t, UiItem>, 13> kBurstItems = {{
    {5, UiItem::N5CPM1},
    {10, UiItem::N10CPM1},
    {25, UiItem::N25CPM1},
    {50, UiItem::N50CPM1},
    {100, UiItem::N100CPM1},
    {200, UiItem::N200CPM1},
    {300, UiItem::N300CPM1},
    {500, UiItem::N500CPM1},
    {1000, UiItem::N1000CPM1},
    {1500, UiItem::N1500CPM1},
    {2500, UiItem::N2500CPM1},
    {3000, UiItem::N3000CPM1},
    {5000, UiItem::N5000CPM1},
}};

// 35000 / n rounded, in integer arithmetic: speed in LPM to length in samples
// and back. 35000 is a fixed count, it does not follow the sampling rate.
int32_t RoundedQuotient(int32_t n) {
    return (n / 2 + 35000) / n;
}

}  // namespace

FilterMenus::FilterMenus(ReceiveChain& chain, MainView& view, int32_t& burstLength)
    : chain_(chain), view_(view), burstLength_(burstLength) {}

void FilterMenus::SelectMainFilter(int code) {
    const MainFilterRow& row = ResolveMainFilter(code);
    MainFilterCode = row.Code;

    view_.SetCaption(UiItem::MainFilterMenu, row.Caption);
    // The items form one radio group; clear the others so every view shows
    // exactly one check.
    for (const MainFilterRow& other : AllMainFilters()) {
        if (other.MenuItem != row.MenuItem) view_.SetChecked(other.MenuItem, false);
    }
    view_.SetChecked(row.MenuItem, true);
    view_.SetStatusText(panel::MainFilter, row.Status);

    if (row.Fir != nullptr) {
        chain_.LoadFir(*row.Fir, row.Rate);
    } else {
        chain_.LoadIir(*row.Iir);
    }
    if (MainFilterHook) MainFilterHook(row.Code);
}

void FilterMenus::SelectBurstFilter(int32_t lpm) {
    if (lpm < 1) return;  // the length would divide by zero or turn negative
    int32_t length = RoundedQuotient(lpm);
    if (length < 1) length = 1;  // above 70000 LPM
    burstLength_ = length;
    chain_.PhaseResetFlag = 1;
    if (BurstLengthHook) BurstLengthHook(length);
    ShowBurstFilter();

    for (const auto& [speed, item] : kBurstItems) {
        if (speed != lpm) continue;
        for (const auto& other : kBurstItems) {
            if (other.second != item) view_.SetChecked(other.second, false);
        }
        view_.SetChecked(item, true);
    }
}

void FilterMenus::RestoreBurstLength(int32_t length) {
    burstLength_ = length;
    chain_.PhaseResetFlag = 1;
    if (BurstLengthHook) BurstLengthHook(length);
}

void FilterMenus::ShowBurstFilter() {
    // A stored length below 1 has no speed to show; show 0 rather than divide
    // by zero.
    const int32_t shown = burstLength_ >= 1 ? RoundedQuotient(burstLength_) : 0;
    const std::string speed = std::to_string(shown);
    view_.SetCaption(UiItem::CwFilterMenu, "Burst Filter (" + speed + " LPM)");
    view_.SetStatusText(panel::BurstFilter, "BF: " + speed);
}

}  // namespace quelp
