#include "sim/NavRadio.h"

#include <algorithm>
#include <cmath>

#include "sim/Sphere.h"

namespace halvex::sim {

namespace {
double Needle(double deviationDeg, double fullScaleDeg) {
    return std::clamp(deviationDeg / fullScaleDeg * 127.0, -127.0, 127.0);
}
}  // namespace

NavSolution SolveNav(const std::optional<NavStation>& station, double selectedCourseDegMag,
                     double fieldElevationFt, const AircraftFix& aircraft) {
    NavSolution out;
    out.receiver.selectedCourseDegMag = selectedCourseDegMag;
    if (!station) return out;

    double stationLat = station->latitudeDeg * kDegToRad, stationLon = station->longitudeDeg * kDegToRad;
    CourseDistance toStation = CourseAndDistance(aircraft.latRad, aircraft.lonRad, stationLat, stationLon);
    double radialDegTrue =
        CourseAndDistance(stationLat, stationLon, aircraft.latRad, aircraft.lonRad).courseRad / kDegToRad;
    double groundNm = toStation.distanceNm;
    double heightNm = (aircraft.altitudeFt - fieldElevationFt) / kFeetPerNm;

    NavReceiver& r = out.receiver;
    r.tuned = true;
    r.relativeBearingDeg = Wrap360(toStation.courseRad / kDegToRad - aircraft.trueHeadingDeg);
    r.dmeNm = std::hypot(groundNm, heightNm);

    out.isLocalizer = station->localizerCourseDegMag.has_value();
    double courseDegMag = out.isLocalizer ? *station->localizerCourseDegMag : selectedCourseDegMag;
    out.trackDegTrue = Wrap360(courseDegMag + aircraft.magneticVariationDeg);
    // Angle of the aircraft off the course line, seen from the station; the same formula gives
    // the right sense both inbound (to) and outbound (from).
    double offRadialDeg = Wrap180(radialDegTrue - out.trackDegTrue);
    out.crossTrackNm = -groundNm * std::sin(offRadialDeg * kDegToRad);

    if (out.isLocalizer) {
        double fromBackDeg = Wrap180(offRadialDeg - 180.0);  // 0 on the approach centreline
        r.lateralNeedle = Needle(fromBackDeg, kLocalizerFullScaleDeg);
        double groundFt = groundNm * kFeetPerNm;
        double heightFt = aircraft.altitudeFt - fieldElevationFt;
        out.glidepathErrorFt = heightFt - groundFt * std::tan(kGlideslopeDeg * kDegToRad);
        r.glideslopeValid = std::abs(fromBackDeg) < kGlideslopeSectorDeg;
        if (r.glideslopeValid) {
            double elevationDeg = std::atan2(heightFt, groundFt) / kDegToRad;
            r.verticalNeedle = Needle(elevationDeg - kGlideslopeDeg, kGlideslopeFullScaleDeg);
        }
    } else {
        bool from = std::abs(offRadialDeg) <= 90.0;
        double deviationDeg = from ? -offRadialDeg : Wrap180(offRadialDeg - 180.0);
        r.lateralNeedle = Needle(deviationDeg, kVorFullScaleDeg);
    }
    return out;
}

}  // namespace halvex::sim
