#include "core/AircraftState.h"

#include "core/FmsCore.h"

namespace halvex {

AircraftState::AircraftState(FmsCore& core) : core_(core) {}

SimVariables& AircraftState::sim() { return *core_.Simulator(); }

void AircraftState::Update() {
    previous_ = current_;
    current_ = sim().Position();
}

GeoVector AircraftState::TrackVector() const {
    const GeoPoint from = MakeGeoPoint(previous_.latRad, previous_.lonRad, previous_.radiusNm);
    const GeoPoint to = MakeGeoPoint(current_.latRad, current_.lonRad, current_.radiusNm);
    return Subtract(CartesianOf(to), CartesianOf(from));
}

float AircraftState::Latitude() { return sim().Latitude(); }
float AircraftState::Longitude() { return sim().Longitude(); }
float AircraftState::TrueHeading() { return sim().TrueHeading(); }
float AircraftState::MagneticVariation() { return sim().MagneticVariation(); }
float AircraftState::IndicatedAirspeed() { return sim().IndicatedAirspeed(); }
float AircraftState::TrueAirspeed() { return sim().TrueAirspeed(); }
float AircraftState::GroundSpeed() { return sim().GroundSpeed(); }
float AircraftState::Altitude() { return sim().Altitude(); }
float AircraftState::RadioAltitude() { return sim().RadioAltitude(); }
float AircraftState::VerticalSpeed() { return sim().VerticalSpeed(); }
float AircraftState::WindDirection() { return sim().WindDirection(); }
float AircraftState::WindSpeed() { return sim().WindSpeed(); }
float AircraftState::LongitudinalAcceleration() { return sim().LongitudinalAcceleration(); }
float AircraftState::GrossWeight() { return sim().GrossWeight(); }
float AircraftState::Nav1RelativeBearing() { return sim().Nav1RelativeBearing(); }
float AircraftState::Nav1DmeDistance() { return sim().Nav1DmeDistance(); }
float AircraftState::Nav1LateralNeedle() { return sim().Nav1LateralNeedle(); }
float AircraftState::Nav1Course() { return sim().Nav1Course(); }
void AircraftState::SetNav1Course(float courseDeg) { sim().SetNav1Course(courseDeg); }
bool AircraftState::Nav1GlideslopeValid() { return sim().Nav1GlideslopeValid(); }
float AircraftState::Nav1VerticalNeedle() { return sim().Nav1VerticalNeedle(); }
float AircraftState::Nav2RelativeBearing() { return sim().Nav2RelativeBearing(); }
float AircraftState::Nav2DmeDistance() { return sim().Nav2DmeDistance(); }
float AircraftState::Nav2LateralNeedle() { return sim().Nav2LateralNeedle(); }
float AircraftState::Nav2Course() { return sim().Nav2Course(); }
void AircraftState::SetNav2Course(float courseDeg) { sim().SetNav2Course(courseDeg); }
bool AircraftState::Nav2GlideslopeValid() { return sim().Nav2GlideslopeValid(); }
float AircraftState::Nav2VerticalNeedle() { return sim().Nav2VerticalNeedle(); }
float AircraftState::AutopilotHeading() { return sim().AutopilotHeading(); }
void AircraftState::SetAutopilotHeading(float headingDeg, bool isTrue) { sim().SetAutopilotHeading(headingDeg, isTrue); }

}  // namespace halvex
