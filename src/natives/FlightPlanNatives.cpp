// Natives of the flight plan: origin, destination and runways, the FPLN and LEGS pages, the
// airway look-up from a route entry and the cruise altitude. Edits answer 0 or -1.
#include <charconv>
#include <cmath>
#include <string>

#include "core/FmsCore.h"
#include "natives/NativeCall.h"
#include "natives/NativeRegistry.h"

namespace halvex {
namespace {

FlightPlanSet* plans(const NativeCall& call) {
    FlightPlanModel* model = call.core() ? call.core()->Model() : nullptr;
    return model ? &model->Plans() : nullptr;
}

const NavDatabase* database(const NativeCall& call) { return call.core() ? call.core()->Database() : nullptr; }

ScriptValue Int(int32_t i) { return ScriptValue::Integer(i); }

// A decimal number filling the whole text ("12000", "-5", "3.5"); nothing for anything else.
bool ParseDecimal(const std::string& text, float& out) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    const auto [end, ec] = std::from_chars(first, last, out, std::chars_format::fixed);
    return ec == std::errc() && end == last && first != last && std::isfinite(out);
}

// ---- Origin, destination and runways -------------------------------------------------------
std::string airportIdent(const NativeCall& call, bool origin) {
    const FlightPlanSet* set = plans(call);
    const NavDatabase* db = database(call);
    if (!set || !db) return std::string();
    const char* ident = db->AirportIdent(origin ? set->Current().origin : set->Current().destination);
    return ident ? ident : "";
}

int getOrg(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    return call.result(ScriptValue::String(airportIdent(call, true)));
}

int getDst(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    return call.result(ScriptValue::String(airportIdent(call, false)));
}

int setAirport(ScriptValue& r, const ScriptValue& a, bool origin) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!call.has(1) || !set) return call.none();
    const std::string ident = call.text(0);
    return call.result(Int(origin ? set->setOrigin(ident) : set->setDestination(ident)));
}
int setOrg(ScriptValue& r, const ScriptValue& a) { return setAirport(r, a, true); }
int setDst(ScriptValue& r, const ScriptValue& a) { return setAirport(r, a, false); }

const NavAirport* currentAirport(const NativeCall& call, bool origin) {
    const FlightPlanSet* set = plans(call);
    const NavDatabase* db = database(call);
    if (!set || !db) return nullptr;
    return db->GetAirport(origin ? set->Current().origin : set->Current().destination);
}

int runwaySize(ScriptValue& r, const ScriptValue& a, bool origin) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    const NavAirport* airport = currentAirport(call, origin);
    return call.result(Int(airport ? static_cast<int32_t>(airport->runways.size()) : 0));
}
int getOrgRwySize(ScriptValue& r, const ScriptValue& a) { return runwaySize(r, a, true); }
int getDstRwySize(ScriptValue& r, const ScriptValue& a) { return runwaySize(r, a, false); }

// The runway's name into "g_multiReturnVals"[0] and 0, or -1 for no airport or no such runway.
int runwayInfo(ScriptValue& r, const ScriptValue& a, bool origin) {
    NativeCall call(r, a);
    if (!call.has(1)) return call.none();
    const NavAirport* airport = currentAirport(call, origin);
    const int32_t i = call.integer(0);
    if (!airport || i < 0 || i >= static_cast<int32_t>(airport->runways.size())) return call.result(Int(-1));
    call.results({ScriptValue::String(std::string(airport->runways[static_cast<size_t>(i)].Ident()))}, true);
    return call.result(Int(0));
}
int getOrgRwyInfo(ScriptValue& r, const ScriptValue& a) { return runwayInfo(r, a, true); }
int getDstRwyInfo(ScriptValue& r, const ScriptValue& a) { return runwayInfo(r, a, false); }

int setOrgRwy(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (FlightPlanSet* set = plans(call); call.has(1) && set) set->setOriginRunway(call.integer(0));
    return call.none();
}

int setDstRwy(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (FlightPlanSet* set = plans(call); call.has(1) && set) set->setDestinationRunway(call.integer(0));
    return call.none();
}

template <int32_t FlightPlan::*Field, bool Active>
int planField(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const FlightPlanSet* set = plans(call);
    if (!set) return call.none();
    return call.result(Int((Active ? set->Active() : set->Modified()).*Field));
}

// ---- Waypoint-entry information -------------------------------------------------------------
int entryInfo(NativeCall& call, const WaypointEntry* e) {
    const bool multi = call.flag(1, true);
    if (!e) {
        if (multi)
            return call.results({ScriptValue::String(""), ScriptValue::Real(-1.0), ScriptValue::Real(-1.0),
                                 ScriptValue::Real(-1.0), ScriptValue::Real(-1.0), ScriptValue::String(""),
                                 ScriptValue::String("")},
                                true);
        return call.results({ScriptValue::String(""), ScriptValue::Real(-1.0), ScriptValue::Real(-1.0),
                             ScriptValue::Real(-1.0), ScriptValue::Real(-1.0), ScriptValue::String("")},
                            false);
    }
    std::string airway = "DIRECT";
    if (e->airwayIndex != -1) {
        const NavDatabase* db = database(call);
        const char* name = db ? db->AirwayName(e->airwayIndex) : nullptr;
        airway = name ? name : "";
    }
    const char* kind = e->altitudeKind == 1 ? "BELOW" : e->altitudeKind == 2 ? "ABOVE" : "";
    const ScriptValue name = ScriptValue::String(e->name);
    const ScriptValue altitude = ScriptValue::Real(e->altitude);
    const ScriptValue aux = ScriptValue::Real(e->auxValue);
    const ScriptValue course = ScriptValue::Real(e->course);
    const ScriptValue distance = ScriptValue::Real(e->legsDistance);
    if (multi)
        return call.results({name, altitude, aux, course, distance, ScriptValue::String(airway), ScriptValue::String(kind)},
                            true);
    return call.results({name, altitude, aux, course, distance, ScriptValue::String(airway)}, false);
}

template <bool Active, bool Legs>
int wpInfo(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const FlightPlanSet* set = plans(call);
    if (!call.has(1) || !set) return call.none();
    const FlightPlan& plan = Active ? set->Active() : set->Modified();
    const int32_t i = call.integer(0);
    return entryInfo(call, Legs ? plan.LegsEntry(i) : plan.FplnEntry(i));
}

template <bool Active, bool Legs>
int wpSize(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const FlightPlanSet* set = plans(call);
    if (!set) return call.none();
    const FlightPlan& plan = Active ? set->Active() : set->Modified();
    return call.result(Int(Legs ? plan.LegsCount() : plan.FplnCount()));
}

int deGetActLegsWpSize(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const FlightPlanSet* set = plans(call);
    if (!set) return call.none();
    return call.result(Int(static_cast<int32_t>(set->Active().entries.size())));
}

// ---- FPLN edits ------------------------------------------------------------------------------
int insertFplnWp(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!call.has(2) || !set) return call.none();
    return call.result(Int(set->insertFplnWaypoint(call.integer(0), call.integer(1))));
}

int insertRteFplnWp(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!call.has(3) || !set) return call.none();
    return call.result(Int(set->insertAirwaySegment(call.integer(0), call.integer(1), call.integer(2))));
}

int deleteFplnWp(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!call.has(1) || !set) return call.none();
    return call.result(Int(set->deleteFplnWaypoint(call.integer(0))));
}

int cancelMod(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!set) return call.none();
    set->cancelModification();
    return call.result(Int(0));
}

// ---- LEGS edits ------------------------------------------------------------------------------
int insertLegsWp(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!call.has(2) || !set) return call.none();
    return call.result(Int(set->insertLegsWaypoint(call.integer(0), call.integer(1))));
}

int insertLegsWpPBD(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!call.has(4) || !set) return call.none();
    return call.result(Int(set->insertLegsPbd(call.integer(0), call.integer(1), static_cast<float>(call.real(2)),
                                              static_cast<float>(call.real(3)))));
}

int deleteLegsWp(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!call.has(1) || !set) return call.none();
    return call.result(Int(set->deleteLegsWaypoint(call.integer(0))));
}

int deleteLegsWps(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!call.has(2) || !set) return call.none();
    return call.result(Int(set->deleteLegsWaypoints(call.integer(0), call.integer(1))));
}

int directToLegsWp(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!call.has(1) || !set) return call.none();
    return call.result(Int(set->directTo(call.integer(0))));
}

// Altitude text of 1 to 5 characters holding a number; a LEGS index with no entry fails too.
int setLegsWpAlt(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!call.has(2) || !set) return call.none();
    const std::string text = call.text(0);
    const int32_t index = call.integer(1);
    float altitude = 0;
    if (text.empty() || text.size() > 5 || !ParseDecimal(text, altitude)) return call.result(Int(-1));
    if (!set->Current().LegsEntry(index)) return call.result(Int(-1));
    return call.result(Int(set->setLegsAltitude(index, altitude)));
}

int isLegsModify(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const FlightPlanSet* set = plans(call);
    if (!set) return call.none();
    return call.result(ScriptValue::Bool(set->isModifying()));
}

int activateLegs(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!set) return call.none();
    set->activate();
    return call.result(Int(0));
}

// ---- Airway look-up and cruise altitude ---------------------------------------------------------
int queryRte(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const FlightPlanSet* set = plans(call);
    const NavDatabase* db = database(call);
    if (!call.has(2) || !set || !db) return call.none();
    const WaypointEntry* e = set->Current().FplnEntry(call.integer(1));
    if (!e || e->fixIndex < 0) return call.result(Int(-1));
    return call.result(Int(db->FindAirwayContaining(e->fixIndex, call.text(0))));
}

int getCrzAlt(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const FlightPlanSet* set = plans(call);
    if (!set) return call.none();
    return call.result(ScriptValue::Real(set->CruiseAltitudeFt()));
}

// Text that is not a number counts as 0.
int setCrzAlt(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!call.has(1) || !set) return call.none();
    const std::string text = call.text(0);
    const char* first = text.data();
    if (!text.empty() && *first == '+') ++first;
    float altitude = 0;
    if (std::from_chars(first, text.data() + text.size(), altitude, std::chars_format::fixed).ec != std::errc() ||
        !std::isfinite(altitude))
        altitude = 0;  // like the C library's reading: the leading number, else 0
    set->setCruiseAltitude(altitude);
    return call.result(ScriptValue::Real(set->CruiseAltitudeFt()));
}

const NativeEntry kFlightPlanNatives[] = {
    {"FMScore_getOrg", getOrg},
    {"FMScore_getDst", getDst},
    {"FMScore_setOrg", setOrg},
    {"FMScore_setDst", setDst},
    {"FMScore_getOrgRwySize", getOrgRwySize},
    {"FMScore_getDstRwySize", getDstRwySize},
    {"FMScore_getOrgRwyInfo", getOrgRwyInfo},
    {"FMScore_getDstRwyInfo", getDstRwyInfo},
    {"FMScore_setOrgRwy", setOrgRwy},
    {"FMScore_setDstRwy", setDstRwy},
    {"FMScore_getActOrgRwyId", planField<&FlightPlan::originRunway, true>},
    {"FMScore_getModOrgRwyId", planField<&FlightPlan::originRunway, false>},
    {"FMScore_getActDstRwyId", planField<&FlightPlan::destinationRunway, true>},
    {"FMScore_getModDstRwyId", planField<&FlightPlan::destinationRunway, false>},
    {"FMScore_getActFplnWpSize", wpSize<true, false>},
    {"FMScore_getModFplnWpSize", wpSize<false, false>},
    {"FMScore_getActFplnWpInfo", wpInfo<true, false>},
    {"FMScore_getModFplnWpInfo", wpInfo<false, false>},
    {"FMScore_insertFplnWp", insertFplnWp},
    {"FMScore_insertRteFplnWp", insertRteFplnWp},
    {"FMScore_deleteFplnWp", deleteFplnWp},
    {"FMScore_cancelFplnMod", cancelMod},
    {"FMScore_getActLegsWpSize", wpSize<true, true>},
    {"FMScore_getModLegsWpSize", wpSize<false, true>},
    {"FMScore_DEgetActLegsWpSize", deGetActLegsWpSize},
    {"FMScore_getActLegsWpInfo", wpInfo<true, true>},
    {"FMScore_getModLegsWpInfo", wpInfo<false, true>},
    {"FMScore_DEgetActLegsWpInfo", wpInfo<true, true>},
    {"FMScore_insertLegsWp", insertLegsWp},
    {"FMScore_insertLegsWpPBD", insertLegsWpPBD},
    {"FMScore_deleteLegsWp", deleteLegsWp},
    {"FMScore_deleteLegsWps", deleteLegsWps},
    {"FMScore_directToLegsWp", directToLegsWp},
    {"FMScore_setLegsWpAlt", setLegsWpAlt},
    {"FMScore_cancelLegsMod", cancelMod},
    {"FMScore_isLegsModify", isLegsModify},
    {"FMScore_activateLegs", activateLegs},
    {"FMScore_queryRte", queryRte},
    {"FMScore_getCrzAlt", getCrzAlt},
    {"FMScore_setCrzAlt", setCrzAlt},
};

}  // namespace

NativeTable FlightPlanNatives() { return kFlightPlanNatives; }

}  // namespace halvex
