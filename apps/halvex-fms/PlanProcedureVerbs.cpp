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

PlanVerb SelectVerb(const char* name, ProcedureSlot slot) {
    return {name, "NAME|INDEX", 1, 1, [slot](PlanSession& s, const PlanArgs& a) {
                ProcedureSelections lists(s.plans());
                ProcedureSelection& list = lists[slot];
                return list.select(ItemNumber(list, a[0]));
            }};
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
