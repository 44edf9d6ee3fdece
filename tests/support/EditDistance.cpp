#include "support/EditDistance.h"

#include <algorithm>
#include <vector>

namespace quelp::test {

namespace {

// Distances of every prefix of `a` against `b`, one row per byte of `b`.
// freeStart: a may start anywhere in it (row 0 is all zeros).
std::size_t Distance(std::string_view a, std::string_view b, bool freeStartInA) {
    std::vector<std::size_t> row(a.size() + 1), next(a.size() + 1);
    for (std::size_t i = 0; i <= a.size(); ++i) row[i] = freeStartInA ? 0 : i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
        next[0] = j;
        for (std::size_t i = 1; i <= a.size(); ++i) {
            const std::size_t substitute = row[i - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            next[i] = std::min({substitute, row[i] + 1, next[i - 1] + 1});
        }
        row.swap(next);
    }
    return row[a.size()];
}

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
    return Distance(a, b, false);
}

std::size_t SuffixEditDistance(std::string_view reference, std::string_view text) {
    return Distance(text, reference, true);
}

double CharacterErrorRate(std::string_view reference, std::string_view text) {
    if (reference.empty()) return text.empty() ? 0.0 : 1.0;
    return static_cast<double>(SuffixEditDistance(reference, text)) /
           static_cast<double>(reference.size());
}

}  // namespace quelp::test
