#include "fms/PerformanceRates.h"

#include <algorithm>

namespace halvex {

namespace {

// Two rows and the weight of the first: value = a * f + b * (1 - f). The same choice as the
// table's interpolation: clamped at both ends, the first bracketing pair, the last row when no
// pair brackets (unsorted keys or NaN).
struct Bracket {
    size_t a = 0, b = 0;
    float f = 1.0f;
};

template <typename KeyAt>
Bracket Find(size_t n, float x, KeyAt key) {
    if (n == 1 || x <= key(0)) return {0, 0, 1.0f};
    if (x >= key(n - 1)) return {n - 1, n - 1, 1.0f};
    for (size_t i = 0; i + 1 < n; ++i) {
        const float ka = key(i), kb = key(i + 1);
        if (ka <= x && x <= kb) {
            if (kb == ka) return {i, i, 1.0f};
            return {i, i + 1, (kb - x) / (kb - ka)};
        }
    }
    return {n - 1, n - 1, 1.0f};
}

float Mix(float a, float b, float f) { return a * f + b * (1 - f); }

}  // namespace

float PerformanceRates::rate(float weight, float speedKt, float altitudeFt, bool climb) const {
    if (empty()) return 0;
    const auto& entries = table_->entries();
    const Bracket w = Find(entries.size(), weight, [&](size_t i) { return entries[i].weight; });
    const WeightEntry& ea = entries[w.a];
    const WeightEntry& eb = entries[w.b];
    const size_t speeds = std::min(ea.speeds.size(), eb.speeds.size());
    if (speeds == 0) return 0;
    const Bracket s = Find(speeds, speedKt, [&](size_t j) { return Mix(ea.speeds[j].spd, eb.speeds[j].spd, w.f); });
    const SpeedRow* rows[4] = {&ea.speeds[s.a], &eb.speeds[s.a], &ea.speeds[s.b], &eb.speeds[s.b]};
    size_t altitudes = rows[0]->altitudes.size();
    for (const SpeedRow* r : rows) altitudes = std::min(altitudes, r->altitudes.size());
    if (altitudes == 0) return 0;
    // The blend in the table's own order: weight first, then speed, then altitude.
    auto corner = [&](size_t k, auto field) {
        return Mix(Mix(field(rows[0]->altitudes[k]), field(rows[1]->altitudes[k]), w.f),
                   Mix(field(rows[2]->altitudes[k]), field(rows[3]->altitudes[k]), w.f), s.f);
    };
    auto alt = [](const AltitudeRow& r) { return r.alt; };
    const Bracket h = Find(altitudes, altitudeFt, [&](size_t k) { return corner(k, alt); });
    auto value = [climb](const AltitudeRow& r) { return climb ? r.climb : r.descend; };
    return Mix(corner(h.a, value), corner(h.b, value), h.f);
}

float PerformanceRates::ClimbFpm(float weight, float speedKt, float altitudeFt) const {
    return rate(weight, speedKt, altitudeFt, true);
}

float PerformanceRates::DescentFpm(float weight, float speedKt, float altitudeFt) const {
    return rate(weight, speedKt, altitudeFt, false);
}

namespace {

template <typename Field>
float WeightField(const PerfSpecTable* table, float weight, Field field) {
    const auto& entries = table->entries();
    const Bracket w = Find(entries.size(), weight, [&](size_t i) { return entries[i].weight; });
    return Mix(field(entries[w.a]), field(entries[w.b]), w.f);
}

}  // namespace

float PerformanceRates::OptimumClimbSpeedKt(float weight) const {
    return empty() ? 0 : WeightField(table_, weight, [](const WeightEntry& e) { return e.optClbSpd; });
}

float PerformanceRates::OptimumDescentSpeedKt(float weight) const {
    return empty() ? 0 : WeightField(table_, weight, [](const WeightEntry& e) { return e.optDesSpd; });
}

float PerformanceRates::CruiseSpeedKt(float weight) const {
    return empty() ? 0 : WeightField(table_, weight, [](const WeightEntry& e) { return e.optCrzSpd; });
}

}  // namespace halvex
