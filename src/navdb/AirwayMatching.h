// Matching airway lines to waypoint rows when one ident has many rows: the first row (in table
// order) whose latitude and longitude both lie within a tolerance of the line's, for many lines
// at once, in n log n instead of a scan of the whole run per line.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace halvex {

struct PositionRad {
    float latRad;
    float lonRad;
};

// For each query, the index (into rows) of the first row that WithinTolerance accepts in both
// latitude and longitude, or -1.
std::vector<int32_t> FirstRowsWithin(std::span<const PositionRad> rows, std::span<const PositionRad> queries, float tolRad);

}  // namespace halvex
