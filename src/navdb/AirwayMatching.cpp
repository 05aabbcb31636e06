// A sweep over latitude keeps the rows whose latitude matches the current query in a minimum tree
// ordered by longitude; the query is then one range minimum. WithinTolerance(a, b) is monotone in
// a for a fixed b (and in b for a fixed a), so every set of matching values is a contiguous range
// of a sorted list, and the answers equal those of a scan.
#include "navdb/AirwayMatching.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>

#include "navdb/Geodesy.h"

namespace halvex {

namespace {

constexpr int32_t kNone = std::numeric_limits<int32_t>::max();

// Minimum of row indexes over leaf ranges, leaves set and cleared one at a time.
class MinimumTree {
public:
    explicit MinimumTree(size_t leaves) : size_(std::bit_ceil(std::max<size_t>(leaves, 1))), nodes_(2 * size_, kNone) {}
    void Set(size_t leaf, int32_t value) {
        size_t at = leaf + size_;
        nodes_[at] = value;
        for (at /= 2; at >= 1; at /= 2) nodes_[at] = std::min(nodes_[2 * at], nodes_[2 * at + 1]);
    }
    int32_t Minimum(size_t first, size_t last) const {  // over [first, last)
        int32_t best = kNone;
        for (size_t lo = first + size_, hi = last + size_; lo < hi; lo /= 2, hi /= 2) {
            if (lo & 1) best = std::min(best, nodes_[lo++]);
            if (hi & 1) best = std::min(best, nodes_[--hi]);
        }
        return best;
    }

private:
    size_t size_;
    std::vector<int32_t> nodes_;
};

// a is too small to match b / too large to match b (the two halves of WithinTolerance(a, b)).
bool tooSmall(float a, float b, float tol) { return !(b <= a + tol); }
bool tooLarge(float a, float b, float tol) { return !(b >= a - tol); }

}  // namespace

std::vector<int32_t> FirstRowsWithin(std::span<const PositionRad> rows, std::span<const PositionRad> queries, float tolRad) {
    std::vector<int32_t> found(queries.size(), -1);
    // A NaN matches nothing and has no place in an order.
    std::vector<int32_t> byLat;
    for (size_t i = 0; i < rows.size(); ++i)
        if (!std::isnan(rows[i].latRad) && !std::isnan(rows[i].lonRad)) byLat.push_back(static_cast<int32_t>(i));
    std::vector<int32_t> byLon = byLat;
    std::stable_sort(byLat.begin(), byLat.end(), [&](int32_t x, int32_t y) { return rows[x].latRad < rows[y].latRad; });
    std::stable_sort(byLon.begin(), byLon.end(), [&](int32_t x, int32_t y) { return rows[x].lonRad < rows[y].lonRad; });
    std::vector<size_t> leafOf(rows.size());
    std::vector<float> leafLon(byLon.size());
    for (size_t leaf = 0; leaf < byLon.size(); ++leaf) {
        leafOf[static_cast<size_t>(byLon[leaf])] = leaf;
        leafLon[leaf] = rows[static_cast<size_t>(byLon[leaf])].lonRad;
    }

    std::vector<size_t> order;
    for (size_t q = 0; q < queries.size(); ++q)
        if (!std::isnan(queries[q].latRad) && !std::isnan(queries[q].lonRad)) order.push_back(q);
    std::sort(order.begin(), order.end(), [&](size_t x, size_t y) { return queries[x].latRad < queries[y].latRad; });

    MinimumTree tree(byLon.size());
    size_t enter = 0, leave = 0;  // rows [leave, enter) of byLat are in the tree
    for (size_t q : order) {
        const PositionRad& p = queries[q];
        for (; enter < byLat.size() && !tooLarge(rows[static_cast<size_t>(byLat[enter])].latRad, p.latRad, tolRad); ++enter)
            tree.Set(leafOf[static_cast<size_t>(byLat[enter])], byLat[enter]);
        for (; leave < enter && tooSmall(rows[static_cast<size_t>(byLat[leave])].latRad, p.latRad, tolRad); ++leave)
            tree.Set(leafOf[static_cast<size_t>(byLat[leave])], kNone);
        const auto first = std::partition_point(leafLon.begin(), leafLon.end(), [&](float a) { return tooSmall(a, p.lonRad, tolRad); });
        const auto last = std::partition_point(first, leafLon.end(), [&](float a) { return !tooLarge(a, p.lonRad, tolRad); });
        const int32_t best = tree.Minimum(static_cast<size_t>(first - leafLon.begin()), static_cast<size_t>(last - leafLon.begin()));
        if (best != kNone) found[q] = best;
    }
    return found;
}

}  // namespace halvex
