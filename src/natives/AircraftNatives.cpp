// Natives of the autopilot modes and the aircraft data: position, weights, simulator clock.
#include <cstdio>

#include "core/FmsCore.h"
#include "natives/NativeCall.h"
#include "natives/NativeRegistry.h"

namespace halvex {
namespace {

// ---- autopilot modes ----

int getApLMode(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    return call.result(ScriptValue::Integer(call.core()->ApModes()->LateralMode()));
}

int setApLMode(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.has(1)) return call.none();
    const int32_t mode = call.integer(0);
    if (mode >= 0 && mode <= 4) call.core()->ApModes()->SetLateralMode(mode);
    return call.none();
}

int getApVMode(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    return call.result(ScriptValue::Integer(call.core()->ApModes()->VerticalMode()));
}

int setApVMode(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.has(1)) return call.none();
    const int32_t mode = call.integer(0);
    if (mode >= 0 && mode <= 6) call.core()->ApModes()->SetVerticalMode(mode);
    return call.none();
}

// ---- position: the three sources all give the simulator's present position ----

int presentPosition(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    AircraftState& aircraft = *call.core()->Aircraft();
    return call.results({ScriptValue::Real(aircraft.Latitude() * kRadToDeg), ScriptValue::Real(aircraft.Longitude() * kRadToDeg)},
                        true);
}

// ---- weights and speed ----

int getGW(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    return call.result(ScriptValue::Real(call.core()->Aircraft()->GrossWeight()));
}

int getKGAS(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    return call.result(ScriptValue::Real(call.core()->Aircraft()->GroundSpeed()));
}

int zeroWeight(ScriptValue& r, const ScriptValue& a) {  // no data source for these in the module
    NativeCall call(r, a);
    return call.result(ScriptValue::Real(0.0));
}

// ---- simulator clock ----

int getFsUtcTime(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    SimVariables& sim = *call.core()->Simulator();
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", sim.UtcHour(), sim.UtcMinute());
    return call.result(ScriptValue::String(text));
}

int getFsUtcDate(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    SimVariables& sim = *call.core()->Simulator();
    const int year = sim.Year(), month = sim.Month(), day = sim.DayOfMonth();
    char text[32];
    std::snprintf(text, sizeof text, "%4d/%02d/%02d", year, month, day);
    return call.result(ScriptValue::String(text));
}

const NativeEntry kAircraftNatives[] = {
    {"FMScore_getApLMode", getApLMode},
    {"FMScore_setApLMode", setApLMode},
    {"FMScore_getApVMode", getApVMode},
    {"FMScore_setApVMode", setApVMode},
    {"FMScore_getIRSpos", presentPosition},
    {"FMScore_getGPSpos", presentPosition},
    {"FMScore_getFMCpos", presentPosition},
    {"FMScore_getGW", getGW},
    {"FMScore_getKGAS", getKGAS},
    {"FMScore_getZFW", zeroWeight},
    {"FMScore_getBOW", zeroWeight},
    {"FMScore_getFuelWeight", zeroWeight},
    {"FMScore_getFsUtcTime", getFsUtcTime},
    {"FMScore_getFsUtcDate", getFsUtcDate},
};

}  // namespace

NativeTable AircraftNatives() { return kAircraftNatives; }

}  // namespace halvex
