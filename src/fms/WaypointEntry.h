// WaypointEntry: one element of a flight plan (and one leg of a procedure), a plain value.
#pragma once

#include <cstdint>
#include <string>

#include "navdb/Geodesy.h"

namespace halvex {

// Entry kinds.
enum class EntryKind : int32_t {
    OriginAirport = 0,
    DestinationAirport = 1,
    OriginRunway = 2,
    DestinationRunway = 3,
    SidLeg = 5,
    SidTransitionLeg = 6,
    StarLeg = 7,
    StarTransitionLeg = 8,
    ApproachLeg = 9,
    ApproachTransitionLeg = 10,
    ApproachExtraLeg = 11,
    Waypoint = 13,
    DirectFrom = 14,
};

// Altitude constraint kinds.
enum class AltitudeKind : uint32_t { At = 0, AtOrBelow = 1, AtOrAbove = 2 };

// Latitude 0, longitude 0 on the surface sphere (cos 0 = 1, sin 0 = 0), without a call.
inline constexpr GeoPoint kSurfaceOrigin{0.0f, 0.0f, EarthRadiusNm, EarthRadiusNm, 0.0f, 0.0f, 1.0f};

struct WaypointEntry {
    int32_t fixIndex = -1;      // database waypoint row; -1 for runways, generated points, file fixes
    int32_t airportIndex = -1;  // origin/destination/runway entries
    int32_t runwayIndex = -1;   // runway within that airport
    int32_t airwayIndex = -1;   // airway by which the entry is reached; -1 is DIRECT
    float altitude = -1.0f;     // constraint, feet; -1 is none
    uint32_t altitudeKind = 0;  // an AltitudeKind
    float auxValue = -1.0f;     // carried for the script; computed by nobody here
    float course = -1.0f;       // degrees, of the leg to the next entry
    float legLength = -1.0f;    // nm flown after turn allowances
    float legDistance = -1.0f;  // nm great circle
    float legsDistance = -1.0f; // nm to the next legs-view entry
    int32_t kind = static_cast<int32_t>(EntryKind::Waypoint);
    uint8_t onLegs = 0;
    uint8_t onFpln = 0;
    GeoPoint position = kSurfaceOrigin;
    std::string name;
    GeoVector legVector{0.0f, 0.0f, 0.0f, 1.0f};
    GeoPoint turnCenter = kSurfaceOrigin;
    GeoPoint turnMidpoint = kSurfaceOrigin;
    float turnRadius = -1.0f;     // nm
    float turnAngle = 0.0f;       // radians
    float exitDistance = -1.0f;   // nm
    float entryDistance = -1.0f;  // nm
    GeoPoint exitPoint = kSurfaceOrigin;
    GeoPoint entryPoint = kSurfaceOrigin;

    bool HasAltitude() const { return altitude != -1.0f; }
};

}  // namespace halvex
