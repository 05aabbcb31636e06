// Random edit sequences on random plans, with the plan invariants checked after every edit.
#include <gtest/gtest.h>

#include <random>

#include "PlanTestSupport.h"
#include "fms/ProcedureSelection.h"

namespace halvex {
namespace {

using namespace test;

class PlanProperty : public ::testing::Test {
protected:
    PlanProperty() : db(BundledDatabase()), set(&db, nullptr, &aircraft, &guidance) {}

    int32_t any(int32_t n) { return std::uniform_int_distribution<int32_t>(0, std::max(n - 1, 0))(rng); }
    int32_t index(int32_t size) { return any(size + 4) - 2; }  // mostly valid, some out of range
    bool chance(int percent) { return any(100) < percent; }
    int32_t someFix() { return chance(3) ? any(5) - 10 : any(db.WaypointCount()); }

    // A few airport pairs built through the edits once (procedure files are slow to read),
    // then random waypoints on a copy of one of them.
    void randomActivePlan() {
        static const char* airports[] = {"KSEA", "KPDX", "KSFO", "KBOI", "KBFI", "KLAX"};
        if (bases.empty()) {
            for (int n = 0; n < 12; ++n) {
                set.cancelModification();
                set.setOrigin(airports[any(6)]);
                set.setDestination(airports[any(6)]);
                set.setOriginRunway(any(6));
                set.setDestinationRunway(any(6));
                bases.push_back(set.Modified());
            }
        }
        set.cancelModification();
        set.Active() = bases[static_cast<size_t>(any(static_cast<int32_t>(bases.size())))];
        for (int n = any(12); n > 0; --n) set.insertLegsWaypoint(someFix(), 1 + any(set.Current().LegsCount()));
        set.activate();
        FlightPlan& a = set.Active();
        for (int n = any(5); n > 0; --n) {
            a.verticalPath.push_back(VPathPoint{});
            a.verticalPath.back().entryIndex = any(static_cast<int32_t>(a.entries.size()) + 1) - 1;
        }
    }

    // One random edit; returns its name for messages.
    std::string randomEdit() {
        const FlightPlan& cur = set.Current();
        switch (any(18)) {
        case 0: set.insertLegsWaypoint(someFix(), index(cur.LegsCount())); return "insertLegs";
        case 1: set.insertFplnWaypoint(someFix(), index(cur.FplnCount())); return "insertFpln";
        case 2: set.insertLegsPbd(someFix(), index(cur.LegsCount()), any(720) - 360, any(300) - 10); return "pbd";
        case 3: {
            // An airway through a route entry's fix, when there is one, else anything.
            int32_t airway = any(db.AirwayCount());
            const int32_t p = index(cur.FplnCount());
            if (const WaypointEntry* e = cur.FplnEntry(p); e && e->fixIndex >= 0 && chance(70))
                for (int32_t a = 0; a < db.AirwayCount(); ++a)
                    if (db.AirwayContains(a, e->fixIndex)) airway = a;
            const NavAirway* w = db.GetAirway(airway);
            const int32_t end = w && !w->points.empty() ? w->points[static_cast<size_t>(any(static_cast<int32_t>(w->points.size())))] : -1;
            set.insertAirwaySegment(end, chance(5) ? -1 : airway, p);
            return "airway";
        }
        case 4: set.deleteLegsWaypoint(index(cur.LegsCount())); return "deleteLegs";
        case 5: set.deleteLegsWaypoints(index(cur.LegsCount()), index(cur.LegsCount())); return "deleteRange";
        case 6: set.deleteFplnWaypoint(index(cur.FplnCount())); return "deleteFpln";
        case 7: set.directTo(index(cur.LegsCount())); return "direct";
        case 8: set.setLegsAltitude(index(cur.LegsCount()), static_cast<float>(any(70000) - 100)); return "altitude";
        case 9: set.setCruiseAltitude(static_cast<float>(any(45000))); return "cruise";
        case 10: set.setOriginRunway(index(8)); return "originRunway";
        case 11: set.setDestinationRunway(index(8)); return "destinationRunway";
        case 12: set.clearProcedure(static_cast<ProcedureSlot>(any(6))); return "clearProcedure";
        case 13: set.cancelModification(); return "cancel";
        case 14: set.activate(); return "activate";
        case 15: aircraft.position = MakeSurfacePoint(Rad(35 + any(15)), Rad(-125 + any(15))); return "move";
        case 16:
            if (ProcedureSelections(set)[static_cast<ProcedureSlot>(any(6))].select(any(6)) == 0) ++proceduresSelected;
            return "selectProcedure";
        default:
            if (chance(3)) set.setDestination(chance(50) ? "KPDX" : "KSFO");
            return "destination";
        }
    }

    InDataRoot inDataRoot;
    const NavDatabase& db;
    SettableAircraft aircraft;
    RecordingGuidance guidance;
    FlightPlanSet set;
    std::mt19937 rng{20261208};
    std::vector<FlightPlan> bases;
    int proceduresSelected = 0;
};

TEST_F(PlanProperty, InvariantsHoldAfterEveryEditOfThousandsOfRandomSequences) {
    int edits = 0;
    for (int sequence = 0; sequence < 2000; ++sequence) {
        randomActivePlan();
        ASSERT_EQ(PlanViolations(set.Active(), "active"), "") << "sequence " << sequence;
        for (int step = any(25); step >= 0; --step) {
            const bool wasModifying = set.isModifying();
            const std::string activeBefore = Describe(set.Active());
            const std::string edit = randomEdit();
            ++edits;
            const std::string where = "sequence " + std::to_string(sequence) + " edit " + edit;
            ASSERT_EQ(PlanViolations(set.Active(), "active"), "") << where;
            ASSERT_EQ(PlanViolations(set.Modified(), "modified"), "") << where;
            // Only execution (and an altitude typed with no modification) may touch the active plan.
            const bool mayTouchActive = edit == "activate" || (edit == "altitude" && !wasModifying);
            if (!mayTouchActive) {
                ASSERT_EQ(Describe(set.Active()), activeBefore) << where;
            }
            if (!set.isModifying()) {
                ASSERT_EQ(&set.Current(), &set.Active()) << where;
            }
        }
    }
    EXPECT_GT(edits, 20000);
    EXPECT_GT(proceduresSelected, 50);  // the joins were exercised
}

}  // namespace
}  // namespace halvex
