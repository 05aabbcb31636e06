// Base library: the global functions every VM has.
#include "squirrel/Compiler.h"
#include "squirrel/NativeArgs.h"

namespace sq {

Value NewThread(Vm& vm, CallContext& c);

namespace {

Value print(Vm& vm, CallContext& c) {
    const std::string s = vm.toString(c.arg(1));
    if (vm.printHook) vm.printHook(s);
    return Value();
}
Value array(Vm& vm, CallContext& c) {
    const int32_t n = c.arg(1).toInt();
    if (n < 0) vm.raise("negative size");
    Array* a = vm.newArray();
    a->items.assign(static_cast<size_t>(n), c.count > 2 ? c.arg(2) : Value());
    return Value::Object(T::Array, a);
}
Value setErrorHandler(Vm& vm, CallContext& c) { vm.errorHandler = c.arg(1); return Value(); }
Value setDebugHook(Vm& vm, CallContext& c) { vm.debugHook = c.arg(1); return Value(); }
Value enableDebugInfo(Vm&, CallContext&) { return Value(); }
Value getRootTable(Vm& vm, CallContext&) { return Value::Object(T::Table, vm.root); }
Value setRootTable(Vm& vm, CallContext& c) { vm.root = c.arg(1).tab; return Value(); }
Value assertFn(Vm& vm, CallContext& c) {
    if (!c.arg(1).truthy()) vm.raise("assertion failed");
    return Value();
}
Value compileString(Vm& vm, CallContext& c) {
    const std::string name = c.count > 2 ? c.arg(2).s->text : "unnamedbuffer";
    try {
        return vm.compile(c.arg(1).s->text, name);
    } catch (const CompileError& e) {
        vm.raise(e.message);
    }
}
Value collectGarbage(Vm& vm, CallContext&) { return Value::Int(static_cast<int32_t>(vm.collectGarbage())); }
Value typeFn(Vm& vm, CallContext& c) { return vm.str(RawTypeName(c.arg(1))); }
Value getStackInfos(Vm& vm, CallContext& c) {
    const int level = c.arg(1).toInt();
    ExecState& ex = vm.exec();
    if (level == 0) {
        Table* t = vm.newTable();
        t->set(vm.str("func"), vm.str("getstackinfos"));
        t->set(vm.str("src"), vm.str("NATIVE"));
        t->set(vm.str("line"), Value::Int(-1));
        return Value::Object(T::Table, t);
    }
    const int64_t idx = static_cast<int64_t>(ex.frames.size()) - level;
    if (idx < 0) return Value();
    const Frame& f = ex.frames[static_cast<size_t>(idx)];
    Proto* p = f.closure->proto;
    Table* t = vm.newTable();
    t->set(vm.str("func"), p->name ? Value::Object(T::String, p->name) : vm.str("unknown"));
    t->set(vm.str("src"), Value::Object(T::String, p->source));
    const uint32_t pc = static_cast<uint32_t>(f.pc - p->code.data());
    t->set(vm.str("line"), Value::Int(p->lineAt(pc ? pc - 1 : 0)));
    // The locals alive at the instruction the frame is executing; "@" names are the compiler's own.
    Table* locals = vm.newTable();
    t->set(vm.str("locals"), Value::Object(T::Table, locals));
    const uint32_t at = pc ? pc - 1 : 0;
    for (const Proto::LocalInfo& l : p->locals) {
        if (at < l.startPc || at >= l.endPc || l.name->text.starts_with('@')) continue;
        const size_t slot = f.base + static_cast<size_t>(l.slot);
        if (slot < ex.stack.size()) locals->set(Value::Object(T::String, l.name), ex.stack[slot]);
    }
    return Value::Object(T::Table, t);
}
Value dummy(Vm&, CallContext&) { return Value(); }

}  // namespace

void RegisterBaseLibrary(Vm& vm) {
    Table* r = vm.root;
    Register(vm, r, "print", print, 2);
    Register(vm, r, "array", array, -2, ". n");
    Register(vm, r, "seterrorhandler", setErrorHandler, 2, ". co");
    Register(vm, r, "setdebughook", setDebugHook, 2, ". co");
    Register(vm, r, "enabledebuginfo", enableDebugInfo, 2);
    Register(vm, r, "getroottable", getRootTable, 1);
    Register(vm, r, "setroottable", setRootTable, 2, ". t");
    Register(vm, r, "assert", assertFn, 2);
    Register(vm, r, "compilestring", compileString, -2, ". s s");
    Register(vm, r, "collectgarbage", collectGarbage, 1);
    Register(vm, r, "type", typeFn, 2);
    Register(vm, r, "getstackinfos", getStackInfos, 2, ". n");
    Register(vm, r, "newthread", NewThread, 2, ". c");
    Register(vm, r, "suspend", SuspendNative, -1);
    Register(vm, r, "dummy", dummy, 1);
    r->set(vm.str("_version_"), vm.str("Squirrel 2.1.1 stable"));
    r->set(vm.str("_charsize_"), Value::Int(1));
    r->set(vm.str("_intsize_"), Value::Int(4));
}

}  // namespace sq
