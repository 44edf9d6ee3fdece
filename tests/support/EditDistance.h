#pragma once
// Edit distances for judging decoded text against what was sent.

#include <cstddef>
#include <string_view>

namespace quelp::test {

// Levenshtein distance: insertions, deletions and substitutions of single
// bytes, each costing 1.
std::size_t EditDistance(std::string_view a, std::string_view b);

// The smallest edit distance between `reference` and any suffix of `text`:
// the reference is the end of what was sent, and whatever the decoder wrote
// before that part costs nothing.
std::size_t SuffixEditDistance(std::string_view reference, std::string_view text);

// Character error rate of `text` against the end of the message
// `reference`: SuffixEditDistance / reference length.
double CharacterErrorRate(std::string_view reference, std::string_view text);

}  // namespace quelp::test
