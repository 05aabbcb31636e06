#include "fms/ProcedureSelection.h"

#include <algorithm>

namespace halvex {

namespace {

bool HasKind(const WaypointEntry& e, EntryKind k) { return e.kind == static_cast<int32_t>(k); }
bool IsHidden(const WaypointEntry& e) { return !e.onLegs && !e.onFpln; }

int32_t FirstOfKinds(const FlightPlan& plan, std::initializer_list<EntryKind> kinds) {
    const auto& e = plan.entries;
    for (size_t i = 0; i < e.size(); ++i)
        for (EntryKind k : kinds)
            if (HasKind(e[i], k)) return static_cast<int32_t>(i);
    return -1;
}

// Removes the first contiguous run of entries that satisfy own.
template <typename Pred>
void RemoveFirstRun(FlightPlan& plan, Pred own) {
    const auto& e = plan.entries;
    const auto begin = std::find_if(e.begin(), e.end(), own);
    const auto end = std::find_if_not(begin, e.end(), own);
    plan.EraseEntries(static_cast<int32_t>(begin - e.begin()), static_cast<int32_t>(end - e.begin()));
}

// Subdivision points sit between the legs they split; inside a procedure's run they would cut
// it in two, so they go before a run is removed (the recompute makes them again).
void RemoveHiddenPoints(FlightPlan& plan) {
    for (int32_t i = static_cast<int32_t>(plan.entries.size()) - 1; i >= 0; --i)
        if (IsHidden(plan.entries[static_cast<size_t>(i)])) plan.EraseEntries(i, i + 1);
}

const LegList* TransitionAt(const ProcedureRecord* r, int32_t i) {
    if (!r || i < 0 || i >= static_cast<int32_t>(r->transitions.size())) return nullptr;
    const LegList& list = r->transitions[static_cast<size_t>(i)];
    return list.legs.empty() ? nullptr : &list;
}

}  // namespace

// ---- Shared sequence ---------------------------------------------------------------------------
void ProcedureSelection::beginIfIdle() {
    if (!plans_.isModifying()) plans_.BeginModification();
    plans_.setModifying(true);
}

// One recompute at the end, whichever way select ends: the plan it leaves is the one that
// clearing and then (maybe) inserting would leave.
int32_t ProcedureSelection::select(int32_t i) {
    if (!prerequisite(plans_.Current())) return -1;
    beginIfIdle();
    FlightPlan& plan = plans_.Modified();
    removeOwnLegs(plan);
    const int32_t result = insert(plan, i);
    plans_.Recompute(plan);
    return result;
}

int32_t ProcedureSelection::insert(FlightPlan& plan, int32_t i) {
    const LegList* legs = legsFor(plan, i);
    if (!legs) return -1;
    const int32_t at = anchor(plan);
    if (at < 0) return -1;
    if (!insertLegs(plan, at, *legs)) return -1;
    setIndexField(plan, i);
    return 0;
}

int32_t ProcedureSelection::clear() {
    beginIfIdle();
    FlightPlan& plan = plans_.Modified();
    removeOwnLegs(plan);
    plans_.Recompute(plan);
    return 0;
}

void ProcedureSelection::removeOwnLegs(FlightPlan& plan) {
    RemoveHiddenPoints(plan);
    RemoveFirstRun(plan, [this](const WaypointEntry& e) { return isOwnLeg(e); });
    RemoveFirstRun(plan, [this](const WaypointEntry& e) { return isExtraLeg(e); });
    resetIndices(plan);
}

void ProcedureSelection::InsertRange(FlightPlan& plan, int32_t at, const LegList& legs, size_t first, size_t last) {
    if (first >= last) return;
    at = std::clamp(at, 0, static_cast<int32_t>(plan.entries.size()));
    plan.entries.insert(plan.entries.begin() + at, legs.legs.begin() + static_cast<std::ptrdiff_t>(first),
                        legs.legs.begin() + static_cast<std::ptrdiff_t>(last));
    const int32_t added = static_cast<int32_t>(last - first);
    for (VPathPoint& p : plan.verticalPath)
        if (p.entryIndex >= at) p.entryIndex += added;
}

bool ProcedureSelection::JoinTransition(FlightPlan& plan, int32_t at, const LegList& legs, int32_t lastNameAt) {
    const auto& e = plan.entries;
    const int32_t size = static_cast<int32_t>(e.size());
    size_t first = 0, last = legs.legs.size();
    if (at > 0 && at <= size && e[static_cast<size_t>(at - 1)].name == legs.legs.front().name) first = 1;
    if (lastNameAt >= 0 && lastNameAt < size && last > first && e[static_cast<size_t>(lastNameAt)].name == legs.legs.back().name)
        --last;
    InsertRange(plan, at, legs, first, last);
    return true;
}

// ---- Procedure lists ---------------------------------------------------------------------------
bool ProcedureList::fitsFilter(const ProcedureRecord& r, int32_t runway) const {
    return runway < 0 || std::find(r.runways.begin(), r.runways.end(), runway) != r.runways.end();
}

int32_t ProcedureList::procedureCount(const FlightPlan& plan) const {
    const auto* list = blockOf(plan) ? records(plan) : nullptr;
    if (!list) return 0;
    const int32_t runway = runwayFilter(plan);
    return static_cast<int32_t>(
        std::count_if(list->begin(), list->end(), [&](const ProcedureRecord& r) { return fitsFilter(r, runway); }));
}

const ProcedureRecord* ProcedureList::procedure(const FlightPlan& plan, int32_t j) const {
    const auto* list = blockOf(plan) ? records(plan) : nullptr;
    if (!list || j < 0) return nullptr;
    const int32_t runway = runwayFilter(plan);
    for (const ProcedureRecord& r : *list)
        if (fitsFilter(r, runway) && j-- == 0) return &r;
    return nullptr;
}

std::string ProcedureList::item(int32_t i) const {
    const ProcedureRecord* r = procedure(plans_.Current(), i);
    return r ? r->name : std::string();
}

// ---- SID -----------------------------------------------------------------------------------------
const ProcedureBlock* SidSelection::procedureBlock(const FlightPlan& plan) const { return plan.originProcedures.get(); }

const std::vector<ProcedureRecord>* SidSelection::records(const FlightPlan& plan) const {
    const ProcedureBlock* b = blockOf(plan);
    return b ? &b->sids : nullptr;
}

const LegList* SidSelection::legsFor(const FlightPlan& plan, int32_t i) const {
    const ProcedureRecord* r = procedure(plan, i);
    if (!r) return nullptr;
    for (const LegList& part : r->runwayParts)
        if (!part.legs.empty() && part.legs.front().runwayIndex == plan.originRunway) return &part;
    return nullptr;
}

int32_t SidSelection::anchor(const FlightPlan& plan) const {
    const int32_t runway = FirstOfKinds(plan, {EntryKind::OriginRunway});
    return runway < 0 ? -1 : runway + 1;  // may be the end: a plan without destination yet
}

bool SidSelection::insertLegs(FlightPlan& plan, int32_t at, const LegList& legs) const {
    const auto& e = plan.entries;
    if (at < 1 || e[static_cast<size_t>(at - 1)].name != legs.legs.front().name) return false;
    size_t last = legs.legs.size();
    if (at < static_cast<int32_t>(e.size()) && last > 1 && e[static_cast<size_t>(at)].name == legs.legs.back().name) --last;
    InsertRange(plan, at, legs, 1, last);
    return true;
}

bool SidSelection::isOwnLeg(const WaypointEntry& e) const {
    return HasKind(e, EntryKind::SidLeg) || HasKind(e, EntryKind::SidTransitionLeg);
}

// ---- STAR ----------------------------------------------------------------------------------------
const ProcedureBlock* StarSelection::procedureBlock(const FlightPlan& plan) const {
    return plan.destinationProcedures.get();
}

const std::vector<ProcedureRecord>* StarSelection::records(const FlightPlan& plan) const {
    const ProcedureBlock* b = blockOf(plan);
    return b ? &b->stars : nullptr;
}

const LegList* StarSelection::legsFor(const FlightPlan& plan, int32_t i) const {
    const ProcedureRecord* r = procedure(plan, i);
    if (!r || r->commonParts.size() != 1 || r->commonParts.front().legs.empty()) return nullptr;
    return &r->commonParts.front();
}

int32_t StarSelection::anchor(const FlightPlan& plan) const {
    return FirstOfKinds(plan, {EntryKind::ApproachLeg, EntryKind::ApproachTransitionLeg});
}

// The STAR ends where the approach (or its transition) begins: when the anchor already has the
// STAR's last fix, that fix is listed once, as a transition joins, not twice with a zero-length
// leg and a lost turn between.
bool StarSelection::insertLegs(FlightPlan& plan, int32_t at, const LegList& legs) const {
    size_t last = legs.legs.size();
    if (at < static_cast<int32_t>(plan.entries.size()) && plan.entries[static_cast<size_t>(at)].name == legs.legs.back().name)
        --last;
    InsertRange(plan, at, legs, 0, last);
    return true;
}

bool StarSelection::isOwnLeg(const WaypointEntry& e) const {
    return HasKind(e, EntryKind::StarLeg) || HasKind(e, EntryKind::StarTransitionLeg);
}

// ---- Approach ------------------------------------------------------------------------------------
const ProcedureBlock* ApproachSelection::procedureBlock(const FlightPlan& plan) const {
    return plan.destinationProcedures.get();
}

const std::vector<ProcedureRecord>* ApproachSelection::records(const FlightPlan& plan) const {
    const ProcedureBlock* b = blockOf(plan);
    return b ? &b->approaches : nullptr;
}

const LegList* ApproachSelection::legsFor(const FlightPlan& plan, int32_t i) const {
    const ProcedureRecord* r = procedure(plan, i);
    if (!r || r->runwayParts.size() != 1) return nullptr;
    const LegList& part = r->runwayParts.front();
    if (part.legs.empty() || part.legs.back().runwayIndex < 0) return nullptr;
    return &part;
}

int32_t ApproachSelection::anchor(const FlightPlan& plan) const {
    return FirstOfKinds(plan, {EntryKind::DestinationRunway});
}

bool ApproachSelection::insertLegs(FlightPlan& plan, int32_t at, const LegList& legs) const {
    if (plan.entries[static_cast<size_t>(at)].name != legs.legs.back().name) return false;
    InsertRange(plan, at, legs, 0, legs.legs.size() - 1);
    return true;
}

bool ApproachSelection::isOwnLeg(const WaypointEntry& e) const {
    return HasKind(e, EntryKind::ApproachLeg) || HasKind(e, EntryKind::ApproachTransitionLeg);
}

bool ApproachSelection::isExtraLeg(const WaypointEntry& e) const { return HasKind(e, EntryKind::ApproachExtraLeg); }

// ---- Transition lists ----------------------------------------------------------------------------
const ProcedureRecord* TransitionList::parentProcedure(const FlightPlan& plan) const {
    const int32_t j = parentIndex(plan);
    return j < 0 ? nullptr : parent_.procedure(plan, j);
}

const ProcedureBlock* TransitionList::procedureBlock(const FlightPlan& plan) const { return parent_.blockOf(plan); }

int32_t TransitionList::count() const {
    const FlightPlan& plan = plans_.Current();
    if (parentIndex(plan) < 0) return -1;
    const ProcedureRecord* r = parentProcedure(plan);
    return r ? static_cast<int32_t>(r->transitions.size()) : 0;
}

std::string TransitionList::item(int32_t i) const {
    const ProcedureRecord* r = parentProcedure(plans_.Current());
    if (!r || i < 0 || i >= static_cast<int32_t>(r->transitions.size())) return std::string();
    return r->transitions[static_cast<size_t>(i)].name;
}

const LegList* TransitionList::legsFor(const FlightPlan& plan, int32_t i) const {
    return TransitionAt(parentProcedure(plan), i);
}

int32_t SidTransitionSelection::anchor(const FlightPlan& plan) const {
    const auto& e = plan.entries;
    auto it = std::find_if(e.begin(), e.end(), [](const WaypointEntry& x) { return HasKind(x, EntryKind::SidLeg); });
    if (it == e.end()) return -1;
    it = std::find_if_not(it, e.end(), [](const WaypointEntry& x) { return HasKind(x, EntryKind::SidLeg); });
    return static_cast<int32_t>(it - e.begin());  // may be the end: nothing after the SID yet
}

bool SidTransitionSelection::insertLegs(FlightPlan& plan, int32_t at, const LegList& legs) const {
    const int32_t lastEntry = static_cast<int32_t>(plan.entries.size()) - 1;
    return JoinTransition(plan, at, legs, at < lastEntry ? at : -1);
}

bool SidTransitionSelection::isOwnLeg(const WaypointEntry& e) const { return HasKind(e, EntryKind::SidTransitionLeg); }

int32_t StarTransitionSelection::anchor(const FlightPlan& plan) const { return FirstOfKinds(plan, {EntryKind::StarLeg}); }

// The last leg is dropped when the STAR's first fix (the anchor) already has its name, as for
// the other transitions: comparing with the entry after the anchor would list the joining fix
// twice with a zero-length leg between.
bool StarTransitionSelection::insertLegs(FlightPlan& plan, int32_t at, const LegList& legs) const {
    const int32_t lastEntry = static_cast<int32_t>(plan.entries.size()) - 1;
    return JoinTransition(plan, at, legs, at < lastEntry ? at : -1);
}

bool StarTransitionSelection::isOwnLeg(const WaypointEntry& e) const { return HasKind(e, EntryKind::StarTransitionLeg); }

int32_t ApproachTransitionSelection::anchor(const FlightPlan& plan) const {
    return FirstOfKinds(plan, {EntryKind::ApproachLeg});
}

bool ApproachTransitionSelection::insertLegs(FlightPlan& plan, int32_t at, const LegList& legs) const {
    const int32_t lastEntry = static_cast<int32_t>(plan.entries.size()) - 1;
    return JoinTransition(plan, at, legs, at < lastEntry ? at : -1);
}

bool ApproachTransitionSelection::isOwnLeg(const WaypointEntry& e) const {
    return HasKind(e, EntryKind::ApproachTransitionLeg);
}

bool ApproachTransitionSelection::isExtraLeg(const WaypointEntry& e) const {
    return HasKind(e, EntryKind::ApproachExtraLeg);
}

// ---- All six -------------------------------------------------------------------------------------
ProcedureSelections::ProcedureSelections(FlightPlanSet& plans)
    : sid_(plans),
      sidTransition_(plans, sid_),
      star_(plans),
      starTransition_(plans, star_),
      approach_(plans),
      approachTransition_(plans, approach_) {}

ProcedureSelection& ProcedureSelections::operator[](ProcedureSlot slot) {
    switch (slot) {
    case ProcedureSlot::Sid: return sid_;
    case ProcedureSlot::SidTransition: return sidTransition_;
    case ProcedureSlot::Star: return star_;
    case ProcedureSlot::StarTransition: return starTransition_;
    case ProcedureSlot::Approach: return approach_;
    case ProcedureSlot::ApproachTransition: return approachTransition_;
    }
    return sid_;
}

}  // namespace halvex
