#include "simulator/Autopilot.h"

#include <algorithm>
#include <cmath>

#include "simulator/Sphere.h"

namespace halvex::sim {

namespace {

constexpr double kHeadingLoopLagSeconds = 1.5;   // roll response assumed by the heading gain
constexpr double kNavInterceptGain = 4000.0;     // deg of intercept per (nm of cross-track / kt)
constexpr double kCaptureTimeSeconds = 12.0;     // altitude capture time constant (minimum)
constexpr double kCaptureAccelFpmPerS = 160.0;   // vertical acceleration the capture may ask for
constexpr double kGlideslopeCaptureFt = 40.0;    // within this of the glide path the hold latches
constexpr double kGlidepathGainPerS = 0.1;       // path corrections: 10 % of the error per second

double TrackWithIntercept(const NavSolution& nav, const AirData& air) {
    double interceptDeg = std::clamp(nav.crossTrackNm / std::max(air.tasKt, 60.0) * kNavInterceptGain,
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
    double errorFt = ap.targetAltitudeFt - air.altitudeFt;
    double rateFpm = std::abs(ap.targetVerticalSpeedFpm);
    if (rateFpm < 1.0) rateFpm = kDefaultVerticalSpeedFpm;
    rateFpm = std::min(rateFpm, kMaxVerticalSpeedFpm);
    // Exponential capture, slow enough that the vertical acceleration it needs stays available.
    double captureSeconds = std::max(kCaptureTimeSeconds, rateFpm / kCaptureAccelFpmPerS);
    return std::clamp(errorFt * 60.0 / captureSeconds, -rateFpm, rateFpm);
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
