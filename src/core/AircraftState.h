// AircraftState: the read side of the simulator for guidance, natives and the EHSI. Keeps the
// previous and current aircraft position; everything else is forwarded unchanged from the core's
// SimVariables at the moment of the call.
#pragma once

#include "navdb/Geodesy.h"
#include "simlink/SimVariables.h"

namespace halvex {

class FmsCore;

class AircraftState {
public:
    explicit AircraftState(FmsCore& core);
    virtual ~AircraftState() = default;

    virtual void Update();  // previous := current; current := the simulator's position
    virtual float Latitude();
    virtual float Longitude();
    virtual const PositionTriple& CurrentPosition() const { return current_; }
    const PositionTriple& PreviousPosition() const { return previous_; }
    virtual float TrueHeading();
    // The earth-centred vector from the previous to the current position (nm; w = 1).
    virtual GeoVector TrackVector() const;
    virtual float MagneticVariation();
    virtual float IndicatedAirspeed();
    virtual float TrueAirspeed();
    virtual float GroundSpeed();
    virtual float Altitude();
    virtual float RadioAltitude();
    virtual float VerticalSpeed();
    virtual float WindDirection();
    virtual float WindSpeed();
    virtual float LongitudinalAcceleration();
    virtual float GrossWeight();
    virtual float Nav1RelativeBearing();
    virtual float Nav1DmeDistance();
    virtual float Nav1LateralNeedle();
    virtual float Nav1Course();
    virtual void SetNav1Course(float courseDeg);
    virtual bool Nav1GlideslopeValid();
    virtual float Nav1VerticalNeedle();
    virtual float Nav2RelativeBearing();
    virtual float Nav2DmeDistance();
    virtual float Nav2LateralNeedle();
    virtual float Nav2Course();
    virtual void SetNav2Course(float courseDeg);
    virtual bool Nav2GlideslopeValid();
    virtual float Nav2VerticalNeedle();
    virtual float AutopilotHeading();
    virtual void SetAutopilotHeading(float headingDeg, bool isTrue);

private:
    SimVariables& sim();

    FmsCore& core_;
    PositionTriple previous_{0.0f, 0.0f, 1.0f};
    PositionTriple current_{30.0f / kRadToDeg, 135.0f / kRadToDeg, kEarthRadiusNm};
};

}  // namespace halvex
