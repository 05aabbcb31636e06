#include "procedures/ProcedureInterpreter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <unordered_map>

#include "navdb/Geodesy.h"
#include "procedures/ProgramAssembler.h"

namespace halvex {

namespace {

constexpr float kHighestConstraintFt = 65000.0f;
constexpr float kUntilDistanceLimit = 100.0f;  // below: UNTIL gives nm; from here: an altitude
constexpr double kFarthestInterceptNm = 500.0;  // beyond this from its fix, no procedure meets a radial
const char* const kInterceptName = "(INTC)";

// A position the program resolved a name to.
struct Resolved {
    GeoPoint position;
    int32_t fixIndex = -1;  // -1 for the file's own fixes
};

// Geometry made from file numbers must stay on the globe: anything else is no position.
bool usable(const GeoPoint& p) {
    return std::isfinite(p.lat) && std::isfinite(p.lon) && std::fabs(p.lat) <= HalfPi + 1e-4f &&
           std::fabs(p.lon) <= 2.0f * HalfPi + 1e-4f;
}

const ProcNode* nameNode(const ProcNode& op) {
    if (!op.body) return nullptr;
    return op.body->kind == ProcNodeKind::Group ? op.body->body.get() : op.body.get();
}

class Interpreter;
using OpHandler = const ProcNode* (*)(Interpreter&, const ProcNode&);
const std::array<OpHandler, kOpCount>& handlerTable();

class Interpreter {
public:
    Interpreter(ProcedureBlock& block, const NavDatabase& database) : block_(block), db_(database) {
        airportIndex_ = db_.FindAirport(block_.airportIdent);  // a linear scan: once per load
        airport_ = airportIndex_ >= 0 ? db_.GetAirport(airportIndex_) : nullptr;
    }

    // Runs op after op until a handler names no next one.
    void runChain(const ProcNode* node) {
        while (node && node->kind == ProcNodeKind::Op) node = dispatch(*node);
    }
    const ProcNode* dispatch(const ProcNode& op) {
        const auto code = static_cast<int32_t>(op.op);
        if (code < 0 || code >= kOpCount) return nullptr;
        return handlerTable()[static_cast<size_t>(code)](*this, op);
    }

    // ---- sections, declarations, parts ----

    // FIXES only defines: of its statements it runs the parts (in practice the fix definitions),
    // so a procedure written there is not built.
    const ProcNode* section(const ProcNode& op) {
        const bool definitionsOnly = op.op == ProcOp::DeclFixes;
        for (const ProcNode* group = op.body.get(); group; group = nextGroup_) {
            nextGroup_ = group->next.get();
            const ProcNode* first = group->body.get();
            if (definitionsOnly && !(first && first->kind == ProcNodeKind::Op && IsPartOp(first->op))) continue;
            runChain(first);
        }
        return op.next.get();
    }

    const ProcNode* declaration(const ProcNode& op) {
        if (record_) return nullptr;  // no declaration inside another
        ProcedureRecord record;
        record.name = nameNode(op) ? nameNode(op)->text : std::string();
        record_ = &record;
        declaration_ = op.op;
        partRunways_.clear();
        runChain(op.next.get());  // the parts written on the declaration line
        const ProcNode* group = op.parent;
        if (group && group->kind == ProcNodeKind::Group && group->body.get() == &op) {
            for (group = group->next.get(); group; group = group->next.get()) {
                const ProcNode* first = group->body.get();
                if (IsDeclarationOp(first->op) || IsSectionOp(first->op)) break;
                if (IsPartOp(first->op)) runChain(first);  // other lines have no defined effect
            }
            nextGroup_ = group;
        }
        record_ = nullptr;
        store(std::move(record), op.op);
        return nullptr;
    }

    const ProcNode* part(const ProcNode& op) {
        if (!record_ || list_) return nullptr;
        // A SID's departure from a runway is the first part written for it; a later one (or a
        // second for a runway the airport lacks) could never be flown, and each would hold
        // another copy of the common legs.
        const bool sidRunwayPart = op.op == ProcOp::DefSubProc && declaration_ == ProcOp::DeclSid;
        const int32_t partRunway = sidRunwayPart ? runwayIndexOf(op.next.get()) : -1;
        if (sidRunwayPart && std::find(partRunways_.begin(), partRunways_.end(), partRunway) != partRunways_.end())
            return nullptr;
        LegList list;
        if (op.op == ProcOp::DefTrans && nameNode(op)) list.name = nameNode(op)->text;
        list_ = &list;
        runway_ = nullptr;
        for (const ProcNode* leg = op.Following(); leg && isLegOp(leg->op);) leg = dispatch(*leg);
        list_ = nullptr;
        if (list.legs.empty()) return nullptr;
        if (op.op == ProcOp::DefTrans) record_->transitions.push_back(std::move(list));
        else if (op.op == ProcOp::DefCommonProc) record_->commonParts.push_back(std::move(list));
        else record_->runwayParts.push_back(std::move(list));
        if (sidRunwayPart) partRunways_.push_back(partRunway);
        return nullptr;
    }

    const ProcNode* defineFix(const ProcNode& op) {
        const ProcNode* name = nameNode(op);
        const ProcNode* suffix = name ? name->next.get() : nullptr;
        std::optional<GeoPoint> position;
        bool byGeometry = false;
        if (suffix && suffix->IsOp(ProcOp::SuffixLatlon) && suffix->body && suffix->next) {
            const float latDeg = suffix->body->number, lonDeg = suffix->next->number;
            if (std::fabs(latDeg) <= 90.0f && std::fabs(lonDeg) <= 180.0f)  // also false for NaN
                position = MakeSurfacePoint(latDeg / RadToDeg, lonDeg / RadToDeg);
        } else if (suffix && suffix->IsOp(ProcOp::SuffixColocated) && suffix->body && suffix->body->next) {
            const ProcNode* pair = suffix->body->next.get();
            const float bearingDeg = pair->body ? pair->body->number : 0.0f;
            const float distanceNm = pair->body && pair->body->next ? pair->body->next->number : 0.0f;
            const std::optional<Resolved> ref = resolve(suffix->body->text, /*fileFirst=*/false);
            if (ref && std::isfinite(bearingDeg) && std::isfinite(distanceNm)) {
                position = DestinationPoint(false, ref->position, bearingDeg, distanceNm);
                byGeometry = true;
            }
        }
        if (name && position && usable(*position)) {  // an unplaceable fix is skipped
            NavWaypoint fix;
            fix.lat = position->lat;
            fix.lon = position->lon;
            fix.radius = EarthRadiusNm;
            name->text.copy(fix.ident, kMaxIdentLength);
            fix.kind = WaypointKind::Fix;
            localIndex_.emplace(name->text, block_.fixes.size());  // the first definition wins
            block_.fixes.push_back(fix);
            block_.fixNotes.push_back({name->text, byGeometry});
        }
        return op.next && op.next->IsOp(ProcOp::DefFix) ? op.next.get() : nullptr;
    }

    // ---- legs ----

    const ProcNode* runwayLeg(const ProcNode& op) {
        if (!list_) return nullptr;
        const ProcNode* name = nameNode(op);
        WaypointEntry entry = freshEntry();
        if (airport_ && name) {
            for (size_t i = 0; i < airport_->runways.size(); ++i) {
                const NavRunway& runway = airport_->runways[i];
                if (runway.Ident() != name->text) continue;
                entry.position = MakeSurfacePoint(runway.lat, runway.lon);
                entry.airportIndex = airportIndex_;
                entry.runwayIndex = static_cast<int32_t>(i);
                entry.name = "RWY" + std::string(runway.Ident());
                if (runway.elevation <= kHighestConstraintFt) {
                    entry.altitude = runway.elevation;
                    entry.altitudeKind = static_cast<uint32_t>(AltitudeKind::At);
                }
                runway_ = &runway;
                break;
            }
        }
        store(std::move(entry));  // a runway not found makes a nameless entry, which is dropped
        return op.Following();
    }

    const ProcNode* fixLeg(const ProcNode& op) {
        if (!list_) return nullptr;
        const ProcNode* name = nameNode(op);
        const std::optional<Resolved> place = name ? resolve(name->text, op.op == ProcOp::LoadFix) : std::nullopt;
        if (!place) return nullptr;  // an unresolvable fix ends its list
        WaypointEntry entry = freshEntry();
        entry.position = place->position;
        entry.name = name->text;
        entry.fixIndex = place->fixIndex;
        if (const ProcNode* suffix = name->next.get(); suffix && suffix->body) {
            const float altitudeFt = suffix->body->number;
            if (altitudeFt <= kHighestConstraintFt) {
                if (suffix->IsOp(ProcOp::SuffixAt)) setAltitude(entry, altitudeFt, AltitudeKind::At);
                if (suffix->IsOp(ProcOp::SuffixAtOrBelow)) setAltitude(entry, altitudeFt, AltitudeKind::AtOrBelow);
                if (suffix->IsOp(ProcOp::SuffixAtOrAbove)) setAltitude(entry, altitudeFt, AltitudeKind::AtOrAbove);
            }
        }
        store(std::move(entry));
        return op.Following();
    }

    const ProcNode* courseLeg(const ProcNode& op) {
        if (!list_ || !op.body) return nullptr;
        courseDeg_ = op.body->number;
        return runClause(op.body->next.get()) ? op.Following() : nullptr;
    }

    const ProcNode* keepLeg(const ProcNode& op) {
        if (!list_) return nullptr;
        if (runway_) {
            courseDeg_ = static_cast<float>(runway_->course);
        } else if (list_->legs.size() >= 2) {
            // The last leg's course comes out true; the clause takes a magnetic one.
            const WaypointEntry& from = list_->legs[list_->legs.size() - 2];
            const WaypointEntry& to = list_->legs.back();
            const float trueDeg = CourseAndDistance(from.position, to.position).courseDeg;
            courseDeg_ = trueDeg - MagneticVariation(to.position.lat * RadToDeg, to.position.lon * RadToDeg);
        } else {
            return op.Following();  // no course to keep: the leg is skipped
        }
        return runClause(op.body.get()) ? op.Following() : nullptr;
    }

    // Clause handlers hand back their own node to continue the list, or null to end it.
    const ProcNode* untilLeg(const ProcNode& op) {
        const WaypointEntry* previous = previousLeg();
        if (!previous || !op.body || !std::isfinite(courseDeg_)) return &op;
        const float value = op.body->number;
        if (value < 0.0f) return &op;  // nothing is flown backwards: no leg
        const float scale = value < kUntilDistanceLimit ? value : 1.0f;  // an altitude: 1 nm along
        GeoVector along = BearingDirection(previous->position, courseDeg_, false);
        if (std::isfinite(scale)) along = Scale(along, scale);
        storeIntercept(ProjectToSurface(Add(CartesianOf(previous->position), along)));
        return &op;
    }

    const ProcNode* interceptLeg(const ProcNode& op) {
        if (!op.body || !op.body->next) return &op;
        const ProcNode& fixOp = *op.body->next;
        const ProcNode* name = nameNode(fixOp);
        const std::optional<Resolved> fix = name ? resolve(name->text, fixOp.op == ProcOp::LoadFix) : std::nullopt;
        if (!fix) return nullptr;  // an unresolvable fix ends its list
        const WaypointEntry* previous = previousLeg();
        float radialDeg = op.body->number;
        if (!previous || !std::isfinite(radialDeg) || !std::isfinite(courseDeg_)) return &op;
        if (op.op == ProcOp::IntcRadialFrom) {
            radialDeg += 180.0f;
            if (radialDeg > 360.0f) radialDeg -= 360.0f;
        }
        const GeoPoint meet = CourseIntersection(previous->position, courseDeg_, fix->position, radialDeg);
        // Nearly parallel lines meet half a world away; such a point is no leg either.
        if (usable(meet) && GreatCircleDistance(fix->position, meet) <= kFarthestInterceptNm) storeIntercept(meet);
        return &op;
    }

private:
    static bool isLegOp(ProcOp op) { return op >= ProcOp::LoadRnw && op <= ProcOp::Trk; }

    // The airport's runway a runway leg names; -1 for another op or a runway the airport lacks.
    int32_t runwayIndexOf(const ProcNode* op) const {
        const ProcNode* name = op && op->IsOp(ProcOp::LoadRnw) ? nameNode(*op) : nullptr;
        if (!airport_ || !name) return -1;
        for (size_t i = 0; i < airport_->runways.size(); ++i)
            if (airport_->runways[i].Ident() == name->text) return static_cast<int32_t>(i);
        return -1;
    }

    bool runClause(const ProcNode* clause) {
        if (!clause || clause->kind != ProcNodeKind::Op) return true;  // HDG or TRK alone adds nothing
        return dispatch(*clause) != nullptr;
    }

    static WaypointEntry freshEntry() {
        WaypointEntry entry;
        entry.onLegs = 1;
        entry.onFpln = 0;
        return entry;
    }

    static void setAltitude(WaypointEntry& entry, float altitudeFt, AltitudeKind kind) {
        entry.altitude = altitudeFt;
        entry.altitudeKind = static_cast<uint32_t>(kind);
    }

    const WaypointEntry* previousLeg() const { return list_ && !list_->legs.empty() ? &list_->legs.back() : nullptr; }

    void storeIntercept(const GeoPoint& position) {
        if (!usable(position)) return;  // parallel lines meet nowhere: no leg
        WaypointEntry entry = freshEntry();
        entry.position = position;
        entry.name = kInterceptName;
        store(std::move(entry));
    }

    void store(WaypointEntry entry) {
        if (entry.name.empty()) return;
        if (entry.runwayIndex >= 0) record_->runways.push_back(entry.runwayIndex);
        list_->legs.push_back(std::move(entry));
    }

    void store(ProcedureRecord record, ProcOp declaration) {
        int32_t kind = 5;
        std::vector<ProcedureRecord>* into = &block_.sids;
        if (declaration == ProcOp::DeclStar) kind = 7, into = &block_.stars;
        if (declaration == ProcOp::DeclApproach) kind = 9, into = &block_.approaches;
        record.type = static_cast<int32_t>(declaration == ProcOp::DeclSid ? ProcedureType::Sid : ProcedureType::StarOrApproach);
        auto mark = [](std::vector<LegList>& lists, int32_t k) {
            for (LegList& list : lists)
                for (WaypointEntry& leg : list.legs) leg.kind = k;
        };
        mark(record.runwayParts, kind);
        mark(record.commonParts, kind);
        mark(record.transitions, kind + 1);
        mark(record.extraLegs, static_cast<int32_t>(EntryKind::ApproachExtraLeg));
        into->push_back(std::move(record));
    }

    // FIX: the file's fixes, then the database; NAVAID: the other way round. Several database
    // rows are told apart by their distance from the airport's first runway threshold.
    std::optional<Resolved> resolve(const std::string& name, bool fileFirst) const {
        if (fileFirst) {
            if (auto local = resolveLocal(name)) return local;
            return resolveDatabase(name);
        }
        if (auto row = resolveDatabase(name)) return row;
        return resolveLocal(name);
    }

    std::optional<Resolved> resolveLocal(const std::string& name) const {
        const auto it = localIndex_.find(name);
        if (it == localIndex_.end()) return std::nullopt;
        const NavWaypoint& fix = block_.fixes[it->second];
        return Resolved{MakeSurfacePoint(fix.lat, fix.lon), -1};
    }

    std::optional<Resolved> resolveDatabase(const std::string& name) const {
        const WaypointRun run = db_.FindWaypoints(name);
        if (!run.Found()) return std::nullopt;
        int32_t index = run.first;
        if (run.count > 1) {
            if (!airport_ || airport_->runways.empty()) return std::nullopt;
            const NavRunway& first = airport_->runways.front();
            index = db_.FindNearestWaypoint(name, first.lat, first.lon);
        }
        const NavWaypoint* row = db_.GetWaypoint(index);
        if (!row) return std::nullopt;
        return Resolved{MakeSurfacePoint(row->lat, row->lon), index};
    }

    ProcedureBlock& block_;
    const NavDatabase& db_;
    int32_t airportIndex_ = -1;
    const NavAirport* airport_ = nullptr;
    ProcedureRecord* record_ = nullptr;
    ProcOp declaration_ = ProcOp::Nop;  // of record_
    std::vector<int32_t> partRunways_;   // runways of the record's runway parts so far (-1: none)
    LegList* list_ = nullptr;
    const NavRunway* runway_ = nullptr;  // the runway of the list being built
    float courseDeg_ = 0.0f;             // magnetic, for the clause of a course leg
    const ProcNode* nextGroup_ = nullptr;
    std::unordered_map<std::string, size_t> localIndex_;  // local fix name -> row of block_.fixes
};

// ---- the handler table, by op code ----

const ProcNode* endRun(Interpreter&, const ProcNode&) { return nullptr; }
const ProcNode* skipSection(Interpreter&, const ProcNode& op) { return op.next.get(); }
const ProcNode* ownNode(Interpreter&, const ProcNode& op) { return &op; }

template <const ProcNode* (Interpreter::*Member)(const ProcNode&)>
const ProcNode* call(Interpreter& it, const ProcNode& op) {
    return (it.*Member)(op);
}

std::array<OpHandler, kOpCount> makeHandlerTable() {
    std::array<OpHandler, kOpCount> table{};
    table.fill(endRun);
    auto slot = [&table](ProcOp op) -> OpHandler& { return table[static_cast<size_t>(op)]; };
    for (ProcOp op : {ProcOp::DeclFixes, ProcOp::DeclSids, ProcOp::DeclStars, ProcOp::DeclApproaches})
        slot(op) = call<&Interpreter::section>;
    slot(ProcOp::DeclRnws) = skipSection;
    for (ProcOp op : {ProcOp::DeclSid, ProcOp::DeclStar, ProcOp::DeclApproach}) slot(op) = call<&Interpreter::declaration>;
    for (ProcOp op : {ProcOp::DefTrans, ProcOp::DefCommonProc, ProcOp::DefSubProc}) slot(op) = call<&Interpreter::part>;
    slot(ProcOp::DefFix) = call<&Interpreter::defineFix>;
    slot(ProcOp::LoadRnw) = call<&Interpreter::runwayLeg>;
    slot(ProcOp::LoadFix) = call<&Interpreter::fixLeg>;
    slot(ProcOp::LoadNavaid) = call<&Interpreter::fixLeg>;
    slot(ProcOp::KeepTrk) = call<&Interpreter::keepLeg>;
    slot(ProcOp::Trk) = call<&Interpreter::courseLeg>;
    slot(ProcOp::IntcRadialTo) = call<&Interpreter::interceptLeg>;
    slot(ProcOp::IntcRadialFrom) = call<&Interpreter::interceptLeg>;
    slot(ProcOp::SuffixUntil) = call<&Interpreter::untilLeg>;
    slot(ProcOp::SuffixUntilRadial) = ownNode;
    return table;
}

const std::array<OpHandler, kOpCount>& handlerTable() {
    static const std::array<OpHandler, kOpCount> table = makeHandlerTable();
    return table;
}

}  // namespace

int32_t RunProgram(ProcedureBlock& block, const NavDatabase& database, const ProcNode* root) {
    if (block.airportIdent.empty()) return -1;
    Interpreter interpreter(block, database);
    interpreter.runChain(root);
    return 0;
}

}  // namespace halvex
