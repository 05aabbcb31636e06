#include "natives/NativeCall.h"

#include "core/FmsCore.h"

namespace halvex {

NativeCall::NativeCall(ScriptValue& results, const ScriptValue& args) : results_(results) {
    if (args.isNone() && !args.next()) return;
    core_ = static_cast<FmsCore*>(args.pointer());
    first_ = args.next();
    count_ = args.length() - 1;
}

const ScriptValue* NativeCall::arg(int i) const { return first_ ? first_->at(i) : nullptr; }

int32_t NativeCall::integer(int i) const {
    const ScriptValue* v = arg(i);
    return v ? v->asInteger() : 0;
}

double NativeCall::real(int i) const {
    const ScriptValue* v = arg(i);
    return v ? v->asReal() : 0.0;
}

std::string NativeCall::text(int i) const {
    const ScriptValue* v = arg(i);
    return v ? v->text() : std::string();
}

bool NativeCall::flag(int i, bool absent) const {
    const ScriptValue* v = arg(i);
    return v ? v->asReal() != 0.0 : absent;
}

int NativeCall::result(ScriptValue v) {
    results_.append(std::move(v));
    return 1;
}

int NativeCall::results(std::initializer_list<ScriptValue> values, bool multi) {
    if (multi) {
        ScriptHost& engine = core_->Cdu()->Engine();
        int32_t index = 0;
        for (const ScriptValue& v : values) engine.SetValue(MakePath("g_multiReturnVals", index++), v);
        return 1;
    }
    for (const ScriptValue& v : values) results_.append(v);
    return static_cast<int>(values.size());
}

}  // namespace halvex
