#include "sim/Autopilot.h"

#include <algorithm>
#include <cmath>

#include "sim/Sphere.h"

namespace halvex::sim {

namespace {

constexpr double kHeadingLoopLagSeconds = 1.5;   // roll response assumed by the heading gain
constexpr double kNavInterceptGain = 4000.0;     // deg of intercept per (nm of cross-track / kt)
constexpr double kLocalizerInterceptGain = 8000.0;  // tighter: the beam narrows toward the runway
constexpr double kCaptureAccelFtPerS2 = 2.0;     // vertical deceleration the capture plans with
constexpr double kCaptureFinalSeconds = 4.0;     // time constant of the last few feet
constexpr double kGlideslopeCaptureFt = 40.0;    // within this of the glide path the hold latches
constexpr double kGlidepathGainPerS = 0.1;       // path corrections: 10 % of the error per second

double TrackWithIntercept(const NavSolution& nav, const AirData& air) {
    double gain = nav.isLocalizer ? kLocalizerInterceptGain : kNavInterceptGain;
    double interceptDeg = std::clamp(nav.crossTrackNm / std::max(air.tasKt, 60.0) * gain,
                                     -kMaxInterceptDeg, kMaxInterceptDeg);
    return nav.trackDegTrue + interceptDeg;
}

std::optional<double> LateralTargetHeading(const AutopilotInputs& ap, const AirData& air,
                                           const NavSolution& nav1) {
    if (ap.headingHold) return ap.headingBugDegMag + air.magneticVariationDeg;
    if ((ap.navHold || ap.approachHold) && nav1.receiver.tuned)
        return HeadingForTrackDeg(TrackWithIntercept(nav1, air), air);
    return std::nullopt;  // wings level
}

double AltitudeHoldVerticalSpeed(const AutopilotInputs& ap, const AirData& air) {
    if (!std::isfinite(ap.targetAltitudeFt)) return 0.0;
    double errorFt = ap.targetAltitudeFt - air.altitudeFt;
    double rateFpm = std::abs(ap.targetVerticalSpeedFpm);
    if (rateFpm < 1.0) rateFpm = kDefaultVerticalSpeedFpm;
    rateFpm = std::min(rateFpm, kMaxVerticalSpeedFpm);
    // Capture: the rate that stops exactly at the target under a constant deceleration the
    // airframe can give, then an exponential tail; both leave no overshoot.
    double distanceFt = std::abs(errorFt);
    double stoppingFpm = std::sqrt(2.0 * kCaptureAccelFtPerS2 * distanceFt) * 60.0;
    double tailFpm = distanceFt * 60.0 / kCaptureFinalSeconds;
    return std::copysign(std::min({rateFpm, stoppingFpm, tailFpm}), errorFt);
}

double GlideslopeVerticalSpeed(const AirData& air, const NavSolution& nav1, bool& captured) {
    if (!nav1.receiver.glideslopeValid) return 0.0;  // level until there is a glideslope
    // Level until the path comes down onto the aircraft (the usual capture from below).
    if (!captured && std::abs(nav1.glidepathErrorFt) > kGlideslopeCaptureFt) return 0.0;
    captured = true;
    double pathFpm = -air.groundSpeedKt * kFeetPerNm / 60.0 * std::tan(kGlideslopeDeg * kDegToRad);
    double correctionFpm = -nav1.glidepathErrorFt * kGlidepathGainPerS * 60.0;
    return std::clamp(pathFpm + correctionFpm, -kMaxVerticalSpeedFpm, 1000.0);
}

}  // namespace

double HeadingForTrackDeg(double trackDegTrue, const AirData& air) {
    if (air.tasKt <= 10.0 || air.windSpeedKt <= 0.0) return Wrap360(trackDegTrue);
    double crossRatio = air.windSpeedKt * std::sin((air.windFromDeg - trackDegTrue) * kDegToRad) / air.tasKt;
    return Wrap360(trackDegTrue + std::asin(std::clamp(crossRatio, -1.0, 1.0)) / kDegToRad);
}

double BankForHeadingDeg(double desiredTrueHeadingDeg, const AirData& air) {
    double errorDeg = Wrap180(desiredTrueHeadingDeg - air.trueHeadingDeg);
    // Heading rate is g tan(bank) / V; with a roll lag tau the loop is critically damped for
    // bank = V / (4 g tau) * error.
    double speedFtPerS = std::max(air.tasKt, 60.0) * kFeetPerSecondPerKt;
    double gain = speedFtPerS / (4.0 * kGravityFtPerS2 * kHeadingLoopLagSeconds);
    return std::clamp(gain * errorDeg, -kMaxBankDeg, kMaxBankDeg);
}

FlightCommands ComputeCommands(const AutopilotInputs& ap, const AirData& air, const NavSolution& nav1,
                               bool& glideslopeCaptured) {
    FlightCommands out;
    if (!ap.approachHold) glideslopeCaptured = false;
    if (!ap.master) return out;  // wings level, level flight, thrust untouched

    if (auto heading = LateralTargetHeading(ap, air, nav1)) out.bankDeg = BankForHeadingDeg(*heading, air);

    if (ap.approachHold) out.verticalSpeedFpm = GlideslopeVerticalSpeed(air, nav1, glideslopeCaptured);
    else if (ap.altitudeHold) out.verticalSpeedFpm = AltitudeHoldVerticalSpeed(ap, air);

    // The vertical modes fly the selected speed with the autothrottle as well.
    if ((ap.airspeedHold || ap.altitudeHold || ap.approachHold) && ap.targetIasKt > 0)
        out.iasKt = ap.targetIasKt;
    return out;
}

}  // namespace halvex::sim
