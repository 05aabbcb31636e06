#include "fms/FlightPlan.h"

#include <algorithm>
#include <cmath>

#include "fms/ProcedureSelection.h"
#include "fms/TurnGeometry.h"
#include "procedures/LoadProcedures.h"

namespace halvex {

namespace {

bool IsHidden(const WaypointEntry& e) { return !e.onLegs && !e.onFpln; }

bool IsKind(const WaypointEntry& e, EntryKind k) { return e.kind == static_cast<int32_t>(k); }

// Kinds in front of which a route-view insertion past the end goes: the arrival part.
bool IsArrivalKind(int32_t kind) {
    switch (static_cast<EntryKind>(kind)) {
    case EntryKind::DestinationAirport:
    case EntryKind::DestinationRunway:
    case EntryKind::StarLeg:
    case EntryKind::StarTransitionLeg:
    case EntryKind::ApproachLeg:
    case EntryKind::ApproachTransitionLeg:
        return true;
    default:
        return false;
    }
}

// The part of a route entry that a route-view deletion takes with it: the airway legs that lead
// on to the next route entry and subdivision points. A procedure's legs, runways, airports and
// the direct-from point are never part of it.
bool LeadsToNextRouteEntry(const WaypointEntry& e) { return IsHidden(e) || (IsKind(e, EntryKind::Waypoint) && !e.onFpln); }

// The first visible entry from index on now follows a different entry: it is reached directly,
// whatever airway brought it from its old predecessor.
void ReachDirectly(FlightPlan& plan, int32_t index) {
    for (size_t k = static_cast<size_t>(std::max(index, 0)); k < plan.entries.size(); ++k) {
        if (IsHidden(plan.entries[k])) continue;
        plan.entries[k].airwayIndex = -1;
        return;
    }
}

GeoPoint Midpoint(const GeoPoint& a, const GeoPoint& b) { return ProjectToSurface(Add(CartesianOf(a), CartesianOf(b))); }

// Re-points vertical path points after entries moved: map[old] is the new index or -1.
void RemapPoints(VPathList& points, const std::vector<int32_t>& map) {
    for (VPathPoint& p : points) {
        if (p.entryIndex < 0) continue;
        p.entryIndex = p.entryIndex < static_cast<int32_t>(map.size()) ? map[static_cast<size_t>(p.entryIndex)] : -1;
    }
}

// Step 1: hidden points out, keeping vertical path points on their entries.
void RemoveHidden(FlightPlan& plan) {
    auto& e = plan.entries;
    if (std::none_of(e.begin(), e.end(), IsHidden)) return;
    std::vector<int32_t> map(e.size(), -1);
    size_t kept = 0;
    for (size_t i = 0; i < e.size(); ++i) {
        if (IsHidden(e[i])) continue;
        map[i] = static_cast<int32_t>(kept);
        if (kept != i) e[kept] = std::move(e[i]);
        ++kept;
    }
    e.resize(kept);
    RemapPoints(plan.verticalPath, map);
}

void ClearLeg(WaypointEntry& e) {
    e.course = -1.0f;
    e.legLength = -1.0f;
    e.legDistance = -1.0f;
    e.legsDistance = -1.0f;
    e.legVector = GeoVector{0.0f, 0.0f, 0.0f, 1.0f};
}

// Step 2.
void CoursesAndDistances(std::vector<WaypointEntry>& e) {
    if (e.empty()) return;
    for (size_t i = 0; i + 1 < e.size(); ++i) {
        const CourseDistance cd = CourseAndDistance(e[i].position, e[i + 1].position);
        e[i].course = cd.courseDeg;
        e[i].legLength = -1.0f;
        e[i].legDistance = cd.distanceNm;
        e[i].legsDistance = cd.distanceNm;
        e[i].legVector = Subtract(CartesianOf(e[i + 1].position), CartesianOf(e[i].position));
    }
    ClearLeg(e.back());  // the last entry leads nowhere; no value of an earlier shape may stay
}

float HalfArc(const WaypointEntry& e) { return e.turnAngle * e.turnRadius * 0.5f; }

// Replaces the straight parts the turns at the leg's ends fly instead by half of each arc.
float WithTurnAllowances(float straightNm, const WaypointEntry& from, const WaypointEntry& to, bool atStart, bool atEnd) {
    float length = straightNm;
    if (atEnd && to.entryDistance > 0) length = length - to.entryDistance + HalfArc(to);
    if (atStart && from.exitDistance > 0) length = HalfArc(from) + (length - from.exitDistance);
    return length;
}

// Step 4.
void LegLengths(FlightPlan& plan) {
    auto& e = plan.entries;
    plan.totalDistance = 0;
    int64_t pending = -1;
    float sum = 0;
    for (size_t i = 0; i + 1 < e.size(); ++i) {
        const float length = WithTurnAllowances(e[i].legDistance, e[i], e[i + 1], true, true);
        e[i].legLength = length;
        if (e[i].onLegs) {
            if (pending >= 0) e[static_cast<size_t>(pending)].legsDistance = sum;
            pending = -1;
            if (e[i + 1].onLegs) {
                e[i].legsDistance = length;
            } else {
                pending = static_cast<int64_t>(i);
                sum = length;
            }
        } else if (pending >= 0) {
            sum += length;
        }
        plan.totalDistance += length;
    }
}

// How often a leg may be halved towards its start: as often as its great-circle length needs
// to come under the limit (a leg is never longer than half way round the earth), and once more
// for rounding. Positions whose angles disagree with their Cartesian points (a file's longitude
// of 1e15 rad) never measure shorter, so this, not the measured piece, ends the halving.
size_t MaxHalvings(float legNm, float limitNm) {
    constexpr double kHalfRoundNm = 3.14159265358979 * 3437.7468;
    size_t halvings = 1;
    for (double pieceNm = std::min<double>(legNm, kHalfRoundNm) / 2; pieceNm > limitNm && halvings < 64; pieceNm /= 2)
        ++halvings;
    return halvings + 1;
}

// Step 5: every leg longer than the limit gets hidden points, the one next to its start split
// again until that piece is short enough (pieces of L/2^k ... L/4, L/2 from the start).
void Subdivide(FlightPlan& plan, float limitNm, std::vector<WaypointEntry>& scratch) {
    auto& e = plan.entries;
    if (e.size() < 2) return;
    bool any = false;
    for (size_t i = 0; i + 1 < e.size(); ++i) any = any || e[i].legDistance > limitNm;
    if (!any) return;

    scratch.clear();
    scratch.reserve(e.size() * 2);
    std::vector<int32_t> map(e.size(), -1);
    std::vector<GeoPoint> cuts;  // nearest to the start last
    for (size_t i = 0; i < e.size(); ++i) {
        map[i] = static_cast<int32_t>(scratch.size());
        scratch.push_back(std::move(e[i]));
        if (i + 1 == e.size() || !(scratch.back().legDistance > limitNm)) continue;
        const size_t startIndex = scratch.size() - 1;
        const GeoPoint start = scratch.back().position;
        cuts.clear();
        GeoPoint cut = Midpoint(start, e[i + 1].position);
        cuts.push_back(cut);
        const size_t maxHalvings = MaxHalvings(scratch.back().legDistance, limitNm);
        while (cuts.size() < maxHalvings && CourseAndDistance(start, cut).distanceNm > limitNm) {
            cut = Midpoint(start, cut);
            cuts.push_back(cut);
        }
        for (auto c = cuts.rbegin(); c != cuts.rend(); ++c) {
            WaypointEntry hidden;
            hidden.position = *c;
            scratch.push_back(std::move(hidden));
        }
        // Pieces: start -> cut ... -> next. The start keeps the whole leg's legDistance and
        // legsDistance; the turn allowances go to the first and the last piece.
        const size_t last = scratch.size() - 1;
        for (size_t k = startIndex; k <= last; ++k) {
            const GeoPoint& to = k < last ? scratch[k + 1].position : e[i + 1].position;
            const CourseDistance cd = CourseAndDistance(scratch[k].position, to);
            scratch[k].course = cd.courseDeg;
            scratch[k].legVector = Subtract(CartesianOf(to), CartesianOf(scratch[k].position));
            const WaypointEntry& toEntry = k < last ? scratch[k + 1] : e[i + 1];
            scratch[k].legLength = WithTurnAllowances(cd.distanceNm, scratch[k], toEntry, k == startIndex, k == last);
        }
    }
    e.swap(scratch);
    RemapPoints(plan.verticalPath, map);
    plan.totalDistance = 0;
    for (size_t i = 0; i + 1 < e.size(); ++i) plan.totalDistance += e[i].legLength;
}

}  // namespace

// ---- FlightPlan ------------------------------------------------------------------------------
void FlightPlan::ResetSelections() {
    origin = destination = originRunway = destinationRunway = -1;
    sid = sidTransition = approach = approachTransition = star = starTransition = -1;
}

void FlightPlan::Reset() {
    entries.clear();
    verticalPath.clear();
    ResetSelections();
    totalDistance = 0;
    originProcedures.reset();
    destinationProcedures.reset();
}

int32_t FlightPlan::LegsCount() const {
    return static_cast<int32_t>(std::count_if(entries.begin(), entries.end(), [](const WaypointEntry& e) { return e.onLegs != 0; }));
}

int32_t FlightPlan::FplnCount() const {
    return static_cast<int32_t>(std::count_if(entries.begin(), entries.end(), [](const WaypointEntry& e) { return e.onFpln != 0; }));
}

int32_t FlightPlan::LegsEntryIndex(int32_t legsPosition) const {
    if (legsPosition < 0) return -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].onLegs && legsPosition-- == 0) return static_cast<int32_t>(i);
    return -1;
}

int32_t FlightPlan::FplnEntryIndex(int32_t fplnPosition) const {
    if (fplnPosition < 0) return -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].onFpln && fplnPosition-- == 0) return static_cast<int32_t>(i);
    return -1;
}

const WaypointEntry* FlightPlan::LegsEntry(int32_t legsPosition) const {
    const int32_t i = LegsEntryIndex(legsPosition);
    return i < 0 ? nullptr : &entries[static_cast<size_t>(i)];
}

const WaypointEntry* FlightPlan::FplnEntry(int32_t fplnPosition) const {
    const int32_t i = FplnEntryIndex(fplnPosition);
    return i < 0 ? nullptr : &entries[static_cast<size_t>(i)];
}

int32_t FlightPlan::FindKind(EntryKind kind, int32_t fromIndex) const {
    for (size_t i = static_cast<size_t>(std::max(fromIndex, 0)); i < entries.size(); ++i)
        if (IsKind(entries[i], kind)) return static_cast<int32_t>(i);
    return -1;
}

void FlightPlan::EraseEntries(int32_t first, int32_t last) {
    const int32_t size = static_cast<int32_t>(entries.size());
    first = std::clamp(first, 0, size);
    last = std::clamp(last, first, size);
    if (first == last) return;
    entries.erase(entries.begin() + first, entries.begin() + last);
    for (VPathPoint& p : verticalPath) {
        if (p.entryIndex >= last) p.entryIndex -= last - first;
        else if (p.entryIndex >= first) p.entryIndex = -1;
    }
}

void FlightPlan::InsertEntry(int32_t index, WaypointEntry entry) {
    index = std::clamp(index, 0, static_cast<int32_t>(entries.size()));
    entries.insert(entries.begin() + index, std::move(entry));
    for (VPathPoint& p : verticalPath)
        if (p.entryIndex >= index) ++p.entryIndex;
}

// ---- FlightPlanSet: setup and recompute --------------------------------------------------------
FlightPlanSet::FlightPlanSet(const NavDatabase* database, const PerfSpecTable* performance, const AircraftSource* aircraft,
                             GuidanceSeam* guidance)
    : database_(database), performance_(performance), aircraft_(aircraft), guidance_(guidance) {}

void FlightPlanSet::BeginModification() { modified_ = active_; }

float FlightPlanSet::TurnRadiusNm() const { return halvex::TurnRadiusNm(performance_); }

void FlightPlanSet::Recompute(FlightPlan& plan) const {
    RemoveHidden(plan);
    CoursesAndDistances(plan.entries);
    ComputeTurns(plan.entries, TurnRadiusNm(), kSubdivideAboveNm);
    LegLengths(plan);
    thread_local std::vector<WaypointEntry> scratch;
    Subdivide(plan, kSubdivideAboveNm, scratch);
}

// ---- Helpers shared by the edits -----------------------------------------------------------
bool FlightPlanSet::modificationInUse() const { return modifying_ || !modified_.empty(); }

bool FlightPlanSet::beginIfEmpty() {
    if (modificationInUse()) return false;
    BeginModification();
    return true;
}

// A failing edit leaves the plans as they were: a modification it began is undone, one already
// in progress is kept.
int32_t FlightPlanSet::failAfterBegin(bool begun) {
    if (begun) modified_.Reset();
    return -1;
}

void FlightPlanSet::finishEdit() {
    Recompute(modified_);
    modifying_ = true;
}

bool FlightPlanSet::hasAirports() const { return Current().origin >= 0 && Current().destination >= 0; }

WaypointEntry FlightPlanSet::fixEntry(int32_t fixIndex) const {
    const NavWaypoint* w = database_->GetWaypoint(fixIndex);
    WaypointEntry e;
    e.position = MakeSurfacePoint(w->lat, w->lon);
    e.name = std::string(w->Ident());
    e.fixIndex = fixIndex;
    e.kind = static_cast<int32_t>(EntryKind::Waypoint);
    e.onLegs = 1;
    e.onFpln = 1;
    return e;
}

void FlightPlanSet::overwriteWithDirectFrom(WaypointEntry& e) const {
    e.position = aircraft_ ? aircraft_->PresentPosition() : kSurfaceOrigin;
    e.name = "(DC)";
    e.kind = static_cast<int32_t>(EntryKind::DirectFrom);
    e.fixIndex = -1;
    e.onLegs = 1;
    e.onFpln = 0;
}

// ---- Airports and runways --------------------------------------------------------------------
int32_t FlightPlanSet::setOrigin(std::string_view ident) { return setAirport(ident, true); }
int32_t FlightPlanSet::setDestination(std::string_view ident) { return setAirport(ident, false); }

int32_t FlightPlanSet::setAirport(std::string_view ident, bool isOrigin) {
    if (!database_ || ident.empty() || !KnowsAirport(ident)) return -1;
    if (!modificationInUse()) BeginModification();
    if (isOrigin) {
        clearProcedure(ProcedureSlot::Sid);
    } else {
        clearProcedure(ProcedureSlot::Star);
        clearProcedure(ProcedureSlot::Approach);
    }
    return placeAirport(ident, isOrigin);
}

bool FlightPlanSet::KnowsAirport(std::string_view ident) const {
    return database_ && !ident.empty() && database_->FindAirport(ident) >= 0 &&
           database_->GetWaypoint(database_->FindAirportWaypoint(ident)) != nullptr;
}

int32_t FlightPlanSet::placeAirport(std::string_view ident, bool isOrigin) {
    if (!KnowsAirport(ident)) return -1;
    const int32_t airport = database_->FindAirport(ident);
    const int32_t row = database_->FindAirportWaypoint(ident);
    const NavWaypoint* w = database_->GetWaypoint(row);

    WaypointEntry entry;
    entry.position = MakeSurfacePoint(w->lat, w->lon);
    entry.name = std::string(w->Ident());
    entry.fixIndex = row;
    entry.airportIndex = airport;
    entry.onLegs = 1;
    entry.onFpln = 0;
    entry.kind = static_cast<int32_t>(isOrigin ? EntryKind::OriginAirport : EntryKind::DestinationAirport);

    FlightPlan& plan = modified_;
    if (isOrigin) {
        plan.origin = plan.originRunway = plan.sid = plan.sidTransition = -1;
        const int32_t at = plan.FindKind(EntryKind::OriginAirport);
        if (at >= 0) plan.entries[static_cast<size_t>(at)] = std::move(entry);
        else plan.InsertEntry(0, std::move(entry));  // in front of all, or the only entry
        const int32_t runway = plan.FindKind(EntryKind::OriginRunway);
        if (runway >= 0) plan.EraseEntries(runway, runway + 1);
        plan.origin = airport;
    } else {
        plan.destination = plan.destinationRunway = -1;
        plan.star = plan.starTransition = plan.approach = plan.approachTransition = -1;
        const int32_t at = plan.FindKind(EntryKind::DestinationAirport);
        if (at >= 0) plan.entries[static_cast<size_t>(at)] = std::move(entry);
        else plan.entries.push_back(std::move(entry));
        const int32_t runway = plan.FindKind(EntryKind::DestinationRunway);
        if (runway >= 0) plan.EraseEntries(runway, runway + 1);
        plan.destination = airport;
    }
    Recompute(plan);

    SharedProcedures& slot = isOrigin ? plan.originProcedures : plan.destinationProcedures;
    slot.reset();
    auto block = std::make_shared<ProcedureBlock>();
    if (LoadProcedures(*database_, *block, ident) != 0) return -1;  // the airport stays set
    slot = std::move(block);
    modifying_ = true;
    return 0;
}

int32_t FlightPlanSet::setOriginRunway(int32_t runway) { return setRunway(runway, true); }
int32_t FlightPlanSet::setDestinationRunway(int32_t runway) { return setRunway(runway, false); }

int32_t FlightPlanSet::setRunway(int32_t runway, bool isOrigin) {
    // Everything that can fail is checked on the plan the edit would start from, so a refused
    // runway changes nothing (no procedure is cleared, no modification begun).
    if (!database_) return -1;
    const FlightPlan& from = modifying_ ? modified_ : active_;
    const int32_t airportIndex = isOrigin ? from.origin : from.destination;
    const NavAirport* airport = database_->GetAirport(airportIndex);
    if (!airport || runway < 0 || runway >= static_cast<int32_t>(airport->runways.size())) return -1;
    if (from.FindKind(isOrigin ? EntryKind::OriginAirport : EntryKind::DestinationAirport) < 0) return -1;

    if (!modifying_) BeginModification();
    if (isOrigin) {
        clearProcedure(ProcedureSlot::Sid);
    } else {
        clearProcedure(ProcedureSlot::Star);
        clearProcedure(ProcedureSlot::Approach);
    }

    const NavRunway& r = airport->runways[static_cast<size_t>(runway)];
    WaypointEntry entry;
    entry.position = MakeSurfacePoint(r.lat, r.lon);
    entry.name = "RWY" + std::string(r.Ident());
    entry.runwayIndex = runway;
    entry.airportIndex = airportIndex;
    entry.onLegs = 1;
    entry.onFpln = 0;
    entry.kind = static_cast<int32_t>(isOrigin ? EntryKind::OriginRunway : EntryKind::DestinationRunway);
    if (r.elevation <= kMaxAltitudeFt) {
        entry.altitude = r.elevation;
        entry.altitudeKind = static_cast<uint32_t>(AltitudeKind::At);
    }

    FlightPlan& plan = modified_;
    const EntryKind runwayKind = isOrigin ? EntryKind::OriginRunway : EntryKind::DestinationRunway;
    const int32_t old = plan.FindKind(runwayKind);
    if (old >= 0) plan.EraseEntries(old, old + 1);
    const int32_t remaining = plan.FindKind(runwayKind);
    if (remaining >= 0) {
        plan.entries[static_cast<size_t>(remaining)] = std::move(entry);
    } else if (isOrigin) {
        plan.InsertEntry(plan.FindKind(EntryKind::OriginAirport) + 1, std::move(entry));
    } else {
        plan.InsertEntry(plan.FindKind(EntryKind::DestinationAirport), std::move(entry));
    }
    (isOrigin ? plan.originRunway : plan.destinationRunway) = runway;
    finishEdit();
    return 0;
}

// ---- Waypoints -------------------------------------------------------------------------------
int32_t FlightPlanSet::insertLegsWaypoint(int32_t fixIndex, int32_t legsPosition) {
    if (!database_ || legsPosition < 0 || !database_->GetWaypoint(fixIndex) || !hasAirports()) return -1;
    return insertAtLegs(fixEntry(fixIndex), legsPosition);
}

int32_t FlightPlanSet::insertLegsPbd(int32_t fixIndex, int32_t legsPosition, float bearingMagDeg, float distanceNm) {
    if (!database_ || legsPosition < 0 || !database_->GetWaypoint(fixIndex) || !hasAirports()) return -1;
    // Beyond the antipode a distance names no place (and huge ones overflow the step).
    if (!std::isfinite(bearingMagDeg) || !std::isfinite(distanceNm) || distanceNm < 0 || distanceNm > kMaxPbdDistanceNm)
        return -1;
    WaypointEntry entry = fixEntry(fixIndex);
    entry.position = DestinationPoint(false, entry.position, bearingMagDeg, distanceNm);
    entry.name += "_FIX";
    entry.fixIndex = -1;
    return insertAtLegs(std::move(entry), legsPosition);
}

int32_t FlightPlanSet::insertAtLegs(WaypointEntry entry, int32_t legsPosition) {
    beginIfEmpty();
    FlightPlan& plan = modified_;
    if (plan.empty()) {
        WaypointEntry dc;
        overwriteWithDirectFrom(dc);
        plan.entries.push_back(std::move(dc));
        plan.entries.push_back(std::move(entry));
    } else if (legsPosition == 0) {
        WaypointEntry& first = plan.entries.front();
        overwriteWithDirectFrom(first);
        first.altitude = -1.0f;
        first.altitudeKind = static_cast<uint32_t>(AltitudeKind::At);
        plan.InsertEntry(1, std::move(entry));
        ReachDirectly(plan, 2);
    } else {
        int32_t at = plan.LegsEntryIndex(legsPosition);
        if (at < 0) at = static_cast<int32_t>(plan.entries.size());
        plan.InsertEntry(at, std::move(entry));
        ReachDirectly(plan, at + 1);
    }
    finishEdit();
    return 0;
}

int32_t FlightPlanSet::insertFplnWaypoint(int32_t fixIndex, int32_t fplnPosition) {
    if (!database_ || fplnPosition < 0 || !database_->GetWaypoint(fixIndex) || !hasAirports()) return -1;
    WaypointEntry entry = fixEntry(fixIndex);
    beginIfEmpty();
    FlightPlan& plan = modified_;
    int32_t at = plan.FplnEntryIndex(fplnPosition);
    if (at < 0) {
        const auto arrival = std::find_if(plan.entries.begin(), plan.entries.end(),
                                          [](const WaypointEntry& e) { return IsArrivalKind(e.kind); });
        at = static_cast<int32_t>(arrival - plan.entries.begin());
    }
    plan.InsertEntry(at, std::move(entry));
    ReachDirectly(plan, at + 1);
    finishEdit();
    return 0;
}

int32_t FlightPlanSet::insertAirwaySegment(int32_t endFixIndex, int32_t airwayIndex, int32_t fplnPosition) {
    if (!database_ || fplnPosition < 0 || endFixIndex < 0 || airwayIndex < 0 || !hasAirports()) return -1;
    if (!database_->AirwayContains(airwayIndex, endFixIndex)) return -1;
    const bool begun = beginIfEmpty();
    FlightPlan& plan = modified_;

    int32_t start = plan.FplnEntryIndex(fplnPosition);
    if (start < 0) {
        // Past the route view: the nearest route entry in front of the (last) destination,
        // the entry directly in front of it included.
        int32_t destination = -1;
        for (int32_t i = static_cast<int32_t>(plan.entries.size()) - 1; i >= 0 && destination < 0; --i)
            if (IsKind(plan.entries[static_cast<size_t>(i)], EntryKind::DestinationAirport)) destination = i;
        for (int32_t i = destination - 1; i >= 0 && start < 0; --i)
            if (plan.entries[static_cast<size_t>(i)].onFpln) start = i;
        if (start < 0) return failAfterBegin(begun);
    }
    const int32_t startFix = plan.entries[static_cast<size_t>(start)].fixIndex;
    if (startFix < 0 || !database_->AirwayContains(airwayIndex, startFix)) return failAfterBegin(begun);

    const std::span<const int32_t> points = database_->GetAirway(airwayIndex)->points;
    const auto s = std::find(points.begin(), points.end(), startFix) - points.begin();
    const auto f = std::find(points.begin(), points.end(), endFixIndex) - points.begin();
    if (s == f) return failAfterBegin(begun);  // nothing lies between a fix and itself

    const ptrdiff_t step = f > s ? 1 : -1;
    int32_t at = start + 1;
    for (ptrdiff_t k = s + step;; k += step) {
        WaypointEntry e = fixEntry(points[static_cast<size_t>(k)]);
        e.airwayIndex = airwayIndex;
        e.onFpln = k == f ? 1 : 0;
        plan.InsertEntry(at++, std::move(e));
        if (k == f) break;
    }
    ReachDirectly(plan, at);
    finishEdit();
    return 0;
}

// ---- Deletions and direct-to -----------------------------------------------------------------
// Removes legs position p with the entries up to the next legs-view entry; -1 when p has none.
int32_t FlightPlanSet::deleteLegsAt(FlightPlan& plan, int32_t legsPosition) const {
    const int32_t i = plan.LegsEntryIndex(legsPosition);
    if (i < 0) return -1;
    int32_t end = i + 1;
    while (end < static_cast<int32_t>(plan.entries.size()) && !plan.entries[static_cast<size_t>(end)].onLegs) ++end;
    plan.EraseEntries(i, end);
    ReachDirectly(plan, i);
    return 0;
}

// hi - lo deletions at legs position lo remove, in one go, everything from legs position lo up to
// the entry of legs position hi (to the end when hi is the legs count). lo < hi <= count.
void FlightPlanSet::eraseLegsRange(FlightPlan& plan, int32_t lo, int32_t hi) {
    if (hi <= lo) return;
    const int32_t first = plan.LegsEntryIndex(lo);
    const int32_t last = plan.LegsEntryIndex(hi);
    plan.EraseEntries(first, last < 0 ? static_cast<int32_t>(plan.entries.size()) : last);
    ReachDirectly(plan, first);
}

int32_t FlightPlanSet::deleteLegsWaypoint(int32_t legsPosition) {
    const bool begun = beginIfEmpty();
    if (deleteLegsAt(modified_, legsPosition) != 0) return failAfterBegin(begun);
    finishEdit();
    return 0;
}

int32_t FlightPlanSet::deleteLegsWaypoints(int32_t first, int32_t second) {
    const int32_t lo = std::min(first, second);
    const int32_t hi = std::max(first, second);
    if (lo < 0) return -1;
    const bool begun = beginIfEmpty();
    // Each pass removes exactly one legs-view entry at lo, so all passes succeed exactly when
    // the legs view reaches hi; checking first keeps a failing range from deleting anything.
    if (hi > lo && hi > modified_.LegsCount()) return failAfterBegin(begun);
    eraseLegsRange(modified_, lo, hi);
    finishEdit();  // one recompute: the passes' intermediate recomputes give the same plan
    return 0;
}

int32_t FlightPlanSet::deleteFplnWaypoint(int32_t fplnPosition) {
    const bool begun = beginIfEmpty();
    FlightPlan& plan = modified_;
    const int32_t i = plan.FplnEntryIndex(fplnPosition);
    if (i < 0) return failAfterBegin(begun);
    int32_t end = i + 1;
    if (i > 0) {
        const int32_t size = static_cast<int32_t>(plan.entries.size());
        while (end < size && LeadsToNextRouteEntry(plan.entries[static_cast<size_t>(end)])) ++end;
    }
    plan.EraseEntries(i, end);
    ReachDirectly(plan, i);
    finishEdit();
    return 0;
}

int32_t FlightPlanSet::directTo(int32_t legsPosition) {
    const bool begun = beginIfEmpty();
    // Position 0 is where the aircraft already flies from; a position past the legs view has no
    // target to fly to.
    if (legsPosition <= 0 || legsPosition >= modified_.LegsCount()) return failAfterBegin(begun);
    eraseLegsRange(modified_, 1, legsPosition);
    WaypointEntry& first = modified_.entries.front();
    overwriteWithDirectFrom(first);
    const float altitude = aircraft_ ? aircraft_->PresentAltitudeFt() : -1.0f;
    if (aircraft_ && std::isfinite(altitude) && altitude <= kMaxAltitudeFt) {
        first.altitude = altitude;
        first.altitudeKind = static_cast<uint32_t>(AltitudeKind::At);
    }
    finishEdit();
    return 0;
}

// ---- Altitudes ---------------------------------------------------------------------------------
int32_t FlightPlanSet::setLegsAltitude(int32_t legsPosition, float altitudeFt) {
    FlightPlan& plan = Current();
    const int32_t i = plan.LegsEntryIndex(legsPosition);
    if (i >= 0 && std::isfinite(altitudeFt) && altitudeFt <= kMaxAltitudeFt) {
        plan.entries[static_cast<size_t>(i)].altitude = altitudeFt;
        plan.entries[static_cast<size_t>(i)].altitudeKind = static_cast<uint32_t>(AltitudeKind::At);
    }
    if (!modifying_ && guidance_) guidance_->RebuildVerticalPath(active_);
    return 0;
}

int32_t FlightPlanSet::setCruiseAltitude(float altitudeFt) {
    if (!(altitudeFt >= 0 && altitudeFt <= kMaxCruiseAltitudeFt)) return -1;  // NaN fails too
    cruiseAltitudeFt_ = altitudeFt;
    if (modified_.empty() && !active_.empty() && guidance_) guidance_->RebuildVerticalPath(active_);
    return 0;
}

// ---- Procedure slots ---------------------------------------------------------------------------
// The selection lists own the removal steps (which legs are theirs, which indexes reset).
int32_t FlightPlanSet::clearProcedure(ProcedureSlot slot) { return ProcedureSelections(*this)[slot].clear(); }

// ---- Execute and cancel ----------------------------------------------------------------------
// A modification that deleted every entry is executed too: the crew emptied the route on
// purpose, and keeping the old one would fly what they deleted.
void FlightPlanSet::activate() {
    if (modificationInUse()) {
        active_ = std::move(modified_);
        modified_ = FlightPlan{};
    }
    modifying_ = false;
    if (guidance_) {
        guidance_->ChooseActiveLeg(active_);
        guidance_->RebuildVerticalPath(active_);
        guidance_->ResetToPlanStart(active_);
    }
}

void FlightPlanSet::cancelModification() {
    modified_.Reset();
    modifying_ = false;
}

}  // namespace halvex
