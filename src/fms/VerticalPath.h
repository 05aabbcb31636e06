// VerticalPath: the active plan's vertical path points (begin and end of climb, top and bottom of
// descent, end of descent and constraint points, the 10,000 ft speed-restriction points), rebuilt
// when the plan or the cruise altitude changes, sequenced as they are passed, and the vertical
// guidance that flies them: a vertical phase per cycle and the autopilot's altitude, vertical
// speed and airspeed targets.
#pragma once

#include <cstdint>

#include "fms/FlightPlan.h"
#include "fms/GuidanceInputs.h"
#include "fms/PerformanceRates.h"
#include "fms/VerticalProfile.h"

namespace halvex {

class LateralGuidance;

enum class VPathKind : int32_t { BOC = 0, EOC, TOC, CRZ, TOD, BOD, EOD, BeginRestriction, EndRestriction, NOP };
const char* VPathKindName(int32_t kind);  // "BOC" .. "NOP"; empty for other numbers

// Vertical phases: 1 on the ground, 2 climb, 3 climb on the path, 5 level, 6 descent, 7 descent
// on the path (0 before the first guidance cycle).
class VerticalPath {
public:
    static constexpr float kRestrictionAltitudeFt = 10000.0f;
    static constexpr float kRestrictionSpeedKt = 250.0f;

    explicit VerticalPath(const PerfSpecTable* table) : rates_(table) {}

    struct RebuildInputs {
        float cruiseAltitudeFt = 0;
        float presentAltitudeFt = 0;
        float grossWeight = 0;
        float distanceToToNm = 0;  // from the lateral guidance
    };
    void Rebuild(FlightPlan& plan, const RebuildInputs& in);

    // Drops the first point once it lies behind the aircraft and within 5 nm (never the last).
    void Sequence(FlightPlan& plan, const AircraftData& aircraft);
    // One cycle of vertical guidance on the plan's first point.
    void Guide(FlightPlan& plan, const AircraftData& aircraft, const LateralGuidance& lateral,
               GuidanceAutopilot& autopilot);

    int32_t Phase() const { return phase_; }
    float VerticalDeviationFt() const { return deviationFt_; }  // positive: above the path
    // Distance along the plan from the aircraft to a point (nm).
    static float DistanceAlongPathNm(const FlightPlan& plan, const LateralGuidance& lateral, const VPathPoint& p);

private:
    struct Target {
        float rateFpm, speedKt;
    };
    Target climbTarget(const ClimbDescentRates& r, float altitudeFt) const;
    Target descentTarget(const ClimbDescentRates& r, float altitudeFt) const;
    void climbLaw(const VPathPoint& p, bool onPath, float distanceNm, const ClimbDescentRates& r,
                  const AircraftData& a, GuidanceAutopilot& autopilot);
    void directDescentLaw(const VPathPoint& p, const ClimbDescentRates& r, const AircraftData& a,
                          GuidanceAutopilot& autopilot);
    void pathDescentLaw(const VPathPoint& p, float distanceNm, const ClimbDescentRates& r, const AircraftData& a,
                        GuidanceAutopilot& autopilot);
    void repredict(FlightPlan& plan, VPathPoint& p, const LateralGuidance& lateral, const ClimbDescentRates& r,
                   const AircraftData& a);

    // Rebuild steps.
    void descentProfile(FlightPlan& plan, const ClimbDescentRates& r, float ceilingFt);
    void climbProfile(FlightPlan& plan, const ClimbDescentRates& r);

    PerformanceRates rates_;
    int32_t phase_ = 0;
    float deviationFt_ = 0;
    float previousAltitudeFt_ = 0;  // altitude of the last point passed: where the present path begins
    PathProfile profile_;           // the present climb or descent path, kept while it stays the same
};

// ---- Placement along the legs (shared by the rebuild and the re-prediction) ----
// A point n nm before entry i (walking back from the leg that ends there; a negative n is after).
VPathPoint PlaceBefore(const FlightPlan& plan, int32_t entryIndex, float distanceNm);
// A point n nm after entry i; false when that runs past the last entry.
bool PlaceAfter(const FlightPlan& plan, int32_t entryIndex, float distanceNm, VPathPoint& out);

}  // namespace halvex
