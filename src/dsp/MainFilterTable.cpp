#include "dsp/MainFilterTable.h"

#include <array>

namespace quelp {

namespace {

constexpr std::array<MainFilterRow, 13> kRows = {{
    {10, RateCode::R306, &Fir10Hz, nullptr},
    {20, RateCode::R306, &Fir20Hz, nullptr},
    {30, RateCode::R306, &Fir30Hz, nullptr},
    {70, RateCode::R919, &Fir70Hz, nullptr},
    {140, RateCode::R919, &Fir140Hz, nullptr},
    {280, RateCode::R919, &Fir280Hz, nullptr},
    {600, RateCode::R2756, &Fir600Hz, nullptr},
    {1000, RateCode::R11025, &Fir1000Hz, nullptr},
    {2000, RateCode::R11025, &Fir2000Hz, nullptr},
    {3500, RateCode::R11025, &Fir3000Hz, nullptr},
    {101, RateCode::Iir, nullptr, &Iir100Hz},
    {251, RateCode::Iir, nullptr, &Iir250Hz},
    {1001, RateCode::Iir, nullptr, &Iir1000Hz},
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
