#include "sim/FlightModel.h"

#include <algorithm>
#include <cmath>

#include "sim/Atmosphere.h"
#include "sim/Autopilot.h"
#include "sim/NavRadio.h"
#include "sim/Sphere.h"

namespace halvex::sim {

namespace {

constexpr double kRollRateDegPerS = 5.0;
constexpr double kRollLagSeconds = 1.0;
constexpr double kVerticalLagSeconds = 1.0;
constexpr double kVerticalAccelFpmPerS = 200.0;  // about 0.1 g
constexpr double kSpeedLagSeconds = 4.0;
constexpr double kAccelKtPerS = 1.5;              // level flight; less while climbing
constexpr double kMinIasKt = 60.0;
constexpr double kCeilingFt = 60000.0;           // no climb performance above this
constexpr long kMaxSubStepsPerCall = 200'000;
constexpr double kSpeedbrakeShare = 1.5;
constexpr double kClimbThrustMarginKt = 10.0;     // in a climb, thrust is reduced only this far above target          // steepest descent over the idle descent rate    // a huge step gets longer sub-steps, not a hang

double FiniteOr(double value, double fallback) { return std::isfinite(value) ? value : fallback; }

// A station that cannot be placed is not tuned; a course that is not a number makes no localizer.
std::optional<NavStation> SanitizedStation(std::optional<NavStation> station) {
    if (!station || !std::isfinite(station->latitudeDeg) || !std::isfinite(station->longitudeDeg))
        return std::nullopt;
    station->latitudeDeg = std::clamp(station->latitudeDeg, -90.0, 90.0);
    if (station->localizerCourseDegMag && !std::isfinite(*station->localizerCourseDegMag))
        station->localizerCourseDegMag.reset();
    return station;
}

// Every number the model integrates must be finite; anything else falls back to the defaults.
FlightModelConfig Sanitized(FlightModelConfig c) {
    const FlightModelConfig d;
    c.latitudeDeg = std::clamp(FiniteOr(c.latitudeDeg, d.latitudeDeg), -90.0, 90.0);
    c.longitudeDeg = FiniteOr(c.longitudeDeg, d.longitudeDeg);
    c.fieldElevationFt = FiniteOr(c.fieldElevationFt, d.fieldElevationFt);
    c.fieldElevationFt = std::clamp(c.fieldElevationFt, -1000.0, 20000.0);
    c.altitudeFt = std::clamp(FiniteOr(c.altitudeFt, d.altitudeFt), c.fieldElevationFt, kCeilingFt);
    c.trueHeadingDeg = FiniteOr(c.trueHeadingDeg, d.trueHeadingDeg);
    c.iasKt = std::max(FiniteOr(c.iasKt, d.iasKt), kMinIasKt);
    c.windFromDeg = FiniteOr(c.windFromDeg, d.windFromDeg);
    c.windSpeedKt = std::abs(FiniteOr(c.windSpeedKt, d.windSpeedKt));
    c.timeFactor = c.timeFactor >= 0 && std::isfinite(c.timeFactor) ? c.timeFactor : d.timeFactor;
    c.magneticVariationDeg = FiniteOr(c.magneticVariationDeg, d.magneticVariationDeg);
    c.grossWeightLb = FiniteOr(c.grossWeightLb, d.grossWeightLb);
    c.nav1 = SanitizedStation(c.nav1);
    c.nav2 = SanitizedStation(c.nav2);
    return c;
}

// Moves value toward target with a first-order lag, its rate limited to +-maxRate; settles
// exactly once within a thousandth of a unit, so a level aircraft is level, not nearly so.
double Approach(double value, double target, double lagSeconds, double maxRate, double dt) {
    if (std::abs(target - value) < 1e-3) return target;
    double rate = std::clamp((target - value) / lagSeconds, -maxRate, maxRate);
    double next = value + rate * dt;
    return (target - value) * (target - next) <= 0 ? target : next;  // never step past the target
}

struct GroundVector {
    double trackRad, speedKt;
};

GroundVector WindTriangle(double headingRad, double tasKt, double windFromDeg, double windSpeedKt) {
    double windToRad = (windFromDeg + 180.0) * kDegToRad;
    double north = tasKt * std::cos(headingRad) + windSpeedKt * std::cos(windToRad);
    double east = tasKt * std::sin(headingRad) + windSpeedKt * std::sin(windToRad);
    return {WrapTwoPi(std::atan2(east, north)), std::hypot(north, east)};
}

double InitialCourse(const std::optional<NavStation>& station, const FlightModelConfig& c) {
    if (!station) return 0;
    if (station->localizerCourseDegMag) return Wrap360(*station->localizerCourseDegMag);
    double toStation = CourseAndDistance(c.latitudeDeg * kDegToRad, c.longitudeDeg * kDegToRad,
                                         station->latitudeDeg * kDegToRad, station->longitudeDeg * kDegToRad)
                           .courseRad / kDegToRad;
    return Wrap360(std::round(toStation - c.magneticVariationDeg));
}

}  // namespace

// ---- autopilot switches ----

void AutopilotInputs::setHeadingHold(bool on) {
    headingHold = on;
    if (on) navHold = approachHold = false;
}

void AutopilotInputs::setNavHold(bool on) {
    navHold = on;
    if (on) headingHold = approachHold = false;
}

void AutopilotInputs::setAltitudeHold(bool on) {
    altitudeHold = on;
    if (on) approachHold = false;
}

void AutopilotInputs::setAirspeedHold(bool on) { airspeedHold = on; }

void AutopilotInputs::setApproachHold(bool on) {
    approachHold = on;
    if (on) headingHold = navHold = altitudeHold = false;
}

// ---- model ----

FlightModel::FlightModel(const FlightModelConfig& config)
    : config_(Sanitized(config)),
      clock_(config_.utcDate),
      latRad_(config_.latitudeDeg * kDegToRad),
      lonRad_(std::remainder(config_.longitudeDeg, 360.0) * kDegToRad),
      altitudeFt_(config_.altitudeFt),
      headingRad_(WrapTwoPi(config_.trueHeadingDeg * kDegToRad)),
      iasKt_(config_.iasKt) {
    autopilot_.headingBugDegMag = Wrap360(config_.trueHeadingDeg - config_.magneticVariationDeg);
    autopilot_.targetAltitudeFt = altitudeFt_;
    autopilot_.targetIasKt = iasKt_;
    autopilot_.nav1CourseDegMag = InitialCourse(config_.nav1, config_);
    autopilot_.nav2CourseDegMag = InitialCourse(config_.nav2, config_);
    refreshSnapshot();
}

void FlightModel::setMagneticVariationDeg(double variationDeg) {
    if (!std::isfinite(variationDeg)) return;
    config_.magneticVariationDeg = variationDeg;
    snapshot_.magneticVariationDeg = variationDeg;
}

void FlightModel::setTimeFactor(double factor) {
    if (factor >= 0 && std::isfinite(factor)) config_.timeFactor = factor;
}

void FlightModel::step(double realSeconds) {
    double simSeconds = realSeconds * config_.timeFactor;
    if (!(simSeconds > 0) || !std::isfinite(simSeconds)) {
        // Paused (or nonsense): time stands still, but the radios still see new courses.
        iasRateKtPerS_ = 0;
        refreshSnapshot();
        return;
    }
    auto count = static_cast<long>(std::min(std::ceil(simSeconds / kMaxSubStepSeconds),
                                            static_cast<double>(kMaxSubStepsPerCall)));
    double dt = simSeconds / static_cast<double>(count);
    double iasBefore = iasKt_;
    for (long i = 0; i < count; ++i) integrate(dt);
    if (config_.variationAt) setMagneticVariationDeg(config_.variationAt(latRad_ / kDegToRad, lonRad_ / kDegToRad));
    clock_.advance(simSeconds);  // whole step at once: no rounding drift from the sub-steps
    simulatedSeconds_ += simSeconds;
    iasRateKtPerS_ = (iasKt_ - iasBefore) / simSeconds;
    refreshSnapshot();
}

void FlightModel::integrate(double dt) {
    double tasKt = TrueFromIndicatedKt(iasKt_, altitudeFt_);
    GroundVector ground = WindTriangle(headingRad_, tasKt, config_.windFromDeg, config_.windSpeedKt);

    AirData air;
    air.trueHeadingDeg = headingRad_ / kDegToRad;
    air.tasKt = tasKt;
    air.groundSpeedKt = ground.speedKt;
    air.altitudeFt = altitudeFt_;
    air.magneticVariationDeg = config_.magneticVariationDeg;
    air.windFromDeg = config_.windFromDeg;
    air.windSpeedKt = config_.windSpeedKt;
    NavSolution nav1;
    if (autopilot_.master && (autopilot_.navHold || autopilot_.approachHold))
        nav1 = SolveNav(config_.nav1, autopilot_.nav1CourseDegMag, config_.fieldElevationFt,
                        {latRad_, lonRad_, altitudeFt_, air.trueHeadingDeg, config_.magneticVariationDeg});
    FlightCommands cmd = ComputeCommands(autopilot_, air, nav1, glideslopeCaptured_);
    // A caller may poke anything into the autopilot targets; nonsense is not flown.
    cmd.bankDeg = FiniteOr(cmd.bankDeg, 0.0);
    cmd.verticalSpeedFpm = FiniteOr(cmd.verticalSpeedFpm, 0.0);
    if (cmd.iasKt && !std::isfinite(*cmd.iasKt)) cmd.iasKt.reset();

    // Airframe: roll-rate limited bank, coordinated turn, vertical speed with a g limit, thrust
    // that accelerates less while climbing and decelerates less while descending.
    double bankDeg = Approach(bankRad_ / kDegToRad, cmd.bankDeg, kRollLagSeconds, kRollRateDegPerS, dt);
    bankRad_ = std::clamp(bankDeg, -kMaxBankDeg, kMaxBankDeg) * kDegToRad;
    headingRad_ = WrapTwoPi(headingRad_ + kGravityFtPerS2 * std::tan(bankRad_) /
                                              (std::max(tasKt, kMinIasKt) * kFeetPerSecondPerKt) * dt);

    double vsTarget = std::clamp(cmd.verticalSpeedFpm, -kMaxVerticalSpeedFpm, kMaxVerticalSpeedFpm);
    if (config_.climbPerformance) {
        // The airframe climbs no faster than its performance allows at this weight, speed and
        // altitude; descents may use the speedbrakes beyond the idle rate.
        const ClimbLimits limits = config_.climbPerformance(config_.grossWeightLb, iasKt_, altitudeFt_);
        const double most = std::isfinite(limits.climbFpm) ? std::max(limits.climbFpm, 0.0) : kMaxVerticalSpeedFpm;
        const double least = std::isfinite(limits.descentFpm) ? std::min(limits.descentFpm * kSpeedbrakeShare, 0.0)
                                                               : -kMaxVerticalSpeedFpm;
        vsTarget = std::clamp(vsTarget, std::max(least, -kMaxVerticalSpeedFpm), std::min(most, kMaxVerticalSpeedFpm));
    }
    verticalSpeedFpm_ = Approach(verticalSpeedFpm_, vsTarget, kVerticalLagSeconds, kVerticalAccelFpmPerS, dt);

    double availableClimbFpm = kMaxVerticalSpeedFpm;
    if (config_.climbPerformance) {
        const double climb = config_.climbPerformance(config_.grossWeightLb, iasKt_, altitudeFt_).climbFpm;
        if (std::isfinite(climb)) availableClimbFpm = std::max(climb, 0.0);
    }
    if (cmd.iasKt && config_.climbPerformance && vsTarget > 0) {
        // Climbing at climb thrust: the energy the climb does not use accelerates the aircraft,
        // a steeper climb than the thrust allows slows it (thrust comes back well above target).
        double rate = kGravityFtPerS2 * (availableClimbFpm - verticalSpeedFpm_) / 60.0 /
                      (std::max(tasKt, kMinIasKt) * kFeetPerSecondPerKt);
        if (rate > 0 && iasKt_ >= *cmd.iasKt + kClimbThrustMarginKt) rate = 0;
        iasKt_ = std::max(kMinIasKt, iasKt_ + rate * dt);
    } else if (cmd.iasKt) {
        double climbShare = std::clamp(verticalSpeedFpm_ / 8000.0, -0.6, 0.6);
        bool speedUp = *cmd.iasKt > iasKt_;
        double limit = kAccelKtPerS * (1.0 - std::max(0.0, speedUp ? climbShare : -climbShare));
        iasKt_ = std::max(kMinIasKt, Approach(iasKt_, *cmd.iasKt, kSpeedLagSeconds, limit, dt));
    }

    double groundFt = config_.fieldElevationFt;
    altitudeFt_ += verticalSpeedFpm_ / 60.0 * dt;
    if (altitudeFt_ >= kCeilingFt) {
        altitudeFt_ = kCeilingFt;
        verticalSpeedFpm_ = std::min(0.0, verticalSpeedFpm_);
    }
    if (altitudeFt_ <= groundFt) {  // flat ground: the aircraft rests on it, no crash model
        altitudeFt_ = groundFt;
        verticalSpeedFpm_ = std::max(0.0, verticalSpeedFpm_);
    }

    // The air mass carries the aircraft along a great circle; its heading turns with the track
    // (meridians converge), which also takes it over a pole the right way.
    double endTrackRad = MoveAlong(latRad_, lonRad_, ground.trackRad, ground.speedKt * dt / 3600.0);
    headingRad_ = WrapTwoPi(headingRad_ + std::remainder(endTrackRad - ground.trackRad, 2 * kPi));
}

void FlightModel::refreshSnapshot() {
    AircraftSnapshot& s = snapshot_;
    s.latitudeDeg = latRad_ / kDegToRad;
    s.longitudeDeg = lonRad_ / kDegToRad;
    s.altitudeFt = altitudeFt_;
    s.radioAltitudeFt = std::max(0.0, altitudeFt_ - config_.fieldElevationFt);
    s.verticalSpeedFpm = verticalSpeedFpm_;
    s.trueHeadingDeg = Wrap360(headingRad_ / kDegToRad);
    s.bankDeg = bankRad_ / kDegToRad;
    s.magneticVariationDeg = config_.magneticVariationDeg;
    s.iasKt = iasKt_;
    s.tasKt = TrueFromIndicatedKt(iasKt_, altitudeFt_);
    GroundVector ground = WindTriangle(headingRad_, s.tasKt, config_.windFromDeg, config_.windSpeedKt);
    s.groundSpeedKt = ground.speedKt;
    s.groundTrackDegTrue = ground.trackRad / kDegToRad;
    s.windFromDeg = Wrap360(config_.windFromDeg);
    s.windSpeedKt = config_.windSpeedKt;
    s.longitudinalAccelFtPerS2 = iasRateKtPerS_ * kFeetPerSecondPerKt;
    s.grossWeightLb = config_.grossWeightLb;
    s.utcYear = clock_.year();
    s.dayOfYear = clock_.dayOfYear();
    s.month = clock_.month();
    s.dayOfMonth = clock_.dayOfMonth();
    s.utcHour = clock_.hour();
    s.utcMinute = clock_.minute();
    s.utcSecond = clock_.second();
    s.simulatedSeconds = simulatedSeconds_;

    AircraftFix fix{latRad_, lonRad_, altitudeFt_, s.trueHeadingDeg, config_.magneticVariationDeg};
    s.nav1 = SolveNav(config_.nav1, autopilot_.nav1CourseDegMag, config_.fieldElevationFt, fix).receiver;
    s.nav2 = SolveNav(config_.nav2, autopilot_.nav2CourseDegMag, config_.fieldElevationFt, fix).receiver;
}

}  // namespace halvex::sim
