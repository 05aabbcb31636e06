// Vm: construction, allocation, calls from C++ and error texts.
#include "squirrel/Vm.h"

#include <cstdio>

#include "squirrel/Compiler.h"
#include "squirrel/Interpreter.h"

namespace sq {

const char* TypeName(T t) {
    switch (t) {
    case T::Null: return "null";
    case T::Bool: return "bool";
    case T::Int: return "integer";
    case T::Float: return "float";
    case T::UserPtr: return "userdata";
    case T::String: return "string";
    case T::Table: return "table";
    case T::Array: return "array";
    case T::Closure: case T::Native: return "function";
    case T::Class: return "class";
    case T::Instance: return "instance";
    case T::Generator: return "generator";
    case T::UserData: return "userdata";
    case T::Thread: return "thread";
    case T::WeakRef: return "weakref";
    case T::Proto: return "funcproto";
    }
    return "?";
}

const char* RawTypeName(const Value& v) { return TypeName(v.t); }

Thread::Thread() : Obj(T::Thread), exec(new ExecState) { exec->thread = this; }
Thread::~Thread() { delete exec; }

Vm::Vm(size_t initialStack) {
    mainExec_.stack.resize(initialStack);
    mainExec_.frames.reserve(256);
    exec_ = &mainExec_;
    static const char* const kMeta[MM_COUNT] = {"_set", "_get", "_newslot", "_delslot", "_add", "_sub", "_mul", "_div",
                                                "_modulo", "_unm", "_typeof", "_cmp", "_call", "_cloned", "_nexti",
                                                "_tostring", "_inherited", "_newmember"};
    for (int i = 0; i < MM_COUNT; ++i) metaNames[i] = intern(kMeta[i]);
    sConstructor = intern("constructor");
    root = newTable();
    registry = newTable();
    RegisterDefaultDelegates(*this);
    RegisterBaseLibrary(*this);
}

Vm::~Vm() {
    Obj* o = objects_;
    while (o) {
        Obj* n = o->gcNext;
        delete o;
        o = n;
    }
}

void Vm::link(Obj* o, size_t bytes) {
    o->gcNext = objects_;
    objects_ = o;
    if (o->type == T::WeakRef) weakRefs_.push_back(static_cast<WeakRef*>(o));
    bytesAllocated_ += bytes + 32;
    ++objectCount_;
}

Class* Vm::newClass() { return alloc<Class>(newTable()); }

Instance* Vm::newInstance(Class* c) {
    Instance* in = alloc<Instance>(c);
    in->values.resize(c->members.size());
    for (size_t i = 0; i < c->members.size(); ++i)
        if (c->members[i].kind == MemberKind::Field) in->values[i] = c->members[i].value;
    return in;
}

NativeClosure* Vm::newNative(NativeFn fn, const char* name, int paramCount, const char* typeMask) {
    NativeClosure* n = alloc<NativeClosure>(fn);
    n->name = name ? intern(name) : nullptr;
    n->paramCount = paramCount;
    n->typeMask = typeMask;
    return n;
}

void Vm::push(const Value& v) {
    ExecState& ex = *exec_;
    if (ex.top >= ex.stack.size()) ex.stack.resize(ex.stack.size() * 2);
    ex.stack[ex.top++] = v;
}

Value Vm::pop() { return exec_->stack[--exec_->top]; }

Value Vm::compile(std::string_view source, std::string_view name) {
    Proto* p = Compile(*this, source, name);
    return Value::Object(T::Closure, alloc<Closure>(p));
}

Value Vm::call(const Value& func, const Value& thisValue, const Value* args, int nargs) {
    ExecState& ex = *exec_;
    const uint32_t funcIndex = ex.top;
    if (ex.stack.size() < ex.top + static_cast<size_t>(nargs) + 16) ex.stack.resize((ex.top + nargs + 16) * 2);
    ex.stack[ex.top++] = func;
    ex.stack[ex.top++] = thisValue;
    for (int i = 0; i < nargs; ++i) ex.stack[ex.top++] = args[i];
    try {
        return CallAt(*this, ex, funcIndex, nargs, false);
    } catch (...) {
        ex.top = funcIndex;  // callers reload their stack pointer from here
        throw;
    }
}

void Vm::raise(std::string message) { throw ScriptThrow{str(message), false}; }

std::string Vm::KeyText(const Value& key) {
    std::string s;
    char buf[64];
    switch (key.t) {
    case T::String: s = key.s->text; break;
    case T::Int: std::snprintf(buf, sizeof buf, "%d", key.i); s = buf; break;
    case T::Float: std::snprintf(buf, sizeof buf, "%.14g", static_cast<double>(key.f)); s = buf; break;
    default: s = RawTypeName(key); break;
    }
    if (s.size() > 50) s.resize(50);
    return s;
}

std::string Vm::describeError(const Value& v) {
    if (v.t == T::String) return v.s->text;
    if (v.t == T::Int || v.t == T::Float || v.t == T::Bool) return toString(v);
    return "unknown";
}

void Vm::debugEvent(int type, const Frame& frame) {
    if (inDebugHook || (debugHook.t != T::Closure && debugHook.t != T::Native)) return;
    const Proto* p = frame.closure->proto;
    const uint32_t pc = static_cast<uint32_t>(frame.pc - p->code.data());
    const Value args[4] = {Value::Int(type), p->source ? Value::Object(T::String, p->source) : Value(),
                           Value::Int(p->lineAt(pc ? pc - 1 : 0)), p->name ? Value::Object(T::String, p->name) : Value()};
    inDebugHook = true;
    const Value savedHandler = errorHandler;
    errorHandler = Value();
    try { call(debugHook, Value::Object(T::Table, root), args, 4); } catch (const ScriptThrow&) {}
    errorHandler = savedHandler;
    inDebugHook = false;
}

void Vm::chargeOps(uint64_t ops) {
    if (opBudget == 0) return;
    if (opsLeft == 0) raise("operation budget exceeded");
    opsLeft = opsLeft > ops ? opsLeft - ops : 0;
}

}  // namespace sq
