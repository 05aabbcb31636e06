// Natives of the company-route files: save the active plan, load a route into the modified
// plan. Both answer 0 or -1; a name that is not a plain file name is refused.
#include "core/FmsCore.h"
#include "fms/RouteFiles.h"
#include "natives/NativeCall.h"
#include "natives/NativeRegistry.h"

namespace halvex {
namespace {

FlightPlanSet* plans(const NativeCall& call) {
    FlightPlanModel* model = call.core() ? call.core()->Model() : nullptr;
    return model ? &model->Plans() : nullptr;
}

// [name]: without a name, or with an empty one, the name is generated.
int saveRouteNative(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!set) return call.none();
    const std::string name = call.count() >= 1 ? call.text(0) : std::string();
    return call.result(ScriptValue::Integer(saveRoute(*set, name)));
}

int loadRouteNative(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* set = plans(call);
    if (!call.has(1) || !set) return call.none();
    return call.result(ScriptValue::Integer(loadRoute(*set, call.text(0))));
}

const NativeEntry kRouteNatives[] = {
    {"FMScore_saveRoute", saveRouteNative},
    {"FMScore_loadRoute", loadRouteNative},
};

}  // namespace

NativeTable RouteNatives() { return kRouteNatives; }

}  // namespace halvex
