// Natives of the CDU screen, the key buffer and the module.
#include "core/FmsCore.h"
#include "natives/NativeCall.h"
#include "natives/NativeRegistry.h"

namespace halvex {
namespace {

constexpr const char* kProgramVersion = "Revision: 0.1.155";

int setText(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.has(3)) return call.none();
    call.core()->Cdu()->Grid().WriteChar(call.integer(0), call.integer(1), call.text(2));
    return call.none();
}

int setLine(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.has(3)) return call.none();
    const int n = call.count();
    const bool optional = n <= 7;  // with more than seven arguments every optional one is ignored
    const int length = optional && n >= 4 ? call.integer(3) : 0;
    const int colour = optional && n >= 5 ? call.integer(4) : 7;
    const bool small = optional && n >= 6 ? call.integer(5) != 0 : false;
    const bool mark = optional && n >= 7 ? call.integer(6) != 0 : false;
    // Column and row are reals truncated towards zero, which is the integer reading.
    call.core()->Cdu()->Grid().WriteLine(call.integer(0), call.integer(1), call.text(2), length, colour, small, mark);
    return call.none();
}

int clearKeyBuffer(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (call.core()) call.core()->Cdu()->ClearKeys();
    return call.none();
}

int popKey(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    return call.result(ScriptValue::Integer(call.core()->Cdu()->PopKey()));
}

int getKeyBufferSize(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    if (!call.core()) return call.none();
    return call.result(ScriptValue::Integer(call.core()->Cdu()->KeyCount()));
}

int getProgramVer(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    return call.result(ScriptValue::String(kProgramVersion));
}

int getScriptPath(ScriptValue& r, const ScriptValue& a) {
    NativeCall call(r, a);
    return call.result(ScriptValue::String(CduUnit::kModuleDirectory));
}

const NativeEntry kCduNatives[] = {
    {"FMScore_setText", setText},
    {"FMScore_setLine", setLine},
    {"FMScore_clearKeyBuffer", clearKeyBuffer},
    {"FMScore_popKey", popKey},
    {"FMScore_getKeyBufferSize", getKeyBufferSize},
    {"FMScore_getProgramVer", getProgramVer},
    {"FMScore_getScriptPath", getScriptPath},
};

}  // namespace

NativeTable CduNatives() { return kCduNatives; }

}  // namespace halvex
