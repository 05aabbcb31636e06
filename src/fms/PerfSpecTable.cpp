#include "fms/PerfSpecTable.h"

#include <filesystem>
#include <stdexcept>

#include "script/ScriptHost.h"

namespace halvex {

namespace {

// ---- reading -------------------------------------------------------------------------------

class SpecReader {
public:
    explicit SpecReader(ScriptHost& engine) : engine_(engine) {}

    // Reads SPEC_TBL[keys...]; a missing or non-numeric value fails the whole load.
    float number(std::initializer_list<ScriptValue> keys) {
        ScriptPath path = MakePath("SPEC_TBL");
        for (const ScriptValue& k : keys) path.append(k);
        ScriptValue v;
        if (engine_.GetValue(v, path) != 0 || v.kind() == ScriptKind::String || v.isNone())
            throw std::runtime_error("missing key");
        return static_cast<float>(v.asReal());
    }

private:
    ScriptHost& engine_;
};

ScriptValue K(const char* s) { return ScriptValue::String(s); }
ScriptValue I(int i) { return ScriptValue::Integer(i); }

// A size beyond this is a broken file, not an aircraft.
constexpr float kMaxRows = 10000;

int rowCount(float size) {
    if (!(size >= 0) || size > kMaxRows) throw std::runtime_error("bad size");
    return static_cast<int>(size);
}

std::vector<WeightEntry> readTable(SpecReader& r) {
    std::vector<WeightEntry> entries;
    const int weights = rowCount(r.number({K("size")}));
    for (int i = 0; i < weights; ++i) {
        WeightEntry e;
        const int speeds = rowCount(r.number({I(i), K("size")}));
        e.weight = r.number({I(i), K("weight")});
        e.v1 = r.number({I(i), K("v1")});
        e.vr = r.number({I(i), K("vr")});
        e.v2 = r.number({I(i), K("v2")});
        e.optClbSpd = r.number({I(i), K("optClbSpd")});
        e.optDesSpd = r.number({I(i), K("optDesSpd")});
        e.optCrzSpd = r.number({I(i), K("optCrzSpd")});
        for (int j = 0; j < speeds; ++j) {
            SpeedRow s;
            const int alts = rowCount(r.number({I(i), I(j), K("size")}));
            s.spd = r.number({I(i), I(j), K("spd")});
            s.turnRate = r.number({I(i), I(j), K("turnRate")});
            for (int k = 0; k < alts; ++k) {
                AltitudeRow a;
                a.alt = r.number({I(i), I(j), I(k), K("alt")});
                a.climb = r.number({I(i), I(j), I(k), K("climb")});
                a.descend = r.number({I(i), I(j), I(k), K("descend")});
                s.altitudes.push_back(a);
            }
            e.speeds.push_back(std::move(s));
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

// ---- blending ------------------------------------------------------------------------------
// a * f + b * g on every number; nested rows blend index by index (the shorter list bounds it).

AltitudeRow blend(const AltitudeRow& a, const AltitudeRow& b, float f, float g) {
    return {a.alt * f + b.alt * g, a.climb * f + b.climb * g, a.descend * f + b.descend * g};
}

SpeedRow blend(const SpeedRow& a, const SpeedRow& b, float f, float g) {
    SpeedRow r;
    r.turnRate = a.turnRate * f + b.turnRate * g;
    r.spd = a.spd * f + b.spd * g;
    const size_t n = std::min(a.altitudes.size(), b.altitudes.size());
    for (size_t i = 0; i < n; ++i) r.altitudes.push_back(blend(a.altitudes[i], b.altitudes[i], f, g));
    return r;
}

WeightEntry blend(const WeightEntry& a, const WeightEntry& b, float f, float g) {
    WeightEntry r;
    r.weight = a.weight * f + b.weight * g;
    r.v1 = a.v1 * f + b.v1 * g;
    r.vr = a.vr * f + b.vr * g;
    r.v2 = a.v2 * f + b.v2 * g;
    r.optClbSpd = a.optClbSpd * f + b.optClbSpd * g;
    r.optDesSpd = a.optDesSpd * f + b.optDesSpd * g;
    r.optCrzSpd = a.optCrzSpd * f + b.optCrzSpd * g;
    const size_t n = std::min(a.speeds.size(), b.speeds.size());
    for (size_t i = 0; i < n; ++i) r.speeds.push_back(blend(a.speeds[i], b.speeds[i], f, g));
    return r;
}

// The one interpolation rule of all three levels; an empty level yields a default row.
template <typename Row, typename KeyOf>
Row interpolate(const std::vector<Row>& rows, float x, KeyOf key) {
    if (rows.empty()) return Row{};
    if (rows.size() == 1 || x <= key(rows.front())) return rows.front();
    if (x >= key(rows.back())) return rows.back();
    for (size_t i = 0; i + 1 < rows.size(); ++i) {
        const float ka = key(rows[i]), kb = key(rows[i + 1]);
        if (ka <= x && x <= kb) {
            if (kb == ka) return rows[i];
            const float f = (kb - x) / (kb - ka);
            return blend(rows[i], rows[i + 1], f, 1 - f);
        }
    }
    return rows.back();  // unsorted rows: no bracketing pair
}

}  // namespace

int PerfSpecTable::load(ScriptHost& engine, const std::string& aircraftDirectory) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string path = aircraftDirectory + kFileName;
    if (aircraftDirectory.empty() || !fs::is_regular_file(path, ec)) {
        path = std::string("Gauges/HalvexFmsZolan/") + kFileName;
        if (!fs::is_regular_file(path, ec)) return -1;
    }
    try {
        engine.LoadScript(path.c_str());
        SpecReader reader(engine);
        entries_ = readTable(reader);
    } catch (const std::exception&) {
        return -1;
    }
    return 0;
}

WeightEntry PerfSpecTable::atWeight(float w) const {
    return interpolate(entries_, w, [](const WeightEntry& e) { return e.weight; });
}

SpeedRow PerfSpecTable::atSpeed(const WeightEntry& entry, float s) {
    return interpolate(entry.speeds, s, [](const SpeedRow& r) { return r.spd; });
}

AltitudeRow PerfSpecTable::atAltitude(const SpeedRow& row, float h) {
    return interpolate(row.altitudes, h, [](const AltitudeRow& r) { return r.alt; });
}

float PerfSpecTable::cruiseSpeed(float w) const { return atWeight(w).optCrzSpd; }

float PerfSpecTable::turnRate(float w, float s) const { return atSpeed(atWeight(w), s).turnRate; }

float PerfSpecTable::climbAt(float w, float s, float h) const {
    return atAltitude(atSpeed(atWeight(w), s), h).climb;
}

float PerfSpecTable::descentAt(float w, float s, float h) const {
    return atAltitude(atSpeed(atWeight(w), s), h).descend;
}

std::pair<float, float> PerfSpecTable::climbAtOptimum(float w, float h) const {
    const WeightEntry e = atWeight(w);
    return {atAltitude(atSpeed(e, e.optClbSpd), h).climb, e.optClbSpd};
}

std::pair<float, float> PerfSpecTable::descentAtOptimum(float w, float h) const {
    const WeightEntry e = atWeight(w);
    return {atAltitude(atSpeed(e, e.optDesSpd), h).descend, e.optDesSpd};
}

}  // namespace halvex
