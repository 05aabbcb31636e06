#include "procedures/ProcKeyword.h"

#include <algorithm>
#include <array>
#include <utility>

namespace halvex {

namespace {

constexpr std::array<std::string_view, 46> kKeywordTexts = {
    "KEYWORD_BEGIN", "NEWLINE__", "FIXES", "RNWS", "SIDS", "STARS", "APPROACHES",
    "ENDFIXES", "ENDRNWS", "ENDSIDS", "ENDSTARS", "ENDAPPROACHES",
    "SID", "STAR", "APPROACH", "TRANSITION", "RNW", "FIX", "NAVAID",
    "AT", "OR", "ABOVE", "BELOW", "OVERFLY", "SPEED", "KEEP", "VECTORS", "HDG", "TRK",
    "UNTIL", "FROM", "TO", "INTERCEPT", "RADIAL", "HOLD", "LEFT", "RIGHT", "ALT", "LEGTIME",
    "COLOCATED", "LATLON", "N", "S", "E", "W", "KEYWORD_END",
};

// Keywords 1..44 sorted by text, so a lookup is a binary search rather than 44 comparisons
// per token (the texts are distinct, so the result equals the first match in code order).
using Entry = std::pair<std::string_view, int32_t>;

std::array<Entry, 44> sortedKeywords() {
    std::array<Entry, 44> table{};
    for (int32_t code = 1; code <= 44; ++code) table[static_cast<size_t>(code - 1)] = {kKeywordTexts[static_cast<size_t>(code)], code};
    std::sort(table.begin(), table.end());
    return table;
}

}  // namespace

ProcKeyword KeywordCode(std::string_view word) {
    static const std::array<Entry, 44> table = sortedKeywords();
    const auto it = std::lower_bound(table.begin(), table.end(), word,
                                     [](const Entry& e, std::string_view w) { return e.first < w; });
    if (it != table.end() && it->first == word) return static_cast<ProcKeyword>(it->second);
    return ProcKeyword::End;
}

std::string_view KeywordText(ProcKeyword code) {
    const auto i = static_cast<int32_t>(code);
    if (i < 0 || i > kKeywordEnd) return {};
    return kKeywordTexts[static_cast<size_t>(i)];
}

}  // namespace halvex
