// FlyRecorder: what `fly` observes of a flight: the sequenced waypoints, the cross-track error on
// straight legs and in turns, where the descent began, and the flown track as CSV and KML.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/FmsCore.h"
#include "sim/FlightModel.h"

namespace halvex::cli {

struct FlownSample {
    double timeS, latDeg, lonDeg, altitudeFt;
};

class FlyRecorder final : public SequenceListener {
public:
    static constexpr double kSettleAfterTurnS = 180.0;  // straight-leg errors count from here on

    FlyRecorder(FmsCore& core, bool quiet) : core_(core), quiet_(quiet) {}
    ~FlyRecorder() override;

    bool OpenTrack(const std::string& path);  // false when the file cannot be written
    // The flight plan as it was when the flight began, and the descent start it predicted.
    void RememberPlan(const FlightPlan& plan);

    void OnWaypointPassed(const WaypointEntry& passed) override;
    // After every frame.
    void Sample(const sim::AircraftSnapshot& s, const sim::AutopilotInputs& ap);
    bool WriteKml(const std::string& path) const;
    // The planned legs and the flown track on one north-up map (PNG).
    bool WritePlot(const std::string& path, const std::string& title) const;

    int Sequenced() const { return sequenced_; }
    double MaxStraightXtkNm() const { return maxStraightXtk_; }
    double MaxTurnXtkNm() const { return maxTurnXtk_; }
    bool DescentStarted() const { return descentStarted_; }
    // Distance from the predicted top of descent to where the aircraft began to descend (nm);
    // negative when there was none.
    double TodOffsetNm() const;
    double CruiseDeviationFt() const { return maxCruiseDeviation_; }  // largest, while level at cruise
    double MaxIasBelow10000Kt() const { return maxIasLow_; }
    const std::vector<std::pair<std::string, double>>& ConstraintErrors() const { return constraintErrors_; }

private:
    void writeRow(const sim::AircraftSnapshot& s, const sim::AutopilotInputs& ap);

    FmsCore& core_;
    bool quiet_;
    std::FILE* track_ = nullptr;
    double nextRowS_ = 0;
    double now_ = 0;
    int sequenced_ = 0;
    double maxStraightXtk_ = 0, maxTurnXtk_ = 0;
    double lastTurnEndS_ = 0;
    bool wasTurning_ = false;
    int32_t lastTo_ = -1;
    bool hasTod_ = false;
    GeoPoint predictedTod_{};
    bool descentStarted_ = false;
    GeoPoint flownTod_{};
    double cruiseAltitudeFt_ = 0;
    bool reachedCruise_ = false;
    double maxCruiseDeviation_ = 0;
    double maxIasLow_ = 0;
    double altitudeFt_ = 0, iasKt_ = 0;
    std::vector<std::pair<std::string, double>> constraintErrors_;  // at-constraints: name, error ft
    std::vector<FlownSample> flown_;
    std::vector<GeoPoint> planned_;
    std::vector<std::string> plannedNames_;  // empty for points the legs view hides
};

}  // namespace halvex::cli
