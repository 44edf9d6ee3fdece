#include "dsp/MainFilterTable.h"

#include <array>

namespace quelp {

namespace {

// Captions keep their irregular spacing: the window has always shown them so.
constexpr std::array<MainFilterRow, 13> kRows = {{
    {10, UiItem::FIR10Menu, "Main Filter  (10Hz)", "MF: 10 Hz", RateCode::R306, &Fir10Hz, nullptr},
    {20, UiItem::FIR20Menu, "Main Filter  (20Hz)", "MF: 20 Hz", RateCode::R306, &Fir20Hz, nullptr},
    {30, UiItem::FIR30Menu, "Main Filter  (30Hz)", "MF: 30 Hz", RateCode::R306, &Fir30Hz, nullptr},
    {70, UiItem::FIR70Menu, "Main Filter  (70Hz)", "MF: 70 Hz", RateCode::R919, &Fir70Hz, nullptr},
    {140, UiItem::FIR140Menu, "Main Filter  (140 Hz)", "MF: 140 Hz", RateCode::R919, &Fir140Hz,
     nullptr},
    {280, UiItem::FIR280Menu, "Main Filter  (280Hz)", "MF: 280 Hz", RateCode::R919, &Fir280Hz,
     nullptr},
    {600, UiItem::FIR600Menu, "Main Filter  (600Hz)", "MF: 600 Hz", RateCode::R2756, &Fir600Hz,
     nullptr},
    {1000, UiItem::FIR1000Menu, "Main Filter  (1000Hz)", "MF: 1000 Hz", RateCode::R11025,
     &Fir1000Hz, nullptr},
    {2000, UiItem::FIR2000Menu, "Main Filter  (2000Hz)", "MF: 2000 Hz", RateCode::R11025,
     &Fir2000Hz, nullptr},
    {3500, UiItem::FIR3000Menu, "Main Filter  (3000Hz)", "MF: 3000 Hz", RateCode::R11025,
     &Fir3000Hz, nullptr},
    {101, UiItem::IIR100Menu, "Main Filter  (100 Hz IIR)", "MF: 100 IIR", RateCode::Iir, nullptr,
     &Iir100Hz},
    {251, UiItem::IIR250Menu, "Main Filter  (250 Hz IIR)", "MF: 250 IIR", RateCode::Iir, nullptr,
     &Iir250Hz},
    {1001, UiItem::IIR1000Menu, "Main Filter  (1000 Hz IIR)", "MF: 1000 IIR", RateCode::Iir,
     nullptr, &Iir1000Hz},
}};

}  // namespace

const MainFilterRow* FindMainFilter(int code) {
    for (const MainFilterRow& row : kRows) {
        if (row.Code == code) return &row;
    }
    return nullptr;
}

const MainFilterRow& ResolveMainFilter(int code) {
    switch (code) {
        case 1:
            code = 600;
            break;
        case 2:
            code = 3500;
            break;
        case 3:
            code = 20;
            break;
        default:
            break;
    }
    const MainFilterRow* row = FindMainFilter(code);
    return row != nullptr ? *row : *FindMainFilter(140);
}

std::span<const MainFilterRow> AllMainFilters() {
    return kRows;
}

}  // namespace quelp
