// PerfSpecTable: aircraft performance by weight, speed and altitude, interpolated linearly on
// each level (clamped at both ends), read from the Lua specification file.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace halvex {

class ScriptHost;

struct AltitudeRow {
    float alt = 0, climb = 0, descend = 0;
};

struct SpeedRow {
    std::vector<AltitudeRow> altitudes;
    float turnRate = 0;  // degrees per second
    float spd = 0;       // knots
};

struct WeightEntry {
    std::vector<SpeedRow> speeds;
    float weight = 0;
    float v1 = 0, vr = 0, v2 = 0;
    float optClbSpd = 0, optDesSpd = 0, optCrzSpd = 0;
};

class PerfSpecTable {
public:
    static constexpr const char* kFileName = "FMS_ZOLAN.spc";

    // Runs the first existing candidate file in engine and reads "SPEC_TBL". 0 on success, -1 on
    // failure (the table is then left as it was). aircraftDirectory is the simulator path plus
    // the aircraft folder, or empty when there is no simulator link.
    int load(ScriptHost& engine, const std::string& aircraftDirectory);

    bool empty() const { return entries_.empty(); }
    const std::vector<WeightEntry>& entries() const { return entries_; }
    void replace(std::vector<WeightEntry> entries) { entries_ = std::move(entries); }

    WeightEntry atWeight(float w) const;
    static SpeedRow atSpeed(const WeightEntry& entry, float s);
    static AltitudeRow atAltitude(const SpeedRow& row, float h);

    float cruiseSpeed(float w) const;
    float turnRate(float w, float s) const;
    float climbAt(float w, float s, float h) const;
    float descentAt(float w, float s, float h) const;
    std::pair<float, float> climbAtOptimum(float w, float h) const;   // (climb, speed)
    std::pair<float, float> descentAtOptimum(float w, float h) const; // (descend, speed)

private:
    std::vector<WeightEntry> entries_;
};

}  // namespace halvex
