#include "script/SquirrelHost.h"

#include "squirrel/Api.h"

namespace halvex {

using CG_SCRIPT_CLS::C_ScriptError;

namespace {

// A path's components as engine keys: String links are fields, the others integer indexes.
sq::Path toPath(const ScriptPath& path) {
    sq::Path p;
    for (const ScriptValue* k = &path; k; k = k->next()) {
        if (k->kind() == ScriptKind::String) p.emplace_back(k->text());
        else p.emplace_back(k->asInteger());
    }
    return p;
}

// Only bool, integer, float and string cross into the module; false for anything else.
bool readValue(const sq::Value& v, ScriptValue& out) {
    switch (v.t) {
    case sq::T::Bool: out = ScriptValue::Bool(v.b); return true;
    case sq::T::Int: out = ScriptValue::Integer(v.i); return true;
    case sq::T::Float: out = ScriptValue::Real(static_cast<double>(v.f)); return true;
    case sq::T::String: out = ScriptValue::String(v.s->text); return true;
    default: return false;
    }
}

// Towards a script: strings, integers, reals narrowed to 32 bits and pointers as user pointers.
bool toEngine(sq::Engine& e, const ScriptValue& v, sq::Value& out) {
    switch (v.kind()) {
    case ScriptKind::String: out = e.string(v.text()); return true;
    case ScriptKind::Integer: out = sq::Value::Int(v.asInteger()); return true;
    case ScriptKind::Real: out = sq::Value::Float(static_cast<float>(v.asReal())); return true;
    case ScriptKind::Pointer: out = sq::Value::Ptr(v.pointer()); return true;
    default: return false;
    }
}

// Every registered native runs through this closure; its user pointer is the native itself.
sq::Value trampoline(sq::Vm& vm, sq::CallContext& call) {
    auto fn = reinterpret_cast<NativeFunction>(sq::UserPointer(call));
    ScriptValue args;
    for (int pos = 1; pos <= sq::ArgCount(call); ++pos) {
        const sq::Value v = sq::StackAt(call, pos);
        switch (v.t) {
        case sq::T::UserPtr: args.append(ScriptValue::Pointer(v.p)); break;
        case sq::T::Bool: args.append(ScriptValue::Bool(v.b)); break;
        case sq::T::Int: args.append(ScriptValue::Integer(v.i)); break;
        case sq::T::Float: args.append(ScriptValue::Real(static_cast<double>(v.f))); break;
        case sq::T::String: args.append(ScriptValue::String(v.s->text)); break;
        default: break;  // the receiver table, arrays, null...: not for natives
        }
    }
    ScriptValue results;
    const int count = fn(results, args);
    // Results are pushed in order; the last one pushed is the call's value.
    sq::Value last;
    int pushed = 0;
    for (const ScriptValue* r = &results; r && pushed < count; r = r->next(), ++pushed) {
        switch (r->kind()) {
        case ScriptKind::Bool: last = sq::Value::Bool(r->asBool()); break;
        case ScriptKind::String: last = vm.str(r->text()); break;
        case ScriptKind::Integer: last = sq::Value::Int(r->asInteger()); break;
        case ScriptKind::Real: last = sq::Value::Float(static_cast<float>(r->asReal())); break;
        case ScriptKind::Pointer: last = sq::Value::Ptr(r->pointer()); break;
        case ScriptKind::None: break;
        }
    }
    return last;
}

}  // namespace

SquirrelHost::SquirrelHost(uint64_t operationBudget) : budget_(operationBudget) {}

SquirrelHost::~SquirrelHost() = default;

void SquirrelHost::SetOperationBudget(uint64_t ops) {
    budget_ = ops;
    if (engine_) engine_->setOperationBudget(ops);
}

int SquirrelHost::LoadScript(const char* path) {
    engine_ = std::make_unique<sq::Engine>(1024);
    engine_->setPrintHook([](std::string_view) {});  // script output goes nowhere
    engine_->setErrorHook([](std::string_view) {});
    engine_->setOperationBudget(budget_);
    engine_->registerStandardLibrary();
    if (!engine_->runFile(path)) {
        engine_.reset();
        return -1;  // the error text stays empty
    }
    return 0;
}

int SquirrelHost::GetValue(ScriptValue& out, const ScriptPath& path) {
    if (!engine_ || path.kind() != ScriptKind::String) return -1;
    sq::Value v;
    if (!engine_->getPath(toPath(path), v)) return path.next() ? 0 : -1;
    ScriptValue read;
    if (readValue(v, read)) out = read;
    return 0;
}

int SquirrelHost::SetValue(const ScriptPath& path, const ScriptValue& value) {
    if (!engine_ || path.kind() != ScriptKind::String) return 0;
    sq::Value v;
    if (toEngine(*engine_, value, v)) engine_->setPath(toPath(path), v);  // fails silently on a missing slot
    return 0;
}

int SquirrelHost::CallFunction(ScriptValue& out, const ScriptPath& path, const ScriptValue& args, bool wantResult) {
    if (!engine_) throw C_ScriptError(2, "no script loaded");
    const sq::Path p = toPath(path);
    sq::Value fn;
    if (!engine_->getPath(p, fn)) {
        const std::string name = p.empty() ? std::string() : p.back().isIndex ? std::to_string(p.back().index) : p.back().name;
        throw C_ScriptError(2, "the index '" + name + "' does not exist");
    }
    std::vector<sq::Value> callArgs;
    if (!args.isNone()) {
        for (const ScriptValue* a = &args; a; a = a->next()) {
            sq::Value v;
            if (toEngine(*engine_, *a, v)) callArgs.push_back(v);
        }
    }
    // The error handler stays off: the module shows the message itself.
    sq::Value result;
    engine_->vm().errorHandler = sq::Value();
    if (!engine_->call(fn, sq::Value::Object(sq::T::Table, engine_->vm().root), callArgs, &result)) {
        lastError_ = engine_->lastError();
        return -1;
    }
    if (wantResult) {
        ScriptValue read;
        if (readValue(result, read)) out = read;
    }
    return 0;
}

int SquirrelHost::RegisterNative(NativeFunction fn, const char* name) {
    if (!engine_) return 0;
    engine_->registerNative(name, trampoline, reinterpret_cast<void*>(fn));
    return 0;
}

}  // namespace halvex
