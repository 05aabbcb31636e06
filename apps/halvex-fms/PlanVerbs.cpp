// The edit verbs of `halvex-fms plan`.
#include "PlanVerbs.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

namespace halvex::cli {

std::string PlanResultText(const PlanVerb& verb, int32_t result, PlanSession& session, const PlanArgs& args) {
    if (result == 0) return "ok";
    const std::string why = verb.whyFailed ? verb.whyFailed(session, args) : std::string();
    return why.empty() ? "FAILED" : "FAILED: " + why;
}

int32_t ArgInt(const std::string& text) {
    size_t used = 0;
    const long value = std::stol(text, &used);
    if (used != text.size() || value < INT32_MIN || value > INT32_MAX) throw std::invalid_argument(text);
    return static_cast<int32_t>(value);
}

float ArgFloat(const std::string& text) {
    size_t used = 0;
    const float value = std::stof(text, &used);
    if (used != text.size()) throw std::invalid_argument(text);
    return value;
}

int32_t PlanSession::fixNear(const std::string& ident, int32_t legsPosition) const {
    if (ident.size() > 1 && ident[0] == '#') return ArgInt(ident.substr(1));
    const FlightPlan& plan = model.Plans().Current();
    GeoPoint near = model.Plans().Current().empty() ? GeoPoint{} : plan.entries.back().position;
    if (const WaypointEntry* before = plan.LegsEntry(legsPosition - 1)) near = before->position;
    return database.FindNearestWaypoint(ident, near.lat, near.lon);
}

int32_t PlanSession::runway(const std::string& name, bool origin) const {
    if (name.size() > 1 && name[0] == '#') return ArgInt(name.substr(1));
    const FlightPlan& plan = model.Plans().Current();
    const NavAirport* airport = database.GetAirport(origin ? plan.origin : plan.destination);
    if (!airport) return -1;
    const std::string designator = name.rfind("RWY", 0) == 0 ? name.substr(3) : name;
    for (size_t i = 0; i < airport->runways.size(); ++i)
        if (airport->runways[i].Ident() == designator) return static_cast<int32_t>(i);
    return -1;
}

namespace {

// The airway record of that name holding both the segment's start fix and its end fix, with
// the end fix chosen among its namesakes as the airway look-up of the CDU does.
int32_t airwaySegment(PlanSession& s, const std::string& airway, const std::string& endIdent, int32_t fplnPosition) {
    const FlightPlan& plan = s.plans().Current();
    int32_t start = plan.FplnEntryIndex(fplnPosition);
    if (start < 0) {
        for (int32_t i = static_cast<int32_t>(plan.entries.size()) - 1; i >= 0; --i) {
            if (plan.entries[static_cast<size_t>(i)].kind != static_cast<int32_t>(EntryKind::DestinationAirport)) continue;
            for (int32_t j = i - 1; j >= 0 && start < 0; --j)
                if (plan.entries[static_cast<size_t>(j)].onFpln) start = j;
            break;
        }
    }
    const int32_t startFix = start >= 0 ? plan.entries[static_cast<size_t>(start)].fixIndex : -1;
    const WaypointRun run = s.database.FindWaypoints(endIdent);
    for (int32_t a = 0; a < s.database.AirwayCount(); ++a) {
        if (s.database.AirwayName(a) != airway || !s.database.AirwayContains(a, startFix)) continue;
        for (int32_t f = run.first; run.Found() && f < run.first + run.count; ++f)
            if (s.database.AirwayContains(a, f)) return s.plans().insertAirwaySegment(f, a, fplnPosition);
    }
    return s.plans().insertAirwaySegment(run.Found() ? run.first : -1, s.database.FindAirway(airway), fplnPosition);
}

// The CDU's altitude entry: 1 to 5 characters holding a number, on an existing legs entry.
int32_t legsAltitude(PlanSession& s, int32_t position, const std::string& text) {
    if (text.empty() || text.size() > 5 || !s.plans().Current().LegsEntry(position)) return -1;
    float altitude = 0;
    try {
        altitude = ArgFloat(text);
    } catch (const std::exception&) {
        return -1;
    }
    return s.plans().setLegsAltitude(position, altitude);
}

}  // namespace

std::vector<PlanVerb> PlanEditVerbs() {
    return {
        {"org", "ICAO", 1, 1, [](PlanSession& s, const PlanArgs& a) { return s.plans().setOrigin(a[0]); }},
        {"dst", "ICAO", 1, 1, [](PlanSession& s, const PlanArgs& a) { return s.plans().setDestination(a[0]); }},
        {"orgrwy", "RUNWAY", 1, 1,
         [](PlanSession& s, const PlanArgs& a) { return s.plans().setOriginRunway(s.runway(a[0], true)); }},
        {"dstrwy", "RUNWAY", 1, 1,
         [](PlanSession& s, const PlanArgs& a) { return s.plans().setDestinationRunway(s.runway(a[0], false)); }},
        {"wp", "LEGSPOS FIX", 2, 2,
         [](PlanSession& s, const PlanArgs& a) {
             const int32_t p = ArgInt(a[0]);
             return s.plans().insertLegsWaypoint(s.fixNear(a[1], p), p);
         }},
        {"fpln", "FPLNPOS FIX", 2, 2,
         [](PlanSession& s, const PlanArgs& a) {
             const int32_t p = ArgInt(a[0]);
             const int32_t legs = s.plans().Current().LegsCount();
             return s.plans().insertFplnWaypoint(s.fixNear(a[1], legs), p);
         }},
        {"pbd", "LEGSPOS FIX BEARING DISTANCE", 4, 4,
         [](PlanSession& s, const PlanArgs& a) {
             const int32_t p = ArgInt(a[0]);
             return s.plans().insertLegsPbd(s.fixNear(a[1], p), p, ArgFloat(a[2]), ArgFloat(a[3]));
         }},
        {"via", "AIRWAY FIX [FPLNPOS]", 2, 3,
         [](PlanSession& s, const PlanArgs& a) {
             const int32_t p = a.size() > 2 ? ArgInt(a[2]) : s.plans().Current().FplnCount();
             return airwaySegment(s, a[0], a[1], p);
         }},
        {"del", "LEGSPOS", 1, 1, [](PlanSession& s, const PlanArgs& a) { return s.plans().deleteLegsWaypoint(ArgInt(a[0])); }},
        {"delr", "LEGSPOS LEGSPOS", 2, 2,
         [](PlanSession& s, const PlanArgs& a) { return s.plans().deleteLegsWaypoints(ArgInt(a[0]), ArgInt(a[1])); }},
        {"fdel", "FPLNPOS", 1, 1, [](PlanSession& s, const PlanArgs& a) { return s.plans().deleteFplnWaypoint(ArgInt(a[0])); }},
        {"direct", "LEGSPOS", 1, 1, [](PlanSession& s, const PlanArgs& a) { return s.plans().directTo(ArgInt(a[0])); }},
        {"alt", "LEGSPOS TEXT", 2, 2, [](PlanSession& s, const PlanArgs& a) { return legsAltitude(s, ArgInt(a[0]), a[1]); }},
        {"crz", "ALTITUDE", 1, 1, [](PlanSession& s, const PlanArgs& a) { return s.plans().setCruiseAltitude(ArgFloat(a[0])); }},
        {"pos", "LATDEG LONDEG [ALTFT]", 2, 3,
         [](PlanSession& s, const PlanArgs& a) {
             SettableAircraft& aircraft = s.model.Aircraft();
             aircraft.position = MakeSurfacePoint(ArgFloat(a[0]) / RadToDeg, ArgFloat(a[1]) / RadToDeg);
             if (a.size() > 2) aircraft.altitudeFt = ArgFloat(a[2]);
             return 0;
         }},
        {"exec", "", 0, 0,
         [](PlanSession& s, const PlanArgs&) {
             s.plans().activate();
             return 0;
         }},
        {"cancel", "", 0, 0,
         [](PlanSession& s, const PlanArgs&) {
             s.plans().cancelModification();
             return 0;
         }},
    };
}

// Commands are separated by ";" or line ends; words by blanks.
std::string CommandText(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
    return text;
}

std::vector<std::vector<std::string>> SplitPlanCommands(const std::string& text) {
    std::vector<std::vector<std::string>> out;
    std::string piece;
    auto flush = [&] {
        std::istringstream words(piece);
        std::vector<std::string> command;
        for (std::string w; words >> w;) command.push_back(w);
        if (!command.empty()) out.push_back(std::move(command));
        piece.clear();
    };
    for (char c : text) {
        if (c == ';' || c == '\n') flush();
        else piece += c;
    }
    flush();
    return out;
}

}  // namespace halvex::cli
