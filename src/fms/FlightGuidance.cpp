#include "fms/FlightGuidance.h"

namespace halvex {

FlightGuidance::FlightGuidance(const PerfSpecTable* performance, GuidanceAircraft& aircraft, GuidanceAutopilot& autopilot)
    : aircraft_(aircraft), autopilot_(autopilot), vertical_(performance) {}

bool FlightGuidance::readAircraft() {
    AircraftData fresh = aircraftData_;
    if (!aircraft_.Read(fresh) || !SanitizeAircraftData(fresh)) return false;
    aircraftData_ = fresh;
    return true;
}

void FlightGuidance::ChooseActiveLeg(FlightPlan& active) {
    readAircraft();  // on failure the last known values stand in
    lateral_.ChooseActiveLeg(active, aircraftData_);
}

void FlightGuidance::RebuildVerticalPath(FlightPlan& active) {
    readAircraft();
    VerticalPath::RebuildInputs in;
    in.cruiseAltitudeFt = plans_ ? plans_->CruiseAltitudeFt() : 0.0f;
    in.presentAltitudeFt = aircraftData_.altitudeFt;
    in.grossWeight = aircraftData_.grossWeightLb;
    in.distanceToToNm = lateral_.DistanceToTo();
    vertical_.Rebuild(active, in);
}

void FlightGuidance::ResetToPlanStart(FlightPlan& active) {
    readAircraft();
    lateral_.ResetToPlanStart(active, aircraftData_);
    vertical_.Sequence(active, aircraftData_);
}

void FlightGuidance::Update(FlightPlan& active) {
    if (!readAircraft()) return;
    lateral_.Track(active, aircraftData_, listener_);
    vertical_.Sequence(active, aircraftData_);
    if (active.entries.size() >= 2) {
        lateral_.Steer(active, aircraftData_, autopilot_);
        if (active.verticalPath.size() > 1) vertical_.Guide(active, aircraftData_, lateral_, autopilot_);
    } else if (active.entries.empty()) {
        active.ResetSelections();
        active.totalDistance = 0;
    }
}

}  // namespace halvex
