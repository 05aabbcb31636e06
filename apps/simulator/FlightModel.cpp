#include "simulator/FlightModel.h"

#include <algorithm>
#include <cmath>

#include "simulator/Atmosphere.h"
#include "simulator/Autopilot.h"
#include "simulator/NavRadio.h"
#include "simulator/Sphere.h"

namespace halvex::sim {

namespace {

constexpr double kRollRateDegPerS = 5.0;
constexpr double kRollLagSeconds = 1.0;
constexpr double kVerticalLagSeconds = 2.0;
constexpr double kVerticalAccelFpmPerS = 200.0;  // about 0.1 g
constexpr double kSpeedLagSeconds = 4.0;
constexpr double kAccelKtPerS = 1.5;              // level flight; less while climbing
constexpr double kMinIasKt = 60.0;

// Moves value toward target with a first-order lag, its rate limited to +-maxRate.
double Approach(double value, double target, double lagSeconds, double maxRate, double dt) {
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
    : config_(config),
      clock_(config.utcDate),
      latRad_(std::clamp(config.latitudeDeg, -90.0, 90.0) * kDegToRad),
      lonRad_(std::remainder(config.longitudeDeg, 360.0) * kDegToRad),
      altitudeFt_(std::max(config.altitudeFt, config.fieldElevationFt)),
      headingRad_(WrapTwoPi(config.trueHeadingDeg * kDegToRad)),
      iasKt_(std::max(config.iasKt, kMinIasKt)) {
    if (!(config_.timeFactor >= 0)) config_.timeFactor = 1.0;
    autopilot_.headingBugDegMag = Wrap360(config.trueHeadingDeg - config.magneticVariationDeg);
    autopilot_.targetAltitudeFt = altitudeFt_;
    autopilot_.targetIasKt = iasKt_;
    autopilot_.nav1CourseDegMag = InitialCourse(config.nav1, config);
    autopilot_.nav2CourseDegMag = InitialCourse(config.nav2, config);
    refreshSnapshot();
}

void FlightModel::setMagneticVariationDeg(double variationDeg) {
    config_.magneticVariationDeg = variationDeg;
    snapshot_.magneticVariationDeg = variationDeg;
}

void FlightModel::step(double realSeconds) {
    double simSeconds = realSeconds * config_.timeFactor;
    if (!(simSeconds > 0) || !std::isfinite(simSeconds)) return;
    auto count = static_cast<long>(std::ceil(simSeconds / kMaxSubStepSeconds));
    double dt = simSeconds / static_cast<double>(count);
    double iasBefore = iasKt_;
    for (long i = 0; i < count; ++i) integrate(dt);
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

    // Airframe: roll-rate limited bank, coordinated turn, vertical speed with a g limit, thrust
    // that accelerates less while climbing and decelerates less while descending.
    double bankDeg = Approach(bankRad_ / kDegToRad, cmd.bankDeg, kRollLagSeconds, kRollRateDegPerS, dt);
    bankRad_ = std::clamp(bankDeg, -kMaxBankDeg, kMaxBankDeg) * kDegToRad;
    headingRad_ = WrapTwoPi(headingRad_ + kGravityFtPerS2 * std::tan(bankRad_) /
                                              (std::max(tasKt, kMinIasKt) * kFeetPerSecondPerKt) * dt);

    double vsTarget = std::clamp(cmd.verticalSpeedFpm, -kMaxVerticalSpeedFpm, kMaxVerticalSpeedFpm);
    verticalSpeedFpm_ = Approach(verticalSpeedFpm_, vsTarget, kVerticalLagSeconds, kVerticalAccelFpmPerS, dt);

    if (cmd.iasKt) {
        double climbShare = std::clamp(verticalSpeedFpm_ / 8000.0, -0.6, 0.6);
        bool speedUp = *cmd.iasKt > iasKt_;
        double limit = kAccelKtPerS * (1.0 - std::max(0.0, speedUp ? climbShare : -climbShare));
        iasKt_ = std::max(kMinIasKt, Approach(iasKt_, *cmd.iasKt, kSpeedLagSeconds, limit, dt));
    }

    double groundFt = config_.fieldElevationFt;
    altitudeFt_ += verticalSpeedFpm_ / 60.0 * dt;
    if (altitudeFt_ <= groundFt) {  // flat ground: the aircraft rests on it, no crash model
        altitudeFt_ = groundFt;
        verticalSpeedFpm_ = std::max(0.0, verticalSpeedFpm_);
    }

    MoveAlong(latRad_, lonRad_, ground.trackRad, ground.speedKt * dt / 3600.0);
    clock_.advance(dt);
    simulatedSeconds_ += dt;
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
