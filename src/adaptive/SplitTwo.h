#pragma once
// Two groups in a set of lengths (dots and dashes, character and word
// gaps), found where the spread within the groups is least on a log scale.

#include <cmath>
#include <cstddef>
#include <vector>

namespace quelp {

// Splits sorted values in two where the spread within the halves is least
// (on a log scale); returns the first index of the upper half, or 0 when one
// group fits better than two.
inline std::size_t SplitTwo(const std::vector<double>& sorted) {
    const std::size_t n = sorted.size();
    if (n < 4) return 0;
    std::vector<double> logs(n);
    for (std::size_t i = 0; i < n; ++i) logs[i] = std::log(sorted[i]);
    double total = 0.0;
    double total2 = 0.0;
    for (double v : logs) {
        total += v;
        total2 += v * v;
    }
    const double whole = total2 - total * total / static_cast<double>(n);
    double bestCost = whole;
    std::size_t best = 0;
    double low = 0.0;
    double low2 = 0.0;
    for (std::size_t k = 1; k < n; ++k) {
        low += logs[k - 1];
        low2 += logs[k - 1] * logs[k - 1];
        const double nl = static_cast<double>(k);
        const double nh = static_cast<double>(n - k);
        const double cost =
            (low2 - low * low / nl) + ((total2 - low2) - (total - low) * (total - low) / nh);
        if (cost < bestCost) {
            bestCost = cost;
            best = k;
        }
    }
    // Two groups must explain most of the spread to count as dots and dashes.
    return bestCost < 0.35 * whole ? best : 0;
}

}  // namespace quelp
