// Fly-by turn geometry: where the turn at each interior plan entry starts and ends, its centre
// and radius. Runs as step three of the plan recompute.
#pragma once

#include <vector>

#include "fms/WaypointEntry.h"

namespace halvex {

class PerfSpecTable;

inline constexpr float kMinTurnRad = 0.06981317f;  // 4 degrees: below, the leg is flown straight
inline constexpr float kMaxTurnRad = 2.3561945f;   // 135 degrees: above, no fly-by turn
inline constexpr float kTurnWeight = 10000.0f;     // weight the radius is read at
inline constexpr float kFallbackSpeedKt = 250.0f;  // with no performance table: standard rate
inline constexpr float kStandardRateDegPerSec = 3.0f;

// R = V / 3600 * (360 / rate) / (2 pi), V and rate from the table at kTurnWeight; the
// standard-rate fallback when there is no table or it yields no usable speed or rate.
float TurnRadiusNm(const PerfSpecTable* performance);
float TurnRadiusNm(float speedKt, float rateDegPerSec);

// Turn fields of every entry with a previous and a next entry whose legs have a great-circle
// length. Entries given no turn this time have their tangent distances and radius reset, so no
// turn of an earlier shape of the plan survives an edit. The two turns of a leg together never
// take more than the leg (nor, on a leg longer than splitAboveNm, more than its end pieces):
// where they would, both are flown at a smaller radius.
void ComputeTurns(std::vector<WaypointEntry>& entries, float radiusNm, float splitAboveNm);

}  // namespace halvex
