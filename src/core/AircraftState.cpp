#include "core/AircraftState.h"

#include <cmath>

#include "core/FmsCore.h"

namespace halvex {

namespace {

constexpr float kHalfPi = 1.5707964f;

// The Cartesian part of a position record (the pole itself has x = z = 0 exactly).
TrackVector3 cartesian(const PositionTriple& p) {
    TrackVector3 v;
    v.y = p.radiusNm * std::sin(p.latRad);
    if (p.latRad != kHalfPi) {
        v.x = p.radiusNm * std::cos(p.latRad) * std::cos(p.lonRad);
        v.z = p.radiusNm * std::cos(p.latRad) * std::sin(p.lonRad);
    }
    return v;
}

}  // namespace

AircraftState::AircraftState(FmsCore& core) : core_(core) {}

SimVariables& AircraftState::sim() { return *core_.Simulator(); }

void AircraftState::Update() {
    previous_ = current_;
    current_ = sim().Position();
}

TrackVector3 AircraftState::TrackVector() const {
    const TrackVector3 a = cartesian(previous_), b = cartesian(current_);
    return TrackVector3{b.x - a.x, b.y - a.y, b.z - a.z, 1.0f};
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
