// FlightGuidance: lateral guidance and the vertical path together, as the plan's guidance seam
// (activation, altitude and cruise changes) and as the per-cycle update of the active plan.
#pragma once

#include "fms/FlightPlan.h"
#include "fms/GuidanceInputs.h"
#include "fms/LateralGuidance.h"
#include "fms/VerticalPath.h"

namespace halvex {

class FlightGuidance final : public GuidanceSeam {
public:
    // None owned; all must outlive the guidance. The plans are attached once they exist.
    FlightGuidance(const PerfSpecTable* performance, GuidanceAircraft& aircraft, GuidanceAutopilot& autopilot);

    void AttachPlans(const FlightPlanSet* plans) { plans_ = plans; }
    void SetSequenceListener(SequenceListener* listener) { listener_ = listener; }

    // ---- The plan's seam ----
    void ChooseActiveLeg(FlightPlan& active) override;
    void RebuildVerticalPath(FlightPlan& active) override;
    void ResetToPlanStart(FlightPlan& active) override;

    // One guidance cycle on the active plan: sequencing, lateral steering, vertical path
    // sequencing and vertical guidance. Keeps every output when no aircraft data is available.
    void Update(FlightPlan& active);

    const LateralGuidance& Lateral() const { return lateral_; }
    const VerticalPath& Vertical() const { return vertical_; }
    const AircraftData& LastAircraft() const { return aircraftData_; }

private:
    bool readAircraft();

    GuidanceAircraft& aircraft_;
    GuidanceAutopilot& autopilot_;
    const FlightPlanSet* plans_ = nullptr;
    SequenceListener* listener_ = nullptr;
    LateralGuidance lateral_;
    VerticalPath vertical_;
    AircraftData aircraftData_;
};

}  // namespace halvex
