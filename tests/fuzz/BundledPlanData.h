// What the plan and guidance fuzz targets share: the bundled performance table, loaded once per
// process, and the plan invariants, whose violation aborts the run.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fms/PerfSpecTable.h"
#include "fms/PlanTestSupport.h"
#include "script/LuaHost.h"

namespace halvex::fuzz {

inline PerfSpecTable& BundledPerformance() {
    static PerfSpecTable* table = [] {
        auto* t = new PerfSpecTable;
        LuaHost engine;
        if (t->load(engine, (test::DataRoot() / "Gauges/HalvexFmsZolan/").string()) != 0) std::abort();
        return t;
    }();
    return *table;
}

inline void AbortOnPlanViolations(const FlightPlanSet& set) {
    const std::string v = test::PlanViolations(set.Active(), "active") + test::PlanViolations(set.Modified(), "modified");
    if (!v.empty()) {
        std::fputs(v.c_str(), stderr);
        std::abort();
    }
}

}  // namespace halvex::fuzz
