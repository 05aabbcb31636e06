// FlightModel: the substitute simulator's aircraft. A point-mass model on a spherical earth that
// obeys the autopilot switches and targets the data server writes, and serves every value the
// data server reads. Deterministic: the same configuration and the same steps give the same state.
#pragma once

#include <functional>
#include <optional>

#include "sim/SimClock.h"

namespace halvex::sim {

// A tuned navaid. With a course it is a localizer with a 3 degree glideslope whose antenna sits
// at the station position, at field elevation; without one it is a VOR with DME.
struct NavStation {
    double latitudeDeg = 0;
    double longitudeDeg = 0;
    std::optional<double> localizerCourseDegMag;
};

// The vertical speeds the airframe can fly at a weight, indicated airspeed and altitude.
struct ClimbLimits {
    double climbFpm = 6000.0;    // best rate of climb, positive
    double descentFpm = -6000.0; // steepest descent, negative
};
using ClimbPerformance = std::function<ClimbLimits(double weightLb, double iasKt, double altitudeFt)>;
// Magnetic variation (degrees east) at a position; the model asks for it after every step.
using VariationSource = std::function<double(double latitudeDeg, double longitudeDeg)>;

struct FlightModelConfig {
    double latitudeDeg = 30.0;
    double longitudeDeg = 135.0;
    double altitudeFt = 5000.0;       // MSL
    double trueHeadingDeg = 0.0;
    double iasKt = 250.0;
    double windFromDeg = 0.0;
    double windSpeedKt = 0.0;
    double fieldElevationFt = 0.0;    // flat ground everywhere
    SimDate utcDate{2026, 1, 1, 12, 0};
    double timeFactor = 1.0;          // simulated seconds per real second
    double magneticVariationDeg = 0.0;  // east positive: magnetic = true - variation
    double grossWeightLb = 120000.0;
    std::optional<NavStation> nav1;
    std::optional<NavStation> nav2;
    ClimbPerformance climbPerformance;  // empty: any vertical speed up to the autopilot's limit
    VariationSource variationAt;        // empty: the variation stays as configured
};

// What one NAV receiver shows. Needles run -127..127 at full scale.
struct NavReceiver {
    bool tuned = false;               // a station is configured
    double relativeBearingDeg = 0;    // clockwise from the aircraft's heading, 0..360
    double dmeNm = 0;                 // slant distance
    double lateralNeedle = 0;         // positive: the course lies to the right
    double verticalNeedle = 0;        // positive: the aircraft is above the glide path
    bool glideslopeValid = false;
    double selectedCourseDegMag = 0;  // the course selector (the data server's course offset)
};

struct AircraftSnapshot {
    double latitudeDeg = 0;
    double longitudeDeg = 0;
    double altitudeFt = 0;            // MSL
    double radioAltitudeFt = 0;       // above field elevation, never below 0
    double verticalSpeedFpm = 0;
    double trueHeadingDeg = 0;        // 0..360
    double groundTrackDegTrue = 0;    // 0..360
    double bankDeg = 0;               // positive right wing down
    double magneticVariationDeg = 0;
    double iasKt = 0;
    double tasKt = 0;
    double groundSpeedKt = 0;
    double windFromDeg = 0;
    double windSpeedKt = 0;
    double longitudinalAccelFtPerS2 = 0;  // rate of change of the indicated airspeed
    double grossWeightLb = 0;
    int utcYear = 0;
    int dayOfYear = 1;                // 1-based
    int month = 1;
    int dayOfMonth = 1;
    int utcHour = 0;
    int utcMinute = 0;
    int utcSecond = 0;
    double simulatedSeconds = 0;      // since construction
    NavReceiver nav1;
    NavReceiver nav2;
};

// The autopilot panel as the data server sees it. Holds are set through the engage functions so
// that the modes stay exclusive: heading, nav and approach hold share the lateral axis; altitude
// and approach hold share the vertical axis (approach takes both). Airspeed hold is the
// autothrottle and combines with any of them.
struct AutopilotInputs {
    bool master = false;
    bool flightDirector = false;
    bool headingHold = false;
    bool navHold = false;
    bool altitudeHold = false;
    bool airspeedHold = false;
    bool approachHold = false;
    double headingBugDegMag = 0;
    double targetAltitudeFt = 0;
    double targetVerticalSpeedFpm = 0;  // magnitude used, sign taken toward the target altitude
    double targetIasKt = 0;
    double nav1CourseDegMag = 0;
    double nav2CourseDegMag = 0;

    // on = engage (dropping the holds it excludes); off = release only this hold.
    void setHeadingHold(bool on);
    void setNavHold(bool on);
    void setAltitudeHold(bool on);
    void setAirspeedHold(bool on);
    void setApproachHold(bool on);
};

class FlightModel {
public:
    explicit FlightModel(const FlightModelConfig& config);

    // Advances simulated time by realSeconds * time factor in equal sub-steps of at most
    // kMaxSubStepSeconds, so any step size integrates the same way. With a time factor of 0 only
    // the snapshot is refreshed (new courses move the needles while paused).
    void step(double realSeconds);

    const AircraftSnapshot& state() const { return snapshot_; }
    AutopilotInputs& autopilot() { return autopilot_; }
    const AutopilotInputs& autopilot() const { return autopilot_; }
    const FlightModelConfig& config() const { return config_; }

    // The variation may follow the aircraft (the server can look it up from a grid each frame).
    // Non-finite values are ignored, as are non-finite numbers in the configuration (defaults).
    void setMagneticVariationDeg(double variationDeg);
    void setTimeFactor(double factor);  // ignored unless finite and >= 0

    static constexpr double kMaxSubStepSeconds = 0.05;  // of simulated time

private:
    void integrate(double dtSeconds);
    void refreshSnapshot();

    FlightModelConfig config_;
    AutopilotInputs autopilot_;
    AircraftSnapshot snapshot_;
    SimClock clock_;

    double latRad_ = 0, lonRad_ = 0;
    double altitudeFt_ = 0;
    double headingRad_ = 0;           // true
    double bankRad_ = 0;
    double iasKt_ = 0;
    double verticalSpeedFpm_ = 0;
    double iasRateKtPerS_ = 0;
    double simulatedSeconds_ = 0;
    bool glideslopeCaptured_ = false;
};

}  // namespace halvex::sim
