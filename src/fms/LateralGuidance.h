// LateralGuidance: flies the active plan. Keeps the active leg (from, to), sequences it as
// waypoints are passed, measures the distances the CDU shows and the cross-track error, and
// commands a true heading: straight legs with an intercept and a wind correction, fly-by turns on
// their arc, blended into the outbound leg in the turn's second half.
#pragma once

#include <cstdint>

#include "fms/FlightPlan.h"
#include "fms/GuidanceInputs.h"

namespace halvex {

// Told about every legs-view waypoint the aircraft passes (before it leaves the plan).
class SequenceListener {
public:
    virtual ~SequenceListener() = default;
    virtual void OnWaypointPassed(const WaypointEntry& passed) = 0;
};

class LateralGuidance {
public:
    static constexpr float kSequenceWithinNm = 5.0f;     // a TO point behind and closer is passed
    static constexpr float kNextLegWithinNm = 5.0f;      // a no-turn TO this close: the next leg flies
    static constexpr float kSteerAboveRadioFt = 500.0f;  // below: no steering
    static constexpr float kInterceptDegPerNmKt = 2000.0f;
    static constexpr float kMaxInterceptDeg = 60.0f;
    static constexpr float kMinAirspeedKt = 10.0f;       // at or below: no intercept, no wind correction
    static constexpr float kTurnEndShare = 0.95f;        // of the turn angle, where the turn ends

    // ---- Activation ----
    void ChooseActiveLeg(const FlightPlan& plan, const AircraftData& aircraft);
    void ResetToPlanStart(const FlightPlan& plan, const AircraftData& aircraft);

    // ---- Every cycle ----
    // Position, sequencing (passed legs-view entries leave the plan) and the distances.
    void Track(FlightPlan& plan, const AircraftData& aircraft, SequenceListener* listener);
    // Phase and, above the radio-altitude floor, the heading command. Needs two entries.
    void Steer(const FlightPlan& plan, const AircraftData& aircraft, GuidanceAutopilot& autopilot);

    // ---- What the CDU and the displays read ----
    int32_t Phase() const { return phase_; }  // 1 no steering, 2 steering
    bool Turning() const { return turning_; }
    const WaypointEntry& TurnEntry() const { return turnEntry_; }
    int32_t FromIndex() const { return from_; }  // entry indexes of the active plan, -1 none
    int32_t ToIndex() const { return to_; }
    float CourseToTo() const { return courseToTo_; }
    float DistanceToTo() const { return distanceToTo_; }
    float DistanceToGo() const { return distanceToGo_; }
    float DistanceToDestination() const { return distanceToDestination_; }
    const GeoVector& PathOffset() const { return pathOffset_; }
    float CrossTrackError() const { return crossTrackError_; }  // nm, positive: the path lies to the right
    const GeoPoint& AircraftPosition() const { return aircraftPosition_; }
    float CommandedHeading() const { return commandedHeading_; }  // true degrees, last sent

private:
    struct SteerTerms {
        float crossTrackNm = 0;
        GeoVector offset{0, 0, 0, 1};
        float headingDeg = 0;
    };
    SteerTerms straightLeg(const FlightPlan& plan, int32_t from, int32_t to, const AircraftData& aircraft) const;
    bool flyTurn(const FlightPlan& plan, const AircraftData& aircraft, SteerTerms& out);
    void startTurn(const FlightPlan& plan);
    void distances(const FlightPlan& plan, float straightToNm);
    bool legValid(const FlightPlan& plan) const;

    int32_t phase_ = 2;
    bool turning_ = false;
    bool turnRightward_ = true;
    WaypointEntry turnEntry_;
    int32_t from_ = -1, to_ = -1;
    float courseToTo_ = 0;
    float distanceToTo_ = 0;
    float distanceToGo_ = 0;
    float distanceToDestination_ = 0;
    GeoVector pathOffset_{0, 0, 0, 1};
    float crossTrackError_ = 0;
    GeoPoint aircraftPosition_ = MakeGeoPoint(30.0f / RadToDeg, 135.0f / RadToDeg, EarthRadiusNm);
    float commandedHeading_ = 0;
};

}  // namespace halvex
