// NavRadio: what a NAV receiver tuned to a configured station shows at the aircraft's position,
// and the lateral and vertical path geometry the autopilot's nav and approach holds track.
#pragma once

#include <optional>

#include "sim/FlightModel.h"

namespace halvex::sim {

struct AircraftFix {
    double latRad = 0;
    double lonRad = 0;
    double altitudeFt = 0;
    double trueHeadingDeg = 0;
    double magneticVariationDeg = 0;  // east positive
};

struct NavSolution {
    NavReceiver receiver;
    bool isLocalizer = false;
    double trackDegTrue = 0;     // the course the needle refers to, as a true direction to fly
    double crossTrackNm = 0;     // signed like the lateral needle: positive = course to the right
    double glidepathErrorFt = 0; // altitude above the glide path (localizers only)
};

constexpr double kGlideslopeDeg = 3.0;
constexpr double kLocalizerFullScaleDeg = 2.5;
constexpr double kVorFullScaleDeg = 10.0;
constexpr double kGlideslopeFullScaleDeg = 0.7;
constexpr double kGlideslopeSectorDeg = 35.0;  // glideslope usable only in front of the localizer

// A localizer's needle refers to its own course (its receiver ignores the course selector); a
// VOR's to the selected course, with the to/from sense resolved so the needle always shows the
// side of the course line to fly to while heading along the course.
NavSolution SolveNav(const std::optional<NavStation>& station, double selectedCourseDegMag,
                     double fieldElevationFt, const AircraftFix& aircraft);

}  // namespace halvex::sim
