#include "gauge/EhsiCoreSource.h"

namespace halvex {

namespace {
void copyPlan(const FlightPlan& plan, std::vector<EhsiPlanEntry>& out) {
    out.resize(plan.entries.size());
    for (size_t i = 0; i < plan.entries.size(); ++i) {
        const WaypointEntry& e = plan.entries[i];
        out[i].point = e.position;
        out[i].name = e.name;
        out[i].onLegs = e.onLegs != 0;
    }
}
}  // namespace

float EhsiCoreSource::TrueHeadingDeg() { return core_.Aircraft()->TrueHeading(); }
float EhsiCoreSource::MagneticVariationDeg() { return core_.Aircraft()->MagneticVariation(); }

GeoPoint EhsiCoreSource::AircraftPoint() {
    const PositionTriple& p = core_.Aircraft()->CurrentPosition();
    return MakeGeoPoint(p.latRad, p.lonRad, p.radiusNm);
}

float EhsiCoreSource::NavRelativeBearingDeg(NavRadio r) {
    AircraftState& a = *core_.Aircraft();
    return r == NavRadio::Nav1 ? a.Nav1RelativeBearing() : a.Nav2RelativeBearing();
}

float EhsiCoreSource::NavDistanceNm(NavRadio r) {
    AircraftState& a = *core_.Aircraft();
    return r == NavRadio::Nav1 ? a.Nav1DmeDistance() : a.Nav2DmeDistance();
}

float EhsiCoreSource::NavCourseDeg(NavRadio r) {
    AircraftState& a = *core_.Aircraft();
    return r == NavRadio::Nav1 ? a.Nav1Course() : a.Nav2Course();
}

float EhsiCoreSource::NavLateralNeedle(NavRadio r) {
    AircraftState& a = *core_.Aircraft();
    return r == NavRadio::Nav1 ? a.Nav1LateralNeedle() : a.Nav2LateralNeedle();
}

float EhsiCoreSource::NavVerticalNeedle(NavRadio r) {
    AircraftState& a = *core_.Aircraft();
    return r == NavRadio::Nav1 ? a.Nav1VerticalNeedle() : a.Nav2VerticalNeedle();
}

bool EhsiCoreSource::NavGlideslopeValid(NavRadio r) {
    AircraftState& a = *core_.Aircraft();
    return r == NavRadio::Nav1 ? a.Nav1GlideslopeValid() : a.Nav2GlideslopeValid();
}

void EhsiCoreSource::SetNavCourseDeg(NavRadio r, float courseDeg) {
    AircraftState& a = *core_.Aircraft();
    if (r == NavRadio::Nav1) a.SetNav1Course(courseDeg);
    else a.SetNav2Course(courseDeg);
}

float EhsiCoreSource::HeadingBugDeg() { return core_.Aircraft()->AutopilotHeading(); }
void EhsiCoreSource::SetHeadingBugDeg(float headingDeg) { core_.Aircraft()->SetAutopilotHeading(headingDeg, false); }

bool EhsiCoreSource::Modifying() { return core_.Model()->Plans().isModifying(); }
void EhsiCoreSource::ActivePlan(std::vector<EhsiPlanEntry>& out) { copyPlan(core_.Model()->Plans().Active(), out); }
void EhsiCoreSource::ModifiedPlan(std::vector<EhsiPlanEntry>& out) { copyPlan(core_.Model()->Plans().Modified(), out); }

void EhsiCoreSource::VerticalPathMarks(std::vector<EhsiPathMark>& out) {
    const VPathList& path = core_.Model()->Plans().Active().verticalPath;
    out.resize(path.size());
    for (size_t i = 0; i < path.size(); ++i) out[i] = {path[i].kind, path[i].position};
}

// ---- Guidance values --------------------------------------------------------------------------
// TO BE WIRED: lateral guidance (courseToTo, distanceToGo, crossTrackError) and the vertical
// path (vertical deviation, vertical phase) are not in the core yet. Until they are, the FMS
// source reads as neutral: pointer straight ahead, no deviation, vertical phase 0 (no scale).
float EhsiCoreSource::CourseToToDeg() { return TrueHeadingDeg(); }
float EhsiCoreSource::DistanceToGoNm() { return 0; }
float EhsiCoreSource::CrossTrackErrorNm() { return 0; }
float EhsiCoreSource::VerticalDeviationFt() { return 0; }
int32_t EhsiCoreSource::VerticalPhase() { return 0; }

}  // namespace halvex
