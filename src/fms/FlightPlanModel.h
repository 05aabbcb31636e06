// FlightPlanModel: the core's flight-plan object: both plans with their edits, the aircraft
// values they read and the guidance they notify.
#pragma once

#include "fms/FlightPlan.h"

namespace halvex {

// The aircraft values the plan reads, settable until the simulator link supplies them.
class SettableAircraft : public AircraftSource {
public:
    GeoPoint PresentPosition() const override { return position; }
    float PresentAltitudeFt() const override { return altitudeFt; }

    GeoPoint position = MakeGeoPoint(30.0f / RadToDeg, 135.0f / RadToDeg, EarthRadiusNm);  // 30N 135E
    float altitudeFt = 0;
};

class FlightPlanModel {
public:
    // performance may be null. The database is attached once it exists (the model is built
    // before it); edits that need it fail until then.
    explicit FlightPlanModel(const PerfSpecTable* performance, const AircraftSource* aircraft = nullptr,
                             GuidanceSeam* guidance = nullptr);
    FlightPlanModel(const FlightPlanModel&) = delete;
    FlightPlanModel& operator=(const FlightPlanModel&) = delete;

    void AttachDatabase(const NavDatabase* database) { plans_.AttachDatabase(database); }

    FlightPlanSet& Plans() { return plans_; }
    const FlightPlanSet& Plans() const { return plans_; }
    // The stand-in aircraft, used when no source was given.
    SettableAircraft& Aircraft() { return ownAircraft_; }

private:
    SettableAircraft ownAircraft_;
    FlightPlanSet plans_;
};

}  // namespace halvex
