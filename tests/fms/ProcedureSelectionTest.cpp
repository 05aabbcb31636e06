// Procedure selection on the bundled western-US data (KSEA, KPDX) and on small hand-written
// procedure files for the cases real files do not reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "fms/FlightPlanModel.h"
#include "fms/ProcedureSelection.h"
#include "navdb/NavDatabase.h"
#include "support/TempTree.h"

namespace halvex {
namespace {

const std::string kData = std::string(HALVEX_SOURCE_DIR) + "/data/";

using Names = std::vector<std::string>;

class ProcedureSelectionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        database_ = new NavDatabase();
        database_->LoadFrom(kData + "FMCWP/NavData/");
    }
    static void TearDownTestSuite() {
        delete database_;
        database_ = nullptr;
    }

    void SetUp() override {
        tree_.copyFromSource("data/PMDG", "PMDG");
        plans_ = std::make_unique<FlightPlanSet>(database_, nullptr, &aircraft_);
    }

    ProcedureSelection& list(ProcedureSlot slot) {
        selections_ = std::make_unique<ProcedureSelections>(*plans_);
        return (*selections_)[slot];
    }
    int32_t select(ProcedureSlot slot, int32_t i) { return list(slot).select(i); }
    int32_t count(ProcedureSlot slot) { return list(slot).count(); }
    std::string item(ProcedureSlot slot, int32_t i) { return list(slot).item(i); }

    // Runway index within the airport by designator.
    int32_t runway(const char* icao, const char* ident) const {
        const NavAirport* a = database_->GetAirport(database_->FindAirport(icao));
        for (size_t i = 0; a && i < a->runways.size(); ++i)
            if (a->runways[i].Ident() == ident) return static_cast<int32_t>(i);
        ADD_FAILURE() << "no runway " << icao << " " << ident;
        return -1;
    }

    // Origin and destination with runways, as a pilot starts.
    void route(const char* org, const char* orgRunway, const char* dst, const char* dstRunway) {
        ASSERT_EQ(plans_->setOrigin(org), 0);
        ASSERT_EQ(plans_->setDestination(dst), 0);
        if (orgRunway) {
            ASSERT_EQ(plans_->setOriginRunway(runway(org, orgRunway)), 0);
        }
        if (dstRunway) {
            ASSERT_EQ(plans_->setDestinationRunway(runway(dst, dstRunway)), 0);
        }
    }

    // Position of a named item in the slot's list as it stands now.
    int32_t indexOf(ProcedureSlot slot, const std::string& name) {
        for (int32_t i = 0; i < 200; ++i) {
            const std::string n = item(slot, i);
            if (n == name) return i;
            if (n.empty()) break;
        }
        ADD_FAILURE() << "no item " << name;
        return -1;
    }

    Names legs(const FlightPlan& plan) const {
        Names n;
        for (const WaypointEntry& e : plan.entries)
            if (e.onLegs) n.push_back(e.name);
        return n;
    }
    Names legs() const { return legs(plans_->Modified()); }
    int kindCount(int32_t kind) const {
        const auto& e = plans_->Modified().entries;
        return static_cast<int>(std::count_if(e.begin(), e.end(), [kind](const WaypointEntry& x) { return x.kind == kind; }));
    }

    static NavDatabase* database_;
    test::TempTree tree_;
    SettableAircraft aircraft_;
    std::unique_ptr<FlightPlanSet> plans_;
    std::unique_ptr<ProcedureSelections> selections_;
};

NavDatabase* ProcedureSelectionTest::database_ = nullptr;

constexpr auto kSid = ProcedureSlot::Sid;
constexpr auto kSidTrs = ProcedureSlot::SidTransition;
constexpr auto kStar = ProcedureSlot::Star;
constexpr auto kStarTrs = ProcedureSlot::StarTransition;
constexpr auto kApp = ProcedureSlot::Approach;
constexpr auto kAppTrs = ProcedureSlot::ApproachTransition;

// ---- Counting and numbering ------------------------------------------------------------------

TEST_F(ProcedureSelectionTest, SidsAreCountedAndNumberedForTheOriginRunwayOnly) {
    route("KPDX", nullptr, "KSEA", nullptr);
    EXPECT_EQ(count(kSid), 3);  // no runway: every SID
    EXPECT_EQ(item(kSid, 2), "PDX7");

    ASSERT_EQ(plans_->setOriginRunway(runway("KPDX", "21")), 0);
    EXPECT_EQ(count(kSid), 1);
    EXPECT_EQ(item(kSid, 0), "MINNE5");
    EXPECT_EQ(item(kSid, 1), "");

    ASSERT_EQ(plans_->setOriginRunway(runway("KPDX", "03")), 0);
    EXPECT_EQ(count(kSid), 2);
    EXPECT_EQ(item(kSid, 0), "LAVAA6");
    EXPECT_EQ(item(kSid, 1), "PDX7");
    ASSERT_EQ(select(kSid, 1), 0);
    EXPECT_EQ(plans_->Modified().sid, 1);  // the filtered number, not the file position
    EXPECT_EQ(legs()[2], "(INTC)");      // TRK 030 UNTIL 1500 from runway 03
    EXPECT_EQ(legs()[3], "BTG");
    EXPECT_EQ(list(kSidTrs).item(1), "AST");  // transitions of PDX7, not of the second file SID
}

TEST_F(ProcedureSelectionTest, ApproachesAreFilteredByTheDestinationRunwayStarsNever) {
    route("KSEA", "16L", "KPDX", nullptr);
    EXPECT_EQ(count(kApp), 5);
    EXPECT_EQ(count(kStar), 3);
    ASSERT_EQ(plans_->setDestinationRunway(runway("KPDX", "28L")), 0);
    EXPECT_EQ(count(kApp), 1);
    EXPECT_EQ(item(kApp, 0), "ILS28L");
    EXPECT_EQ(count(kStar), 3);
}

TEST_F(ProcedureSelectionTest, TransitionCountsUseTheSameNumberingAsSelection) {
    route("KSEA", "16L", "KPDX", "28L");
    EXPECT_EQ(count(kAppTrs), -1);  // no approach yet
    ASSERT_EQ(select(kApp, 0), 0);  // ILS28L, fourth in the file; the first file approach has two transitions
    EXPECT_EQ(count(kAppTrs), 1);
    EXPECT_EQ(item(kAppTrs, 0), "CANTR");
    EXPECT_EQ(item(kAppTrs, 1), "");

    EXPECT_EQ(count(kSidTrs), -1);
    ASSERT_EQ(select(kSid, 3), 0);  // SEA7
    EXPECT_EQ(count(kSidTrs), 3);
}

TEST_F(ProcedureSelectionTest, TransitionCountsFollowTheActivePlanWhenNotModifying) {
    route("KSEA", "16L", "KPDX", "10R");
    ASSERT_EQ(select(kApp, 0), 0);
    ASSERT_EQ(select(kStar, 0), 0);
    plans_->activate();
    ASSERT_FALSE(plans_->isModifying());
    EXPECT_EQ(count(kStarTrs), 3);  // HHOOD3's transitions, read from the active plan
    EXPECT_EQ(count(kAppTrs), 2);
    EXPECT_EQ(list(kStar).current(), 0);
}

// ---- SID and its transition -----------------------------------------------------------------

TEST_F(ProcedureSelectionTest, SidJoinsAtTheRunwayAndItsTransitionShowsTheJoiningFixOnce) {
    route("KSEA", "16L", "KPDX", nullptr);
    ASSERT_EQ(select(kSid, 3), 0);  // SEA7
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "(INTC)", "(INTC)", "(INTC)", "SEA", "KPDX"}));
    EXPECT_EQ(kindCount(5), 4);
    EXPECT_TRUE(plans_->isModifying());

    ASSERT_EQ(select(kSidTrs, 0), 0);  // OLM: SEA, OLM
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "(INTC)", "(INTC)", "(INTC)", "SEA", "OLM", "KPDX"}));
    EXPECT_EQ(kindCount(6), 1);
    EXPECT_EQ(plans_->Modified().sidTransition, 0);

    ASSERT_EQ(select(kSidTrs, 2), 0);  // ELN replaces OLM
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "(INTC)", "(INTC)", "(INTC)", "SEA", "BLAKO", "ELN", "KPDX"}));
}

TEST_F(ProcedureSelectionTest, SecondSidRemovesTheFirstSidAndItsTransition) {
    route("KSEA", "16L", "KPDX", nullptr);
    ASSERT_EQ(select(kSid, 3), 0);
    ASSERT_EQ(select(kSidTrs, 1), 0);  // PAE
    ASSERT_EQ(select(kSid, 0), 0);      // HAROB4
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "(INTC)", "SHIPZ", "FOURT", "HAROB", "KPDX"}));
    EXPECT_EQ(kindCount(6), 0);
    EXPECT_EQ(plans_->Modified().sid, 0);
    EXPECT_EQ(plans_->Modified().sidTransition, -1);
}

TEST_F(ProcedureSelectionTest, LegsKeepWhatTheProcedureFileGaveThem) {
    route("KSEA", "16L", "KPDX", nullptr);
    ASSERT_EQ(select(kSid, 0), 0);  // HAROB4: SHIPZ AT OR ABOVE 3000
    const auto& e = plans_->Modified().entries;
    const auto shipz = std::find_if(e.begin(), e.end(), [](const WaypointEntry& x) { return x.name == "SHIPZ"; });
    ASSERT_NE(shipz, e.end());
    EXPECT_EQ(shipz->altitude, 3000.0f);
    EXPECT_EQ(shipz->altitudeKind, 2u);
    EXPECT_EQ(shipz->kind, 5);
    EXPECT_EQ(shipz->onFpln, 0);
    EXPECT_GE(shipz->fixIndex, 0);
    EXPECT_EQ(shipz->auxValue, -1.0f);
    EXPECT_GT(shipz->legsDistance, 0.0f);  // the recompute ran
}

TEST_F(ProcedureSelectionTest, BadSidIndexFailsAfterTheOldSidIsGone) {
    route("KSEA", "16L", "KPDX", nullptr);
    ASSERT_EQ(select(kSid, 3), 0);
    ASSERT_EQ(select(kSidTrs, 0), 0);
    EXPECT_EQ(select(kSid, 4), -1);
    EXPECT_EQ(kindCount(5) + kindCount(6), 0);
    EXPECT_EQ(plans_->Modified().sid, -1);
    EXPECT_TRUE(plans_->isModifying());
    EXPECT_EQ(select(kSid, -1), -1);
    EXPECT_EQ(select(kSidTrs, 0), -1);  // no SID: no transition
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "KPDX"}));
}

TEST_F(ProcedureSelectionTest, SidNeedsAnOriginRunway) {
    route("KSEA", nullptr, "KPDX", nullptr);
    EXPECT_EQ(select(kSid, 0), -1);
    EXPECT_EQ(select(kSidTrs, 0), -1);
    EXPECT_EQ(legs(), (Names{"KSEA", "KPDX"}));
}

TEST_F(ProcedureSelectionTest, ChangingTheOriginOrItsRunwayClearsTheSid) {
    route("KSEA", "16L", "KPDX", nullptr);
    ASSERT_EQ(select(kSid, 3), 0);
    ASSERT_EQ(plans_->setOriginRunway(runway("KSEA", "34R")), 0);
    EXPECT_EQ(plans_->Modified().sid, -1);
    EXPECT_EQ(kindCount(5), 0);
    ASSERT_EQ(select(kSid, 3), 0);
    ASSERT_EQ(plans_->setOrigin("KSEA"), 0);
    EXPECT_EQ(kindCount(5), 0);
    EXPECT_EQ(legs(), (Names{"KSEA", "KPDX"}));
}

// ---- Arrival ---------------------------------------------------------------------------------

TEST_F(ProcedureSelectionTest, StarCannotBeSelectedBeforeAnApproach) {
    route("KSEA", "16L", "KPDX", "10R");
    EXPECT_EQ(select(kStar, 0), -1);
    EXPECT_EQ(select(kStarTrs, 0), -1);
    EXPECT_EQ(plans_->Modified().star, -1);
    EXPECT_EQ(kindCount(7), 0);
}

TEST_F(ProcedureSelectionTest, ApproachStarAndTransitionsBuildTheArrival) {
    route("KSEA", "16L", "KPDX", "10R");
    ASSERT_EQ(select(kApp, 0), 0);  // ILS10R
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "WETTR", "HAIRN", "SAUVI", "POWLZ", "RWY10R", "KPDX"}));

    ASSERT_EQ(select(kAppTrs, 0), 0);  // UBG: UBG, WETTR
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "UBG", "WETTR", "HAIRN", "SAUVI", "POWLZ", "RWY10R", "KPDX"}));

    ASSERT_EQ(select(kStar, 0), 0);  // HHOOD3, in front of the approach transition
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "HHOOD", "MOSBE", "TAMAR", "UBG", "WETTR", "HAIRN", "SAUVI", "POWLZ",
                             "RWY10R", "KPDX"}));

    ASSERT_EQ(select(kStarTrs, 0), 0);  // LTJ: LTJ, HHOOD; the joining fix stays single
    EXPECT_EQ(legs()[2], "LTJ");
    EXPECT_EQ(legs()[3], "HHOOD");
    EXPECT_EQ(legs()[4], "MOSBE");
    EXPECT_EQ(kindCount(8), 1);

    // A new approach removes its own legs and transition but keeps the STAR.
    ASSERT_EQ(plans_->setDestinationRunway(runway("KPDX", "10R")), 0);  // clears STAR and approach
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "RWY10R", "KPDX"}));
    EXPECT_EQ(plans_->Modified().star, -1);
    EXPECT_EQ(plans_->Modified().approach, -1);
}

// The STAR's last fix is the approach transition's first: listed once whichever is selected
// first, with no zero-length leg between.
TEST_F(ProcedureSelectionTest, StarAfterAnApproachTransitionListsTheJoiningFixOnce) {
    auto arrival = [&](bool starFirst) {
        plans_->cancelModification();
        route("KSEA", "16L", "KPDX", "10L");
        EXPECT_EQ(select(kApp, indexOf(kApp, "ILS10L")), 0);
        if (starFirst) {
            EXPECT_EQ(select(kStar, indexOf(kStar, "KRATR2")), 0);
        }
        EXPECT_EQ(select(kAppTrs, indexOf(kAppTrs, "BTG")), 0);
        if (!starFirst) {
            EXPECT_EQ(select(kStar, indexOf(kStar, "KRATR2")), 0);
        }
        return legs();
    };
    const Names starLast = arrival(false);
    EXPECT_EQ(std::count(starLast.begin(), starLast.end(), "BTG"), 1);
    const auto& entries = plans_->Modified().entries;
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
        EXPECT_GT(entries[i].legDistance, 0.1f) << entries[i].name;
    }
    EXPECT_EQ(starLast, arrival(true));
}

// A route entry's deletion takes the airway legs behind it, never a procedure's legs: the
// approach stays whole and can be selected again.
TEST_F(ProcedureSelectionTest, DeletingARouteEntryStopsAtAProceduresLegs) {
    route("KSEA", "16L", "KPDX", "10R");
    ASSERT_EQ(select(kApp, indexOf(kApp, "ILS10R")), 0);
    ASSERT_EQ(plans_->insertFplnWaypoint(database_->FindWaypoints("OLM").first, 0), 0);
    ASSERT_EQ(plans_->insertLegsWaypoint(database_->FindWaypoints("BTG").first, 8), 0);
    ASSERT_EQ(legs(), (Names{"KSEA", "RWY16L", "OLM", "WETTR", "HAIRN", "SAUVI", "POWLZ", "RWY10R", "BTG", "KPDX"}));
    ASSERT_EQ(plans_->deleteFplnWaypoint(0), 0);  // OLM
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "WETTR", "HAIRN", "SAUVI", "POWLZ", "RWY10R", "BTG", "KPDX"}));
    EXPECT_EQ(plans_->deleteFplnWaypoint(0), 0);  // BTG, the last route entry: the destination stays
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "WETTR", "HAIRN", "SAUVI", "POWLZ", "RWY10R", "KPDX"}));
    EXPECT_EQ(select(kApp, indexOf(kApp, "ILS10R")), 0);
    EXPECT_EQ(kindCount(9), 4);
}

TEST_F(ProcedureSelectionTest, ClearingTheApproachLeavesTheStar) {
    route("KSEA", "16L", "KPDX", "28L");
    ASSERT_EQ(select(kApp, 0), 0);
    ASSERT_EQ(select(kAppTrs, 0), 0);
    ASSERT_EQ(select(kStar, 2), 0);  // WHAMY4
    EXPECT_EQ(list(kApp).clear(), 0);
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "WHAMY", "CANTR", "PANOC", "RWY28L", "KPDX"}));
    EXPECT_EQ(plans_->Modified().approach, -1);
    EXPECT_EQ(plans_->Modified().approachTransition, -1);
    EXPECT_EQ(plans_->Modified().star, 2);
}

TEST_F(ProcedureSelectionTest, ClearOnAnIdlePlanBeginsAModificationAndLeavesTheActivePlan) {
    route("KSEA", "16L", "KPDX", nullptr);
    ASSERT_EQ(select(kSid, 3), 0);
    plans_->activate();
    const Names active = legs(plans_->Active());
    EXPECT_EQ(list(kSid).clear(), 0);
    EXPECT_TRUE(plans_->isModifying());
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "KPDX"}));
    EXPECT_EQ(legs(plans_->Active()), active);
    EXPECT_EQ(plans_->Active().sid, 3);
    EXPECT_EQ(list(kSid).current(), -1);  // the current plan is now the modified one
}

// ---- Hand-written files ---------------------------------------------------------------------

// KPDX runways 03 10L 10R 21 28L 28R. RNW legs inside a declaration line put a runway into the
// procedure's runway list without giving it a runway part.
const char* kOddKpdx = R"(// hand-written
SIDS
SID ODD1 RNW 28L NAVAID BTG
RNW 10L TRK 105 UNTIL 1000 NAVAID BTG
SID GOOD1 NAVAID BTG
RNW 28L TRK 285 UNTIL 1000 NAVAID BTG
TRANSITION ONE NAVAID BTG
ENDSIDS
APPROACHES
APPROACH WRONG28 FIX LAKER RNW 28R FIX WETTR RNW 10R
APPROACH NOLEGS FIX LAKER
ENDAPPROACHES
)";

TEST_F(ProcedureSelectionTest, SidWhoseRunwayPartsAreAllForOtherRunwaysCannotBeSelected) {
    tree_.write("PMDG/SIDSTARS/KPDX.txt", kOddKpdx);
    route("KPDX", "28L", "KSEA", nullptr);
    ASSERT_EQ(count(kSid), 2);  // ODD1 lists 28L through its common legs
    ASSERT_EQ(select(kSid, 1), 0);
    EXPECT_EQ(kindCount(5), 2);  // (INTC), BTG
    EXPECT_EQ(select(kSid, 0), -1);
    EXPECT_EQ(kindCount(5), 0);  // the previous SID is gone
    EXPECT_EQ(plans_->Modified().sid, -1);
}

TEST_F(ProcedureSelectionTest, ApproachEndingAtAnotherRunwayFails) {
    tree_.write("PMDG/SIDSTARS/KPDX.txt", kOddKpdx);
    route("KSEA", "16L", "KPDX", "28R");
    ASSERT_EQ(count(kApp), 1);  // WRONG28 lists 28R but ends at RWY10R
    EXPECT_EQ(select(kApp, 0), -1);
    EXPECT_EQ(kindCount(9), 0);
    EXPECT_EQ(legs(), (Names{"KSEA", "RWY16L", "RWY28R", "KPDX"}));
}

TEST_F(ProcedureSelectionTest, SidTransitionWithOneLegEqualToTheSidEndAddsNothingTwice) {
    tree_.write("PMDG/SIDSTARS/KPDX.txt", kOddKpdx);
    route("KPDX", "28L", "KSEA", nullptr);
    ASSERT_EQ(select(kSid, 1), 0);
    ASSERT_EQ(select(kSidTrs, 0), 0);
    EXPECT_EQ(legs(), (Names{"KPDX", "RWY28L", "(INTC)", "BTG", "KSEA"}));
}

TEST_F(ProcedureSelectionTest, MissingProcedureFileGivesEmptyListsAndFailedSelections) {
    tree_.write("PMDG/SIDSTARS/KPDX.txt", "");
    EXPECT_EQ(plans_->setOrigin("KSEA"), 0);
    EXPECT_EQ(plans_->setDestination("KPDX"), -1);  // the airport stays, without procedures
    ASSERT_EQ(plans_->setDestinationRunway(runway("KPDX", "10R")), 0);
    EXPECT_EQ(count(kApp), 0);
    EXPECT_EQ(item(kApp, 0), "");
    EXPECT_EQ(select(kApp, 0), -1);
    EXPECT_EQ(count(kAppTrs), -1);
}

TEST_F(ProcedureSelectionTest, LongProcedureLegsWithSubdivisionPointsAreRemovedWhole) {
    tree_.write("PMDG/SIDSTARS/KPDX.txt", R"(SIDS
SID FAR1 NAVAID BTG NAVAID OAK NAVAID LAX
RNW 28L TRK 285 UNTIL 1000 NAVAID BTG
ENDSIDS
)");
    route("KPDX", "28L", "KSEA", nullptr);
    ASSERT_EQ(select(kSid, 0), 0);
    const auto& e = plans_->Modified().entries;
    ASSERT_GT(std::count_if(e.begin(), e.end(), [](const WaypointEntry& x) { return !x.onLegs && !x.onFpln; }), 2);
    EXPECT_EQ(legs(), (Names{"KPDX", "RWY28L", "(INTC)", "BTG", "OAK", "LAX", "KSEA"}));
    EXPECT_EQ(list(kSid).clear(), 0);
    EXPECT_EQ(kindCount(5), 0);
    EXPECT_EQ(legs(), (Names{"KPDX", "RWY28L", "KSEA"}));
}

TEST_F(ProcedureSelectionTest, VerticalPathPointsFollowTheirEntriesAcrossInsertAndRemove) {
    route("KSEA", "16L", "KPDX", nullptr);
    FlightPlan& plan = plans_->Modified();
    plan.verticalPath.push_back(VPathPoint{});
    plan.verticalPath.back().entryIndex = plan.FindKind(EntryKind::DestinationAirport);
    ASSERT_EQ(select(kSid, 3), 0);
    ASSERT_GE(plan.verticalPath.back().entryIndex, 0);
    ASSERT_EQ(plan.entries[static_cast<size_t>(plan.verticalPath.back().entryIndex)].name, "KPDX");
    ASSERT_EQ(select(kSid, 0), 0);
    ASSERT_GE(plan.verticalPath.back().entryIndex, 0);
    EXPECT_EQ(plan.entries[static_cast<size_t>(plan.verticalPath.back().entryIndex)].name, "KPDX");
    plan.verticalPath.back().entryIndex = plan.FindKind(EntryKind::SidLeg);
    EXPECT_EQ(list(kSid).clear(), 0);
    EXPECT_EQ(plan.verticalPath.back().entryIndex, -1);
}

// Random selections, clears, runway changes, executes and cancels on the bundled files; after
// each step the legs of every list form one run in route order, a list without an index has no
// legs, and the active plan only changes on execute.
TEST_F(ProcedureSelectionTest, RandomSelectionSequencesKeepThePlanConsistent) {
    std::mt19937 random(7);
    auto pick = [&random](int n) { return static_cast<int32_t>(random() % static_cast<uint32_t>(n)); };
    const char* seaRunways[] = {"16L", "16C", "16R", "34L", "34C", "34R"};
    const char* pdxRunways[] = {"03", "10L", "10R", "21", "28L", "28R"};
    route("KSEA", "16L", "KPDX", "10R");
    const ProcedureSlot slots[] = {kSid, kSidTrs, kStar, kStarTrs, kApp, kAppTrs};
    int selected = 0;
    for (int step = 0; step < 3000; ++step) {
        const bool wasModifying = plans_->isModifying();
        const Names activeBefore = legs(plans_->Active());
        const int op = pick(20);
        bool changesActive = false;
        if (op < 10) {
            ProcedureSelection& l = list(slots[pick(6)]);
            selected += l.select(pick(std::max(l.count(), 0) + 2) - 1) == 0;
        } else if (op < 14) {
            list(slots[pick(6)]).clear();
        } else if (op < 16) {
            if (plans_->Current().origin >= 0) plans_->setOriginRunway(runway("KSEA", seaRunways[pick(6)]));
            if (plans_->Current().destination >= 0) plans_->setDestinationRunway(runway("KPDX", pdxRunways[pick(6)]));
        } else if (op < 17) {
            plans_->activate();
            changesActive = true;
        } else if (op < 18) {
            plans_->cancelModification();
        } else if (plans_->Current().origin < 0) {
            route("KSEA", seaRunways[pick(6)], "KPDX", pdxRunways[pick(6)]);
        }
        if (wasModifying && !changesActive) {
            ASSERT_EQ(legs(plans_->Active()), activeBefore) << "step " << step;
        }

        const FlightPlan& plan = plans_->Current();
        int previousKind = -1;
        std::vector<int> seen;
        for (const WaypointEntry& e : plan.entries) {
            if (!e.onLegs && !e.onFpln) continue;
            if (e.kind == previousKind) continue;
            if (e.kind >= 5 && e.kind <= 10) {
                ASSERT_EQ(std::count(seen.begin(), seen.end(), e.kind), 0) << "kind " << e.kind << " split, step " << step;
                seen.push_back(e.kind);
            }
            previousKind = e.kind;
        }
        auto has = [&](int kind) { return std::count(seen.begin(), seen.end(), kind) > 0; };
        ASSERT_TRUE(plan.sid >= 0 || (!has(5) && !has(6))) << step;
        ASSERT_TRUE(plan.sidTransition >= 0 || !has(6)) << step;
        ASSERT_TRUE(plan.star >= 0 || (!has(7) && !has(8))) << step;
        ASSERT_TRUE(plan.starTransition >= 0 || !has(8)) << step;
        ASSERT_TRUE(plan.approach >= 0 || (!has(9) && !has(10))) << step;
        ASSERT_TRUE(plan.approachTransition >= 0 || !has(10)) << step;
        // Route order: departure kinds before arrival kinds, the arrival before the runway.
        const std::vector<int> order = {0, 2, 5, 6, 8, 7, 10, 9, 3, 1};
        int last = -1;
        for (int kind : seen) {
            const int at = static_cast<int>(std::find(order.begin(), order.end(), kind) - order.begin());
            ASSERT_GT(at, last) << "kind " << kind << " out of order, step " << step;
            last = at;
        }
    }
    EXPECT_GT(selected, 300);  // the sequences really build procedures
}

}  // namespace
}  // namespace halvex
