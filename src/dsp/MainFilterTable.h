#pragma once
// The thirteen main filters by their stored codes: the table each one loads,
// the rate it runs at, and what the main window shows for it. The sound output
// filter uses the same codes for the same tables.

#include <span>
#include <string_view>

#include "dsp/FirTables.h"
#include "dsp/IirTables.h"
#include "dsp/IqFilterChain.h"
#include "ports/UiItem.h"

namespace quelp {

struct MainFilterRow {
    int Code;                  // canonical stored code
    UiItem MenuItem;           // checked in the main filter menu
    std::string_view Caption;  // caption of MainFilterMenu
    std::string_view Status;   // status panel 0
    RateCode Rate;             // where the filter runs; Iir for the IIR rows
    const FirTable* Fir;       // null for the IIR rows
    const IirTable* Iir;       // null for the FIR rows
};

// Exact code lookup: the row whose canonical code is `code`, or null.
const MainFilterRow* FindMainFilter(int code);

// The row a stored or menu code selects: the aliases 1, 2 and 3 stand for 600,
// 3500 and 20; any other unknown code selects 140.
const MainFilterRow& ResolveMainFilter(int code);

// All rows in menu order.
std::span<const MainFilterRow> AllMainFilters();

}  // namespace quelp
