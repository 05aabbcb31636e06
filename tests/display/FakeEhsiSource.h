// An EhsiSource of plain values, counting the writes the display makes.
#pragma once

#include <vector>

#include "display/EhsiSource.h"

namespace halvex {

struct FakeEhsiSource : EhsiSource {
    float trueHeading = 0, variation = 0;
    GeoPoint aircraft = MakeSurfacePoint(47.0f / RadToDeg, -122.0f / RadToDeg);
    float relBearing[2] = {90, 90}, distance[2] = {12.5f, 30}, course[2] = {0, 0}, lateral[2] = {0, 0},
          vertical[2] = {0, 0};
    bool glideslope[2] = {false, false};
    float bug = 200;
    int courseWrites = 0, bugWrites = 0;
    bool modifying = false;
    std::vector<EhsiPlanEntry> active, modified;
    std::vector<EhsiPathMark> marks;
    float courseToTo = 0, distanceToGo = 0, crossTrack = 0, verticalDeviation = 0;
    int32_t phase = 0;

    static size_t n(NavRadio r) { return static_cast<size_t>(r); }
    float TrueHeadingDeg() override { return trueHeading; }
    float MagneticVariationDeg() override { return variation; }
    GeoPoint AircraftPoint() override { return aircraft; }
    float NavRelativeBearingDeg(NavRadio r) override { return relBearing[n(r)]; }
    float NavDistanceNm(NavRadio r) override { return distance[n(r)]; }
    float NavCourseDeg(NavRadio r) override { return course[n(r)]; }
    float NavLateralNeedle(NavRadio r) override { return lateral[n(r)]; }
    float NavVerticalNeedle(NavRadio r) override { return vertical[n(r)]; }
    bool NavGlideslopeValid(NavRadio r) override { return glideslope[n(r)]; }
    void SetNavCourseDeg(NavRadio r, float c) override { course[n(r)] = c, ++courseWrites; }
    float HeadingBugDeg() override { return bug; }
    void SetHeadingBugDeg(float b) override { bug = b, ++bugWrites; }
    bool Modifying() override { return modifying; }
    void ActivePlan(std::vector<EhsiPlanEntry>& out) override { out = active; }
    void ModifiedPlan(std::vector<EhsiPlanEntry>& out) override { out = modified; }
    void VerticalPathMarks(std::vector<EhsiPathMark>& out) override { out = marks; }
    float CourseToToDeg() override { return courseToTo; }
    float DistanceToGoNm() override { return distanceToGo; }
    float CrossTrackErrorNm() override { return crossTrack; }
    float VerticalDeviationFt() override { return verticalDeviation; }
    int32_t VerticalPhase() override { return phase; }
};

}  // namespace halvex
