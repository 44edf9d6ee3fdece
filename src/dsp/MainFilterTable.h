#pragma once
// The thirteen main filters by their stored codes: the table each one loads
// and the rate it runs at. The sound output filter and the channels of the
// multi-channel decoder use the same codes for the same tables.

#include <span>

#include "dsp/FirTables.h"
#include "dsp/IirTables.h"
#include "dsp/IqFilterChain.h"

namespace quelp {

struct MainFilterRow {
    int Code;             // canonical stored code
    RateCode Rate;        // where the filter runs; Iir for the IIR rows
    const FirTable* Fir;  // null for the IIR rows
    const IirTable* Iir;  // null for the FIR rows
};

// Exact code lookup: the row whose canonical code is `code`, or null.
const MainFilterRow* FindMainFilter(int code);

// The row a stored or menu code selects: the aliases 1, 2 and 3 stand for 600,
// 3500 and 20; any other unknown code selects 140.
const MainFilterRow& ResolveMainFilter(int code);

// All rows in menu order.
std::span<const MainFilterRow> AllMainFilters();

}  // namespace quelp
