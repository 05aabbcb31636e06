// PerformanceRates: the performance table's climb and descent figures and optimum speeds,
// interpolated exactly as PerfSpecTable does but without building the blended rows, so that
// guidance can ask many times per cycle without allocating.
#pragma once

#include "fms/PerfSpecTable.h"

namespace halvex {

class PerformanceRates {
public:
    explicit PerformanceRates(const PerfSpecTable* table) : table_(table) {}

    bool empty() const { return !table_ || table_->empty(); }
    float ClimbFpm(float weight, float speedKt, float altitudeFt) const;    // "climb"
    float DescentFpm(float weight, float speedKt, float altitudeFt) const;  // "descend"
    float OptimumClimbSpeedKt(float weight) const;
    float OptimumDescentSpeedKt(float weight) const;
    float CruiseSpeedKt(float weight) const;

private:
    float rate(float weight, float speedKt, float altitudeFt, bool climb) const;
    const PerfSpecTable* table_;
};

}  // namespace halvex
