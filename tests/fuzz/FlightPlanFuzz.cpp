// Bytes as a sequence of flight-plan edits on the bundled data and performance table, both
// loaded once per process; every invariant of the plans is checked after each edit and a
// violation aborts. Procedure files are not read (the working directory has none), which keeps
// each input fast; the airports still get set.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "BundledPlanData.h"
#include "fms/PerfSpecTable.h"
#include "fms/PlanTestSupport.h"

namespace {

using namespace halvex;

// Every plan state the edits can reach takes a few dozen of them; longer inputs only repeat, and
// each edit costs a recompute (and a setting of an airport a scan of the whole database).
constexpr int kMaxEdits = 48;

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool more() const { return pos_ < size_; }
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    int32_t small() { return static_cast<int8_t>(byte()); }  // -128 .. 127: in and out of range
    // An index into n rows, now and then just outside.
    int32_t row(int32_t n) {
        const uint32_t v = static_cast<uint32_t>(byte()) << 8 | byte();
        if (v >= 0xFFF0) return static_cast<int32_t>(v - 0xFFF0) - 8 + (v & 1 ? n : 0);
        return n > 0 ? static_cast<int32_t>(v * static_cast<uint32_t>(n) / 0xFFF0) : 0;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// The first airway (by index) through each fix: a scan of every airway per edit would make the
// airway edit most of the target's time.
std::unordered_map<int32_t, int32_t> FirstAirwayThroughEachFix(const NavDatabase& db) {
    std::unordered_map<int32_t, int32_t> first;
    for (int32_t a = 0; a < db.AirwayCount(); ++a)
        for (int32_t fix : db.GetAirway(a)->points) first.emplace(fix, a);
    return first;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const NavDatabase& db = test::BundledDatabase();
    static const char* airports[] = {"KSEA", "KPDX", "KSFO", "KBOI", "KBFI", "KLAX", "", "XXXX"};
    SettableAircraft aircraft;
    static const PerfSpecTable& performance = fuzz::BundledPerformance();
    static const std::unordered_map<int32_t, int32_t> firstAirwayThrough = FirstAirwayThroughEachFix(db);
    FlightPlanSet set(&db, &performance, &aircraft);
    Reader in(data, size);
    for (int edits = 0; in.more() && edits < kMaxEdits; ++edits) {
        const FlightPlan& cur = set.Current();
        switch (in.byte() % 18) {
        case 0: set.setOrigin(airports[in.byte() % 8]); break;
        case 1: set.setDestination(airports[in.byte() % 8]); break;
        case 2: set.setOriginRunway(in.small()); break;
        case 3: set.setDestinationRunway(in.small()); break;
        case 4: set.insertLegsWaypoint(in.row(db.WaypointCount()), in.small()); break;
        case 5: set.insertFplnWaypoint(in.row(db.WaypointCount()), in.small()); break;
        case 6: set.insertLegsPbd(in.row(db.WaypointCount()), in.small(), in.small() * 3.0f, in.byte() * 2.0f); break;
        case 7: {
            const int32_t airway = in.row(db.AirwayCount());
            const NavAirway* w = db.GetAirway(airway);
            const int32_t end = w && !w->points.empty() ? w->points[in.byte() % w->points.size()] : in.small();
            set.insertAirwaySegment(end, airway, in.small());
            break;
        }
        case 8: {
            // An airway through a route entry, so segments do get inserted.
            const int32_t p = in.small() & 7;
            const WaypointEntry* e = cur.FplnEntry(p);
            const auto through = e ? firstAirwayThrough.find(e->fixIndex) : firstAirwayThrough.end();
            if (through == firstAirwayThrough.end()) break;
            const NavAirway* w = db.GetAirway(through->second);
            set.insertAirwaySegment(w->points[in.byte() % w->points.size()], through->second, p);
            break;
        }
        case 9: set.deleteLegsWaypoint(in.small()); break;
        case 10: set.deleteLegsWaypoints(in.small(), in.small()); break;
        case 11: set.deleteFplnWaypoint(in.small()); break;
        case 12: set.directTo(in.small()); break;
        case 13: set.setLegsAltitude(in.small(), static_cast<float>(in.row(80000))); break;
        case 14: set.clearProcedure(static_cast<ProcedureSlot>(in.byte() % 6)); break;
        case 15: set.activate(); break;
        case 16: set.cancelModification(); break;
        default:
            aircraft.position = MakeSurfacePoint(test::Rad(in.small() * 0.7), test::Rad(in.small() * 1.4));
            aircraft.altitudeFt = static_cast<float>(in.row(90000));
            break;
        }
        fuzz::AbortOnPlanViolations(set);
    }
    return 0;
}
