// Natives of the navigation database: fix, airway and airport look-ups and the data-set
// identifiers. Angles go to the script in degrees.
#include "core/FmsCore.h"
#include "navdb/Geodesy.h"
#include "natives/NativeCall.h"
#include "natives/NativeRegistry.h"

namespace halvex {
namespace {

const NavDatabase* database(const NativeCall& call) { return call.core() ? call.core()->Database() : nullptr; }

double Degrees(float rad) { return static_cast<double>(rad * RadToDeg); }

// [count, first index] of the waypoints with the ident; -1 and -1 when none.
int queryFix(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const NavDatabase* db = database(call);
    if (!call.has(1) || !db) return call.none();
    const WaypointRun run = db->FindWaypoints(call.text(0));
    const int32_t count = run.Found() ? run.count : -1;
    const int32_t first = run.Found() ? run.first : -1;
    return call.results({ScriptValue::Integer(count), ScriptValue::Integer(first)}, call.flag(1, true));
}

// The only row with the ident, or the first of its rows on the airway; -1 otherwise (also when
// several rows share the ident and none lies on the airway: the entry cannot be placed).
int queryFixWithRte(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const NavDatabase* db = database(call);
    if (!call.has(2) || !db) return call.none();
    const WaypointRun run = db->FindWaypoints(call.text(0));
    int32_t index = -1;
    if (run.count == 1) {
        index = run.first;
    } else {
        const int32_t airway = call.integer(1);
        for (int32_t i = run.first; run.count > 1 && i < run.first + run.count; ++i) {
            if (db->AirwayContains(airway, i)) {
                index = i;
                break;
            }
        }
    }
    return call.result(ScriptValue::Integer(index));
}

int getRteName(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const NavDatabase* db = database(call);
    if (!call.has(1) || !db) return call.none();
    const char* name = db->AirwayName(call.integer(0));
    return call.result(ScriptValue::String(name ? name : ""));
}

// [ident, latitude, longitude]; ["", -1.0, -1.0] for an index outside the table.
int getFixInfo(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const NavDatabase* db = database(call);
    if (!call.has(1) || !db) return call.none();
    const NavWaypoint* w = db->GetWaypoint(call.integer(0));
    const bool multi = call.flag(1, true);
    if (!w) return call.results({ScriptValue::String(""), ScriptValue::Real(-1.0), ScriptValue::Real(-1.0)}, multi);
    return call.results({ScriptValue::String(w->ident), ScriptValue::Real(Degrees(w->lat)), ScriptValue::Real(Degrees(w->lon))},
                        multi);
}

// Always three direct results: ident, latitude, longitude; "", -1.0, -1.0 when the first row of
// the ident is not an airport.
int getAirportInfo(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const NavDatabase* db = database(call);
    if (!call.has(1) || !db) return call.none();
    const NavWaypoint* w = db->GetWaypoint(db->FindWaypointLinear(call.text(0)));
    if (!w || w->kind != WaypointKind::Airport)
        return call.results({ScriptValue::String(""), ScriptValue::Real(-1.0), ScriptValue::Real(-1.0)}, false);
    return call.results({ScriptValue::String(w->ident), ScriptValue::Real(Degrees(w->lat)), ScriptValue::Real(Degrees(w->lon))},
                        false);
}

int getNavDataId(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const NavDatabase* db = database(call);
    if (!db) return call.none();
    return call.result(ScriptValue::String(db->NavDataId()));
}

int getNavDataDate(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const NavDatabase* db = database(call);
    if (!db) return call.none();
    return call.result(ScriptValue::String(db->OpProgramId()));
}

const NativeEntry kNavDataNatives[] = {
    {"FMScore_queryFix", queryFix},
    {"FMScore_queryFixWithRte", queryFixWithRte},
    {"FMScore_getRteName", getRteName},
    {"FMScore_getFixInfo", getFixInfo},
    {"FMScore_getAirportInfo", getAirportInfo},
    {"FMScore_getNavDataId", getNavDataId},
    {"FMScore_getNavDataDate", getNavDataDate},
};

}  // namespace

NativeTable NavDataNatives() { return kNavDataNatives; }

}  // namespace halvex
