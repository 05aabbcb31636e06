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
// Without an active leg the FMS pointer stands straight ahead and shows no deviation.
namespace {
const LateralGuidance* ActiveLateral(FmsCore& core) {
    const FlightGuidance* guidance = core.Guidance();
    return guidance && guidance->Lateral().ToIndex() >= 0 ? &guidance->Lateral() : nullptr;
}
}  // namespace

float EhsiCoreSource::CourseToToDeg() {
    const LateralGuidance* lateral = ActiveLateral(core_);
    return lateral ? lateral->CourseToTo() : TrueHeadingDeg();
}
float EhsiCoreSource::DistanceToGoNm() {
    const LateralGuidance* lateral = ActiveLateral(core_);
    return lateral ? lateral->DistanceToGo() : 0;
}
float EhsiCoreSource::CrossTrackErrorNm() {
    const LateralGuidance* lateral = ActiveLateral(core_);
    return lateral ? lateral->CrossTrackError() : 0;
}
float EhsiCoreSource::VerticalDeviationFt() {
    const FlightGuidance* guidance = core_.Guidance();
    return guidance ? guidance->Vertical().VerticalDeviationFt() : 0;
}
int32_t EhsiCoreSource::VerticalPhase() {
    const FlightGuidance* guidance = core_.Guidance();
    return guidance ? guidance->Vertical().Phase() : 0;
}

}  // namespace halvex
