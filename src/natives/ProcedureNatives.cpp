// Natives of the six procedure slots: departure, arrival and approach with their transitions.
// Each slot has the same five: size, info, set, current id and clear.
#include "core/FmsCore.h"
#include "fms/ProcedureSelection.h"
#include "natives/NativeCall.h"
#include "natives/NativeRegistry.h"

namespace halvex {
namespace {

FlightPlanSet* PlansOf(const NativeCall& call) {
    FlightPlanModel* model = call.core() ? call.core()->Model() : nullptr;
    return model ? &model->Plans() : nullptr;
}

template <ProcedureSlot Slot>
int getSize(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    FlightPlanSet* plans = PlansOf(call);
    if (!call.core()) return call.none();
    const bool transition = Slot == ProcedureSlot::SidTransition || Slot == ProcedureSlot::StarTransition ||
                            Slot == ProcedureSlot::ApproachTransition;
    if (!plans) return call.result(ScriptValue::Integer(transition ? -1 : 0));
    return call.result(ScriptValue::Integer(ProcedureSelections(*plans)[Slot].count()));
}

template <ProcedureSlot Slot>
int getInfo(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.has(1)) return call.none();
    FlightPlanSet* plans = PlansOf(call);
    if (!plans) return call.result(ScriptValue::String(""));
    return call.result(ScriptValue::String(ProcedureSelections(*plans)[Slot].item(call.integer(0))));
}

// 0 on success, -1 when the choice could not be inserted: the crew must see a failed selection.
template <ProcedureSlot Slot>
int set(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.has(1)) return call.none();
    FlightPlanSet* plans = PlansOf(call);
    if (!plans) return call.result(ScriptValue::Integer(-1));
    return call.result(ScriptValue::Integer(ProcedureSelections(*plans)[Slot].select(call.integer(0))));
}

template <ProcedureSlot Slot>
int getCurrentId(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    FlightPlanSet* plans = PlansOf(call);
    return call.result(ScriptValue::Integer(plans ? ProcedureSelections(*plans)[Slot].current() : -1));
}

template <ProcedureSlot Slot>
int clear(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    FlightPlanSet* plans = PlansOf(call);
    if (!plans) return call.result(ScriptValue::Integer(-1));
    return call.result(ScriptValue::Integer(ProcedureSelections(*plans)[Slot].clear()));
}

const NativeEntry kProcedureNatives[] = {
    {"FMScore_getOrgSidSize", getSize<ProcedureSlot::Sid>},
    {"FMScore_getOrgSidInfo", getInfo<ProcedureSlot::Sid>},
    {"FMScore_setOrgSid", set<ProcedureSlot::Sid>},
    {"FMScore_getCurOrgSidId", getCurrentId<ProcedureSlot::Sid>},
    {"FMScore_clearOrgSid", clear<ProcedureSlot::Sid>},
    {"FMScore_getOrgSidTrsSize", getSize<ProcedureSlot::SidTransition>},
    {"FMScore_getOrgSidTrsInfo", getInfo<ProcedureSlot::SidTransition>},
    {"FMScore_setOrgSidTrs", set<ProcedureSlot::SidTransition>},
    {"FMScore_getCurOrgSidTrsId", getCurrentId<ProcedureSlot::SidTransition>},
    {"FMScore_clearOrgSidTrs", clear<ProcedureSlot::SidTransition>},
    {"FMScore_getDstStarSize", getSize<ProcedureSlot::Star>},
    {"FMScore_getDstStarInfo", getInfo<ProcedureSlot::Star>},
    {"FMScore_setDstStar", set<ProcedureSlot::Star>},
    {"FMScore_getCurDstStarId", getCurrentId<ProcedureSlot::Star>},
    {"FMScore_clearDstStar", clear<ProcedureSlot::Star>},
    {"FMScore_getDstStarTrsSize", getSize<ProcedureSlot::StarTransition>},
    {"FMScore_getDstStarTrsInfo", getInfo<ProcedureSlot::StarTransition>},
    {"FMScore_setDstStarTrs", set<ProcedureSlot::StarTransition>},
    {"FMScore_getCurDstStarTrsId", getCurrentId<ProcedureSlot::StarTransition>},
    {"FMScore_clearDstStarTrs", clear<ProcedureSlot::StarTransition>},
    {"FMScore_getDstAppSize", getSize<ProcedureSlot::Approach>},
    {"FMScore_getDstAppInfo", getInfo<ProcedureSlot::Approach>},
    {"FMScore_setDstApp", set<ProcedureSlot::Approach>},
    {"FMScore_getCurDstAppId", getCurrentId<ProcedureSlot::Approach>},
    {"FMScore_clearDstApp", clear<ProcedureSlot::Approach>},
    {"FMScore_getDstAppTrsSize", getSize<ProcedureSlot::ApproachTransition>},
    {"FMScore_getDstAppTrsInfo", getInfo<ProcedureSlot::ApproachTransition>},
    {"FMScore_setDstAppTrs", set<ProcedureSlot::ApproachTransition>},
    {"FMScore_getCurDstAppTrsId", getCurrentId<ProcedureSlot::ApproachTransition>},
    {"FMScore_clearDstAppTrs", clear<ProcedureSlot::ApproachTransition>},
};

}  // namespace

NativeTable ProcedureNatives() { return kProcedureNatives; }

}  // namespace halvex
