// AircraftStateSource: the aircraft values the flight plan reads (direct-from points, direct-to
// altitude), taken from the core's AircraftState.
#pragma once

#include "core/AircraftState.h"
#include "fms/FlightPlan.h"

namespace halvex {

class AircraftStateSource final : public AircraftSource {
public:
    explicit AircraftStateSource(AircraftState& aircraft) : aircraft_(aircraft) {}

    GeoPoint PresentPosition() const override {
        const PositionTriple& p = aircraft_.CurrentPosition();
        return MakeGeoPoint(p.latRad, p.lonRad, p.radiusNm);
    }
    float PresentAltitudeFt() const override { return aircraft_.Altitude(); }

private:
    AircraftState& aircraft_;
};

}  // namespace halvex
