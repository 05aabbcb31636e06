// Procedure verbs of `halvex-fms plan`: select or clear a SID, STAR, approach or transition by
// its name in the list the CDU would show, or by its number in that list.
#include "PlanVerbs.h"
#include "fms/ProcedureSelection.h"

namespace halvex::cli {

namespace {

// The item's number in the slot's current list: a name shown there, else a number.
int32_t ItemNumber(ProcedureSelection& list, const std::string& text) {
    const int32_t n = list.count();
    for (int32_t i = 0; i < n; ++i)
        if (list.item(i) == text) return i;
    try {
        return ArgInt(text);
    } catch (const std::exception&) {
        return -1;  // a name that is not in the list
    }
}

// What a selection in the slot needs first, or "" when that is in place.
std::string MissingPrerequisite(ProcedureSlot slot, const FlightPlan& plan) {
    switch (slot) {
    case ProcedureSlot::Sid: return plan.originRunway < 0 ? "select the origin runway first" : "";
    case ProcedureSlot::SidTransition:
        return plan.originRunway < 0 ? "select the origin runway first" : plan.sid < 0 ? "select a SID first" : "";
    case ProcedureSlot::Approach: return plan.destinationRunway < 0 ? "select the destination runway first" : "";
    case ProcedureSlot::ApproachTransition:
        return plan.destinationRunway < 0 ? "select the destination runway first"
               : plan.approach < 0        ? "select an approach first"
                                          : "";
    case ProcedureSlot::Star: return plan.approach < 0 ? "select an approach first" : "";
    case ProcedureSlot::StarTransition:
        return plan.approach < 0 ? "select an approach first" : plan.star < 0 ? "select a STAR first" : "";
    }
    return "";
}

std::string WhySelectionFailed(PlanSession& s, ProcedureSlot slot, const std::string& wanted) {
    const std::string missing = MissingPrerequisite(slot, s.plans().Current());
    if (!missing.empty()) return missing;
    ProcedureSelections lists(s.plans());
    ProcedureSelection& list = lists[slot];
    std::string names;
    for (int32_t i = 0; i < list.count(); ++i) {
        if (list.item(i) == wanted) return "";  // listed: the procedure itself does not fit the plan
        names += (names.empty() ? "" : " ") + list.item(i);
    }
    return names.empty() ? "nothing to choose from" : "choose from " + names;
}

PlanVerb SelectVerb(const char* name, ProcedureSlot slot) {
    return {name, "NAME|INDEX", 1, 1,
            [slot](PlanSession& s, const PlanArgs& a) {
                ProcedureSelections lists(s.plans());
                ProcedureSelection& list = lists[slot];
                return list.select(ItemNumber(list, a[0]));
            },
            [slot](PlanSession& s, const PlanArgs& a) { return WhySelectionFailed(s, slot, a[0]); }};
}

PlanVerb ClearVerb(const char* name, ProcedureSlot slot) {
    return {name, "", 0, 0, [slot](PlanSession& s, const PlanArgs&) { return ProcedureSelections(s.plans())[slot].clear(); }};
}

}  // namespace

std::vector<PlanVerb> PlanProcedureVerbs() {
    return {
        SelectVerb("sid", ProcedureSlot::Sid),
        SelectVerb("sidtrs", ProcedureSlot::SidTransition),
        SelectVerb("star", ProcedureSlot::Star),
        SelectVerb("startrs", ProcedureSlot::StarTransition),
        SelectVerb("app", ProcedureSlot::Approach),
        SelectVerb("apptrs", ProcedureSlot::ApproachTransition),
        ClearVerb("clearsid", ProcedureSlot::Sid),
        ClearVerb("clearsidtrs", ProcedureSlot::SidTransition),
        ClearVerb("clearstar", ProcedureSlot::Star),
        ClearVerb("clearstartrs", ProcedureSlot::StarTransition),
        ClearVerb("clearapp", ProcedureSlot::Approach),
        ClearVerb("clearapptrs", ProcedureSlot::ApproachTransition),
    };
}

}  // namespace halvex::cli
