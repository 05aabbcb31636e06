// EhsiSource: everything the EHSI reads, and its only two writes, as the display sees them. The
// gauge layer implements it from the FMS core; tests implement it with plain values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "navdb/Geodesy.h"

namespace halvex {

enum class NavRadio { Nav1 = 0, Nav2 = 1 };

struct EhsiPlanEntry {
    GeoPoint point;
    std::string name;
    bool onLegs = false;
};

// A marked point of the vertical path: kind 1 "EOC", 4 "TOD", 7 "BEGIN_RSPD", 8 "END_RSPD" and
// others the map ignores.
struct EhsiPathMark {
    int32_t kind = 0;
    GeoPoint point;
};

class EhsiSource {
public:
    virtual ~EhsiSource() = default;

    // ---- simulator: aircraft ----
    virtual float TrueHeadingDeg() = 0;
    virtual float MagneticVariationDeg() = 0;  // east positive: magnetic = true - variation
    virtual GeoPoint AircraftPoint() = 0;

    // ---- simulator: radios (read on call) ----
    virtual float NavRelativeBearingDeg(NavRadio radio) = 0;
    virtual float NavDistanceNm(NavRadio radio) = 0;
    virtual float NavCourseDeg(NavRadio radio) = 0;
    virtual float NavLateralNeedle(NavRadio radio) = 0;   // -127..127
    virtual float NavVerticalNeedle(NavRadio radio) = 0;  // -127..127
    virtual bool NavGlideslopeValid(NavRadio radio) = 0;
    virtual void SetNavCourseDeg(NavRadio radio, float courseDeg) = 0;

    // ---- simulator: autopilot heading bug (magnetic) ----
    virtual float HeadingBugDeg() = 0;
    virtual void SetHeadingBugDeg(float headingDeg) = 0;

    // ---- flight plans ----
    virtual bool Modifying() = 0;
    virtual void ActivePlan(std::vector<EhsiPlanEntry>& out) = 0;  // replaces out's contents
    virtual void ModifiedPlan(std::vector<EhsiPlanEntry>& out) = 0;
    virtual void VerticalPathMarks(std::vector<EhsiPathMark>& out) = 0;

    // ---- guidance ----
    virtual float CourseToToDeg() = 0;  // true course from the aircraft to the TO waypoint
    virtual float DistanceToGoNm() = 0;
    virtual float CrossTrackErrorNm() = 0;
    virtual float VerticalDeviationFt() = 0;
    virtual int32_t VerticalPhase() = 0;
};

}  // namespace halvex
