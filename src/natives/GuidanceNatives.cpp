// Natives of the live guidance: distances, cross-track errors and the active plan's vertical
// path.
#include "core/FmsCore.h"
#include "natives/NativeCall.h"
#include "natives/NativeRegistry.h"

namespace halvex {
namespace {

const FlightGuidance* guidance(const NativeCall& call) { return call.core() ? call.core()->Guidance() : nullptr; }

int real(ScriptValue& r, const ScriptValue& a, float (*read)(const FlightGuidance&)) {
    NativeCall call(r, a);
    const FlightGuidance* g = guidance(call);
    if (!g) return call.none();
    return call.result(ScriptValue::Real(read(*g)));
}

int getDTG(ScriptValue& r, const ScriptValue& a) {
    return real(r, a, [](const FlightGuidance& g) { return g.Lateral().DistanceToGo(); });
}
int getDestDist(ScriptValue& r, const ScriptValue& a) {
    return real(r, a, [](const FlightGuidance& g) { return g.Lateral().DistanceToDestination(); });
}
int getLxtkError(ScriptValue& r, const ScriptValue& a) {
    return real(r, a, [](const FlightGuidance& g) { return g.Lateral().CrossTrackError(); });
}
int getVxtk(ScriptValue& r, const ScriptValue& a) {
    return real(r, a, [](const FlightGuidance& g) { return g.Vertical().VerticalDeviationFt(); });
}

const VPathList* activePath(const NativeCall& call) {
    FlightPlanModel* model = call.core() ? call.core()->Model() : nullptr;
    return model ? &model->Plans().Active().verticalPath : nullptr;
}

int getVPathSize(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const VPathList* path = activePath(call);
    if (!path) return call.none();
    return call.result(ScriptValue::Integer(static_cast<int32_t>(path->size())));
}

// [altitude, kind name, latitude, longitude, entry index]; direct results give the first four.
int getVPathData(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    const VPathList* path = activePath(call);
    if (!call.has(1) || !path) return call.none();
    const int32_t i = call.integer(0);
    const bool multi = call.flag(1, true);
    if (i < 0 || i >= static_cast<int32_t>(path->size())) {
        if (!multi) return call.results({ScriptValue::Real(-1.0), ScriptValue::String(""), ScriptValue::Real(-1.0), ScriptValue::Real(-1.0)}, false);
        return call.results({ScriptValue::Real(-1.0), ScriptValue::String(""), ScriptValue::Real(-1.0),
                             ScriptValue::Real(-1.0), ScriptValue::Integer(-1)},
                            true);
    }
    const VPathPoint& p = (*path)[static_cast<size_t>(i)];
    const ScriptValue altitude = ScriptValue::Real(p.altitude);
    const ScriptValue name = ScriptValue::String(VPathKindName(p.kind));
    const ScriptValue lat = ScriptValue::Real(p.position.lat * kRadToDeg);
    const ScriptValue lon = ScriptValue::Real(p.position.lon * kRadToDeg);
    if (!multi) return call.results({altitude, name, lat, lon}, false);
    return call.results({altitude, name, lat, lon, ScriptValue::Integer(p.entryIndex)}, true);
}

const NativeEntry kGuidanceNatives[] = {
    {"FMScore_getDTG", getDTG},
    {"FMScore_getDestDist", getDestDist},
    {"FMScore_getLxtkError", getLxtkError},
    {"FMScore_getVxtk", getVxtk},
    {"FMScore_getVPathSize", getVPathSize},
    {"FMScore_getVPathData", getVPathData},
};

}  // namespace

NativeTable GuidanceNatives() { return kGuidanceNatives; }

}  // namespace halvex
