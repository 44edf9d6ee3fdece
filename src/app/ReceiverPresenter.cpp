#include "app/ReceiverPresenter.h"

#include <array>
#include <cmath>
#include <string_view>
#include <utility>

#include "decoder/BurstFilter.h"
#include "dsp/LevelScale.h"
#include "dsp/MainFilterTable.h"

namespace quelp {

namespace {

struct MainFilterEntry {
    int code;
    UiItem item;
    std::string_view caption;  // of MainFilterMenu
    std::string_view status;   // status panel 0
};

// Captions keep their irregular spacing: the window has always shown them so.
constexpr std::array<MainFilterEntry, 13> kMainFilters = {{
    {10, UiItem::FIR10Menu, "Main Filter  (10Hz)", "MF: 10 Hz"},
    {20, UiItem::FIR20Menu, "Main Filter  (20Hz)", "MF: 20 Hz"},
    {30, UiItem::FIR30Menu, "Main Filter  (30Hz)", "MF: 30 Hz"},
    {70, UiItem::FIR70Menu, "Main Filter  (70Hz)", "MF: 70 Hz"},
    {140, UiItem::FIR140Menu, "Main Filter  (140 Hz)", "MF: 140 Hz"},
    {280, UiItem::FIR280Menu, "Main Filter  (280Hz)", "MF: 280 Hz"},
    {600, UiItem::FIR600Menu, "Main Filter  (600Hz)", "MF: 600 Hz"},
    {1000, UiItem::FIR1000Menu, "Main Filter  (1000Hz)", "MF: 1000 Hz"},
    {2000, UiItem::FIR2000Menu, "Main Filter  (2000Hz)", "MF: 2000 Hz"},
    {3500, UiItem::FIR3000Menu, "Main Filter  (3000Hz)", "MF: 3000 Hz"},
    {101, UiItem::IIR100Menu, "Main Filter  (100 Hz IIR)", "MF: 100 IIR"},
    {251, UiItem::IIR250Menu, "Main Filter  (250 Hz IIR)", "MF: 250 IIR"},
    {1001, UiItem::IIR1000Menu, "Main Filter  (1000 Hz IIR)", "MF: 1000 IIR"},
}};

// The burst filter speeds the menu offers, with their items.
constexpr std::array<std::pair<std::int32_t, UiItem>, 13> kBurstItems = {{
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

constexpr std::array<std::pair<int, UiItem>, 7> kZoomItems = {{
    {1, UiItem::Zoom1},
    {2, UiItem::Zoom2},
    {3, UiItem::Zoom3},
    {4, UiItem::Zoom4},
    {5, UiItem::Zoom5},
    {10, UiItem::Zoom10},
    {20, UiItem::Zoom20},
}};

const MainFilterEntry& MainFilterEntryOf(int code) {
    const int canonical = ResolveMainFilter(code).Code;
    for (const MainFilterEntry& e : kMainFilters) {
        if (e.code == canonical) return e;
    }
    return kMainFilters[4];  // 140 Hz, as ResolveMainFilter falls back
}

std::string Number(long long n) {
    return std::to_string(n);
}

}  // namespace

const SpinControl ReceiverPresenter::kAfcSpin{UiItem::AfcEdit};
const SpinControl ReceiverPresenter::kAfcLimitSpin{UiItem::AfcLimitEdit};
const SpinControl ReceiverPresenter::kLowSpeedSpin{UiItem::LowSpeedEdit};
const SpinControl ReceiverPresenter::kHighSpeedSpin{UiItem::HighSpeedEdit};

void ReceiverPresenter::Show(ReceiverChange change) {
    const ReceiverStatus s = receiver_.Status();
    switch (change) {
        case ReceiverChange::MainFilter: {
            const MainFilterEntry& row = MainFilterEntryOf(s.MainFilterCode);
            view_.SetCaption(UiItem::MainFilterMenu, row.caption);
            // The items form one radio group; clear the others so every view
            // shows exactly one check.
            for (const MainFilterEntry& other : kMainFilters) {
                if (other.item != row.item) view_.SetChecked(other.item, false);
            }
            view_.SetChecked(row.item, true);
            view_.SetStatusText(panel::MainFilter, row.status);
            break;
        }
        case ReceiverChange::BurstFilter: {
            // A stored length below 1 has no speed to show; show 0 rather
            // than divide by zero.
            const std::string speed = Number(s.BurstLength >= 1 ? BurstQuotient(s.BurstLength) : 0);
            view_.SetCaption(UiItem::CwFilterMenu, "Burst Filter (" + speed + " LPM)");
            view_.SetStatusText(panel::BurstFilter, "BF: " + speed);
            break;
        }
        case ReceiverChange::Frequency:
            view_.SetStatusText(panel::Frequency, FrequencyText(s.SignalBin, s.SamplingFreq));
            break;
        case ReceiverChange::Threshold:
            view_.SetStatusText(panel::Threshold, s.AutoThreshold
                                                      ? std::string("Auto")
                                                      : FormatLevel(s.DetectorThreshold));
            break;
        case ReceiverChange::AutoThreshold:
            view_.SetDown(UiItem::AutoTresholdButton, s.AutoThreshold);
            break;
        case ReceiverChange::Afc:
            view_.SetDown(UiItem::AfcButton, s.Afc);
            break;
        case ReceiverChange::AutoGoToMax:
            view_.SetDown(UiItem::AutoGoToMaxButton, s.AutoGoToMax);
            break;
        case ReceiverChange::AfcDeviation:
            kAfcSpin.Show(view_, s.AfcDeviationHz);
            break;
        case ReceiverChange::AfcLimit:
            kAfcLimitSpin.Show(view_, s.AfcLimitHz);
            break;
        case ReceiverChange::SpeedLimits:
            kLowSpeedSpin.Show(view_, s.LowerSpeed);
            kHighSpeedSpin.Show(view_, s.HigherSpeed);
            break;
        case ReceiverChange::SpeedWindow:
            view_.SetStatusText(panel::Lpm, Number(s.LowerSpeed) + "-" + Number(s.HigherSpeed));
            break;
        case ReceiverChange::SpeedLock:
            view_.SetDown(UiItem::SpeedLockButton, s.SpeedLocked);
            break;
        case ReceiverChange::Speed:
            if (s.Speed) {
                view_.SetStatusText(panel::Lpm, Number(s.Speed->lpm) + " LPM");
                view_.SetStatusText(panel::Wpm, FormatWpm(s.Speed->wpm) + " WPM");
            }
            break;
        case ReceiverChange::GoneToMax:
            // The status bar shows the new frequency only after a click; the
            // rig follows in the application.
            break;
    }
}

void ReceiverPresenter::ShowBurstChoice(std::int32_t lpm) {
    for (const auto& [speed, item] : kBurstItems) {
        if (speed != lpm) continue;
        for (const auto& other : kBurstItems) {
            if (other.second != item) view_.SetChecked(other.second, false);
        }
        view_.SetChecked(item, true);
    }
}

void ReceiverPresenter::ShowZoom(int zoom) {
    // One radio group: exactly one item checked in every view.
    for (const auto& [factor, item] : kZoomItems) view_.SetChecked(item, factor == zoom);
}

UiItem ReceiverPresenter::MainFilterItem(int code) {
    return MainFilterEntryOf(code).item;
}

bool ReceiverPresenter::MainFilterCodeOf(UiItem item, int& code) {
    for (const MainFilterEntry& e : kMainFilters) {
        if (e.item == item) {
            code = e.code;
            return true;
        }
    }
    return false;
}

bool ReceiverPresenter::BurstSpeedOf(UiItem item, std::int32_t& lpm) {
    for (const auto& [speed, i] : kBurstItems) {
        if (i == item) {
            lpm = speed;
            return true;
        }
    }
    return false;
}

bool ReceiverPresenter::ZoomOf(UiItem item, int& zoom) {
    for (const auto& [factor, i] : kZoomItems) {
        if (i == item) {
            zoom = factor;
            return true;
        }
    }
    return false;
}

int ZoomOrDefault(int zoom) {
    for (const auto& [factor, item] : kZoomItems) {
        if (factor == zoom) return zoom;
    }
    return 1;
}

std::string FrequencyText(int bin, double samplingFreq) {
    // "####": rounded to a whole number, no padding, and no digit at all for 0.
    std::string text = FormatFixed(bin * samplingFreq / kBlockSize, 0);
    if (text == "0") text.clear();
    return text + " Hz";
}

std::string FormatWpm(double wpm) {
    if (!std::isfinite(wpm)) return "0.0";
    const bool negative = wpm < 0;
    const double tenths = std::round(std::fabs(wpm) * 10.0);  // half away from zero
    if (tenths >= 9.0e17) return "0.0";
    const auto t = static_cast<long long>(tenths);
    std::string text = negative && t != 0 ? "-" : "";
    if (t / 10 != 0) text += std::to_string(t / 10);
    text += '.';
    text += static_cast<char>('0' + t % 10);
    return text;
}

}  // namespace quelp
