// VerticalProfile: how far the aircraft flies while it climbs or descends between two altitudes
// (1000 ft steps, rates from the performance table, true airspeed from the indicated one), and the
// path that such a climb or descent draws, for the vertical deviation.
#pragma once

#include <vector>

#include "fms/PerformanceRates.h"

namespace halvex {

// True airspeed over indicated airspeed at an altitude (thousands of feet, 0..64).
float IasToTasFactor(float altitudeFt);

// Rates and optimum speeds, with the fixed values of an empty table.
struct ClimbDescentRates {
    static constexpr float kEmptyClimbFpm = 4000.0f, kEmptyDescentFpm = -2000.0f, kEmptySpeedKt = 250.0f;

    const PerformanceRates& rates;
    float weight;

    float ClimbFpm(float speedKt, float altitudeFt) const;
    float DescentFpm(float speedKt, float altitudeFt) const;
    float ClimbSpeedKt() const;    // optimum
    float DescentSpeedKt() const;  // optimum
};

// Distance (nm) to climb from lowerFt to upperFt, or to descend from upperFt to lowerFt, at
// speedKt (the optimum speed when 0 or less). 0 when there is nothing to climb or descend.
float ClimbDistanceNm(const ClimbDescentRates& r, float speedKt, float lowerFt, float upperFt);
float DescentDistanceNm(const ClimbDescentRates& r, float speedKt, float upperFt, float lowerFt);

// The altitude of a climb or descent path ending at targetFt, as a function of the distance still
// to fly to its end; the other end of the path is fromFt (the path holds fromFt beyond it).
class PathProfile {
public:
    void Build(const ClimbDescentRates& r, float speedKt, float fromFt, float targetFt);
    float AltitudeAt(float distanceToEndNm) const;
    bool Matches(float speedKt, float fromFt, float targetFt, float weight) const {
        return speedKt == speedKt_ && fromFt == fromFt_ && targetFt == targetFt_ && weight == weight_;
    }

private:
    struct Knot {
        float distanceToEndNm, altitudeFt;
    };
    std::vector<Knot> knots_;  // by decreasing distance to the end
    float speedKt_ = -1, fromFt_ = -1, targetFt_ = -1, weight_ = -1;
};

}  // namespace halvex
