// Shared pieces of the flight-plan tests: the bundled navigation data, plain entries at given
// places, a recording guidance and a plan description for whole-plan comparisons.
#pragma once

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "fms/FlightPlanModel.h"
#include "navdb/NavDatabase.h"

namespace halvex::test {

inline const std::filesystem::path& DataRoot() {
    static const std::filesystem::path root = std::filesystem::path(HALVEX_SOURCE_DIR) / "data";
    return root;
}

// Loaded once for the whole test program.
inline const NavDatabase& BundledDatabase() {
    static const NavDatabase* db = [] {
        auto* d = new NavDatabase;
        d->LoadFrom(DataRoot() / "FMCWP/NavData");
        return d;
    }();
    return *db;
}

// The procedure files are read relative to the working directory, as in the simulator.
class InDataRoot {
public:
    InDataRoot() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(DataRoot()); }
    ~InDataRoot() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

inline float Rad(double deg) { return static_cast<float>(deg / 57.29578); }

inline WaypointEntry PlainAt(double latDeg, double lonDeg, const std::string& name, bool legs = true, bool fpln = true) {
    WaypointEntry e;
    e.position = MakeSurfacePoint(Rad(latDeg), Rad(lonDeg));
    e.name = name;
    e.onLegs = legs;
    e.onFpln = fpln;
    return e;
}

// Longitude step on the equator for a distance in nm.
inline double LonDegForNm(double nm) { return nm / 3437.7468 * 57.29578; }

class RecordingGuidance : public GuidanceSeam {
public:
    void ChooseActiveLeg(FlightPlan& p) override { calls.push_back("leg:" + std::to_string(p.LegsCount())); }
    void RebuildVerticalPath(FlightPlan& p) override { calls.push_back("vpath:" + std::to_string(p.LegsCount())); }
    void ResetToPlanStart(FlightPlan& p) override { calls.push_back("reset:" + std::to_string(p.LegsCount())); }
    std::vector<std::string> calls;
};

inline std::string Describe(const FlightPlan& p) {
    std::ostringstream s;
    s << p.origin << ' ' << p.destination << ' ' << p.originRunway << ' ' << p.destinationRunway << ' ' << p.sid << ' '
      << p.sidTransition << ' ' << p.approach << ' ' << p.approachTransition << ' ' << p.star << ' ' << p.starTransition
      << ' ' << p.totalDistance << " blocks " << (p.originProcedures != nullptr) << (p.destinationProcedures != nullptr)
      << '\n';
    for (const WaypointEntry& e : p.entries)
        s << e.name << ' ' << e.kind << ' ' << int(e.onLegs) << int(e.onFpln) << ' ' << e.fixIndex << ' ' << e.airwayIndex
          << ' ' << e.altitude << ' ' << e.altitudeKind << ' ' << e.position.lat << ',' << e.position.lon << ' '
          << e.legLength << ' ' << e.legsDistance << '\n';
    for (const VPathPoint& v : p.verticalPath) s << "vp " << v.entryIndex << '\n';
    return s.str();
}

inline std::vector<std::string> LegsNames(const FlightPlan& p) {
    std::vector<std::string> names;
    for (int32_t i = 0; const WaypointEntry* e = p.LegsEntry(i); ++i) names.push_back(e->name);
    return names;
}

inline std::vector<std::string> FplnNames(const FlightPlan& p) {
    std::vector<std::string> names;
    for (int32_t i = 0; const WaypointEntry* e = p.FplnEntry(i); ++i) names.push_back(e->name);
    return names;
}

// Every invariant an edit must leave behind; empty when all hold.
inline std::string PlanViolations(const FlightPlan& p, const char* which) {
    std::string out;
    auto fail = [&](const std::string& what) { out += std::string(which) + ": " + what + "\n"; };
    int32_t legs = 0, fpln = 0;
    float sum = 0;
    for (size_t i = 0; i < p.entries.size(); ++i) {
        const WaypointEntry& e = p.entries[i];
        if (e.onLegs > 1 || e.onFpln > 1) fail("flag not 0 or 1");
        legs += e.onLegs;
        fpln += e.onFpln;
        if (!e.onLegs && !e.onFpln) {
            // Only subdivision points may be hidden: behind a visible entry whose leg is long.
            size_t start = i;
            while (start > 0 && !p.entries[start].onLegs && !p.entries[start].onFpln) --start;
            if (e.kind != 13 || !e.name.empty() || i == 0 || !(p.entries[start].legDistance > 100.0f))
                fail("hidden entry " + std::to_string(i) + " is not a subdivision point");
        }
        if (i + 1 < p.entries.size()) {
            const WaypointEntry& next = p.entries[i + 1];
            if (!std::isfinite(e.legLength)) fail("leg length not finite at " + std::to_string(i));
            if (e.legLength < 0) fail("negative leg length at " + std::to_string(i));
            if (e.legDistance >= 0 && e.legDistance <= 100.0f &&
                std::max(e.exitDistance, 0.0f) + std::max(next.entryDistance, 0.0f) > e.legDistance + 1e-3f)
                fail("turns overlap on the leg from " + std::to_string(i));
            // A procedure joined by name lists its joining fix once, not twice in a row.
            const bool procedure = (e.kind >= 5 && e.kind <= 11) || (next.kind >= 5 && next.kind <= 11);
            if (procedure && e.onLegs && next.onLegs && !e.name.empty() && e.name == next.name &&
                std::abs(e.position.lat - next.position.lat) < 1e-6f && std::abs(e.position.lon - next.position.lon) < 1e-6f)
                fail("joining fix " + e.name + " twice at " + std::to_string(i));
            sum += e.legLength;
            if ((e.onLegs || e.onFpln) && e.legDistance < 0) fail("visible entry without a leg");
        }
    }
    if (legs != p.LegsCount() || fpln != p.FplnCount()) fail("view sizes");
    for (int32_t v = 0; v < legs; ++v)
        if (!p.LegsEntry(v) || !p.LegsEntry(v)->onLegs || (v > 0 && p.LegsEntryIndex(v) <= p.LegsEntryIndex(v - 1)))
            fail("legs view");
    for (int32_t v = 0; v < fpln; ++v)
        if (!p.FplnEntry(v) || !p.FplnEntry(v)->onFpln) fail("route view");
    if (p.LegsEntry(legs) || p.FplnEntry(fpln)) fail("entry past the end of a view");
    if (std::abs(p.totalDistance - sum) > 1e-3f * std::max(1.0f, sum)) fail("totalDistance is not the sum of legLength");
    for (const VPathPoint& v : p.verticalPath)
        if (v.entryIndex < -1 || v.entryIndex >= static_cast<int32_t>(p.entries.size())) fail("vertical path index");
    return out;
}

}  // namespace halvex::test
