#include "core/GuidanceLink.h"

namespace halvex {

bool AircraftStateReader::Read(AircraftData& out) {
    const PositionTriple& p = aircraft_.CurrentPosition();
    out.position = MakeGeoPoint(p.latRad, p.lonRad, p.radiusNm);
    out.trackVector = aircraft_.TrackVector();
    out.trueHeadingDeg = aircraft_.TrueHeading();
    out.trueAirspeedKt = aircraft_.TrueAirspeed();
    out.indicatedAirspeedKt = aircraft_.IndicatedAirspeed();
    out.magneticVariationDeg = aircraft_.MagneticVariation();
    out.windDirectionDeg = aircraft_.WindDirection();
    out.windSpeedKt = aircraft_.WindSpeed();
    out.altitudeFt = aircraft_.Altitude();
    out.radioAltitudeFt = aircraft_.RadioAltitude();
    out.verticalSpeedFpm = aircraft_.VerticalSpeed();
    out.longitudinalAccelFtPerS2 = aircraft_.LongitudinalAcceleration();
    out.grossWeightLb = aircraft_.GrossWeight();
    return true;
}

}  // namespace halvex
