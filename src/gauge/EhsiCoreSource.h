// EhsiCoreSource: the EHSI's view of the FMS core: simulator values through AircraftState, the
// plans through the flight-plan model, guidance values from lateral and vertical guidance.
#pragma once

#include "core/FmsCore.h"
#include "display/EhsiSource.h"

namespace halvex {

class EhsiCoreSource : public EhsiSource {
public:
    explicit EhsiCoreSource(FmsCore& core) : core_(core) {}

    float TrueHeadingDeg() override;
    float MagneticVariationDeg() override;
    GeoPoint AircraftPoint() override;

    float NavRelativeBearingDeg(NavRadio radio) override;
    float NavDistanceNm(NavRadio radio) override;
    float NavCourseDeg(NavRadio radio) override;
    float NavLateralNeedle(NavRadio radio) override;
    float NavVerticalNeedle(NavRadio radio) override;
    bool NavGlideslopeValid(NavRadio radio) override;
    void SetNavCourseDeg(NavRadio radio, float courseDeg) override;

    float HeadingBugDeg() override;
    void SetHeadingBugDeg(float headingDeg) override;

    bool Modifying() override;
    void ActivePlan(std::vector<EhsiPlanEntry>& out) override;
    void ModifiedPlan(std::vector<EhsiPlanEntry>& out) override;
    void VerticalPathMarks(std::vector<EhsiPathMark>& out) override;

    // Guidance values, from lateral guidance and the vertical path.
    float CourseToToDeg() override;
    float DistanceToGoNm() override;
    float CrossTrackErrorNm() override;
    float VerticalDeviationFt() override;
    int32_t VerticalPhase() override;

private:
    FmsCore& core_;
};

}  // namespace halvex
