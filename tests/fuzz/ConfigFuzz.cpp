// Arbitrary bytes as the configuration file and as the performance file, each run in a fresh
// Lua engine (globals from one input must not reach the next). A table that loads interpolates
// within its own values: lookups never leave the range of the numbers it was given.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "core/Configuration.h"
#include "fms/PerfSpecTable.h"
#include "script/LuaHost.h"

namespace {

using namespace halvex;

// Enough for any real table; a chunk that loops gives up quickly instead of stalling the run.
constexpr long kInstructionBudget = 200000;

struct Range {
    float low = INFINITY, high = -INFINITY;
    bool sane = true;  // finite, and small enough that differences of keys cannot overflow
    void add(float v) {
        sane = sane && std::fabs(v) < 1e18f;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    bool holds(float v) const {
        const float slack = 1e-4f * std::max(std::fabs(low), std::fabs(high)) + 1e-4f;
        return v >= low - slack && v <= high + slack;
    }
};

void checkInterpolation(const PerfSpecTable& table) {
    Range climb, weight, speed, altitude;
    for (const WeightEntry& w : table.entries()) {
        weight.add(w.weight);
        for (const SpeedRow& s : w.speeds) {
            speed.add(s.spd);
            for (const AltitudeRow& a : s.altitudes) {
                altitude.add(a.alt);
                climb.add(a.climb);
            }
        }
    }
    if (!climb.sane || !weight.sane || !speed.sane || !altitude.sane || climb.low > climb.high) return;
    const float probesW[] = {weight.low - 1, (weight.low + weight.high) / 2, weight.high + 1};
    const float probesS[] = {speed.low - 1, (speed.low + speed.high) / 2, speed.high + 1};
    const float probesH[] = {altitude.low - 1, (altitude.low + altitude.high) / 2, altitude.high + 1};
    for (float w : probesW)
        for (float s : probesS)
            for (float h : probesH) {
                const float v = table.climbAt(w, s, h);
                // Rows that end early default to zero; anything else must come from the table.
                if (v != 0 && !climb.holds(v)) std::abort();
            }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::ScratchFolder root("config-fuzz");
    root.write(Configuration::kFile, data, size);
    const std::string aircraftFolder = root.write("Aircraft/" + std::string(PerfSpecTable::kFileName), data, size)
                                           .parent_path()
                                           .string() + "/";
    LuaHost engine;
    engine.SetInstructionBudget(kInstructionBudget);
    Configuration config;
    config.load(engine, root.path());
    PerfSpecTable table;
    if (table.load(engine, aircraftFolder) == 0) checkInterpolation(table);
    return 0;
}
