// Autopilot: the control laws that turn the autopilot switches and targets into what the
// airframe is asked to do (bank angle, vertical speed, indicated airspeed). The airframe's own
// limits and lags are applied by the flight model.
#pragma once

#include <optional>

#include "sim/FlightModel.h"
#include "sim/NavRadio.h"

namespace halvex::sim {

constexpr double kMaxBankDeg = 25.0;
constexpr double kDefaultVerticalSpeedFpm = 1500.0;  // when the selected vertical speed is 0
constexpr double kMaxVerticalSpeedFpm = 6000.0;
constexpr double kMaxInterceptDeg = 45.0;

struct AirData {
    double trueHeadingDeg = 0;
    double tasKt = 0;
    double groundSpeedKt = 0;
    double altitudeFt = 0;
    double magneticVariationDeg = 0;
    double windFromDeg = 0;
    double windSpeedKt = 0;
};

struct FlightCommands {
    double bankDeg = 0;
    double verticalSpeedFpm = 0;
    std::optional<double> iasKt;  // empty: thrust left alone, the speed stays as it is
};

// Heading to fly for a true track, corrected for the wind drift at this airspeed.
double HeadingForTrackDeg(double trackDegTrue, const AirData& air);

// Bank that turns toward a true heading without overshoot (a critically damped heading loop).
double BankForHeadingDeg(double desiredTrueHeadingDeg, const AirData& air);

// nav1 is the NAV1 solution at the present position; glideslopeCaptured latches the approach
// hold's glideslope until the hold is released.
FlightCommands ComputeCommands(const AutopilotInputs& ap, const AirData& air, const NavSolution& nav1,
                               bool& glideslopeCaptured);

}  // namespace halvex::sim
