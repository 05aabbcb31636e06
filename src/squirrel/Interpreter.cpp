// The bytecode interpreter: frames, calls, returns, exceptions, generators and foreach.
#include "squirrel/Interpreter.h"

#include <atomic>
#include <cstring>

#include "squirrel/BinaryOps.h"
#include "squirrel/Opcodes.h"

namespace sq {

Class* MakeClass(Vm& vm, const Value& base, const Value& attrs);

namespace {

constexpr uint32_t kStackSlack = 16;

void ensureStack(ExecState& ex, size_t needed) {
    if (ex.stack.size() < needed + kStackSlack) {
        size_t n = ex.stack.size() ? ex.stack.size() : 1024;
        while (n < needed + kStackSlack) n *= 2;
        ex.stack.resize(n);
    }
}

const char* typeLetterName(char c) {
    switch (c) {
    case 'o': return "null";
    case 'i': return "integer";
    case 'f': return "float";
    case 'b': return "bool";
    case 's': return "string";
    case 't': return "table";
    case 'a': return "array";
    case 'c': return "function";
    case 'y': return "class";
    case 'x': return "instance";
    case 'g': return "generator";
    case 'p': return "userdata";
    case 'v': return "thread";
    case 'r': return "weakref";
    default: return "?";
    }
}

bool typeMatches(char c, const Value& v) {
    switch (c) {
    case '.': return true;
    case 'o': return v.t == T::Null;
    case 'i': return v.t == T::Int;
    case 'f': return v.t == T::Float;
    case 'n': return v.isNumber();
    case 'b': return v.t == T::Bool;
    case 's': return v.t == T::String;
    case 't': return v.t == T::Table;
    case 'a': return v.t == T::Array;
    case 'c': return v.t == T::Closure || v.t == T::Native;
    case 'y': return v.t == T::Class;
    case 'x': return v.t == T::Instance;
    case 'g': return v.t == T::Generator;
    case 'p': return v.t == T::UserPtr || v.t == T::UserData;
    case 'v': return v.t == T::Thread;
    case 'r': return v.t == T::WeakRef;
    default: return false;
    }
}

}  // namespace

// Type mask: one group of letters per parameter (this first), groups separated by spaces.
void CheckNativeArgs(Vm& vm, NativeClosure* nc, CallContext& c) {
    if (nc->paramCount > 0 && c.count != nc->paramCount) vm.raise("wrong number of parameters");
    if (nc->paramCount < 0 && c.count < -nc->paramCount) vm.raise("wrong number of parameters");
    if (!nc->typeMask) return;
    const char* m = nc->typeMask;
    for (int i = 0; i < c.count && *m; ++i) {
        const char* end = std::strchr(m, ' ');
        const size_t len = end ? static_cast<size_t>(end - m) : std::strlen(m);
        bool ok = false;
        for (size_t j = 0; j < len; ++j) {
            if (m[j] == 'n') { if (typeMatches('n', c.arg(i))) ok = true; }
            else if (typeMatches(m[j], c.arg(i))) ok = true;
        }
        if (!ok) {
            std::string expected;
            for (size_t j = 0; j < len; ++j) {
                if (!expected.empty()) expected += "|";
                expected += m[j] == 'n' ? "integer|float" : typeLetterName(m[j]);
            }
            vm.raise("parameter " + std::to_string(i) + " has an invalid type '" + RawTypeName(c.arg(i)) +
                     "' ; expected: '" + expected + "'");
        }
        if (!end) break;
        m = end + 1;
    }
}

namespace {

Value callNative(Vm& vm, ExecState& ex, uint32_t funcIndex, int nargs) {
    if (vm.opBudget) vm.chargeOps(Vm::kNativeCallOps);
    NativeClosure* nc = ex.stack[funcIndex].nc;
    if (nc->env.t != T::Null) ex.stack[funcIndex + 1] = nc->env.t == T::WeakRef ? nc->env.wr->target : nc->env;
    CallContext c{vm, &ex, funcIndex + 1, nargs + 1, nc};
    if (++ex.nativeDepth > vm.maxNativeDepth) {
        --ex.nativeDepth;
        vm.raise("Native stack overflow");
    }
    Value r;
    try {
        CheckNativeArgs(vm, nc, c);
        r = nc->fn(vm, c);
    } catch (...) {
        --ex.nativeDepth;
        ex.top = funcIndex;
        throw;
    }
    --ex.nativeDepth;
    ex.top = funcIndex;
    return r;
}

Generator* makeGenerator(Vm& vm, ExecState& ex, uint32_t funcIndex, int nargs) {
    Closure* cl = ex.stack[funcIndex].cl;
    Generator* g = vm.alloc<Generator>(cl);
    const int fixed = cl->proto->paramCount;
    g->saved.assign(ex.stack.begin() + funcIndex + 1, ex.stack.begin() + funcIndex + 1 + fixed);
    if (cl->env.t != T::Null) g->saved[0] = cl->env.t == T::WeakRef ? cl->env.wr->target : cl->env;
    for (int i = fixed; i < nargs + 1; ++i) g->varargs.push_back(ex.stack[funcIndex + 1 + i]);
    return g;
}

void checkArity(Vm& vm, Proto* p, int nargs) {
    if (p->varargs ? nargs + 1 < p->paramCount : nargs + 1 != p->paramCount) vm.raise("wrong number of parameters");
}

}  // namespace

bool Vm::enterClosure(ExecState& ex, uint32_t funcIndex, int nargs, bool boundary, const Value* thisOverride) {
    Closure* cl = ex.stack[funcIndex].cl;
    Proto* p = cl->proto;
    checkArity(*this, p, nargs);
    if (ex.frames.size() >= static_cast<size_t>(maxFrames)) raise("stack overflow");
    const uint32_t base = funcIndex + 1;
    if (thisOverride) ex.stack[base] = *thisOverride;
    if (cl->env.t != T::Null) ex.stack[base] = cl->env.t == T::WeakRef ? cl->env.wr->target : cl->env;
    const uint32_t vargBase = static_cast<uint32_t>(ex.varargs.size());
    uint32_t vargc = 0;
    if (p->varargs) {
        for (int i = p->paramCount; i < nargs + 1; ++i) ex.varargs.push_back(ex.stack[base + i]);
        vargc = static_cast<uint32_t>(nargs + 1 - p->paramCount);
    }
    ensureStack(ex, base + static_cast<size_t>(p->maxStack));
    ex.frames.push_back(Frame{cl, p->code.data(), base, vargBase, vargc, static_cast<uint32_t>(ex.traps.size()), boundary, nullptr});
    ex.top = base + static_cast<uint32_t>(p->paramCount);
    return true;
}

Value CallAt(Vm& vm, ExecState& ex, uint32_t funcIndex, int nargs, bool makeGenerators) {
    const Value f = ex.stack[funcIndex];
    switch (f.t) {
    case T::Closure: {
        if (f.cl->proto->generator && makeGenerators) {
            checkArity(vm, f.cl->proto, nargs);
            Generator* g = makeGenerator(vm, ex, funcIndex, nargs);
            ex.top = funcIndex;
            return Value::Object(T::Generator, g);
        }
        vm.checkBudget();
        vm.enterClosure(ex, funcIndex, nargs, true, nullptr);
        if (vm.debugHook.t != T::Null) vm.debugEvent('c', ex.frames.back());
        Value r;
        try {
            r = vm.execute(ex, static_cast<uint32_t>(ex.frames.size() - 1));
        } catch (...) {
            ex.top = funcIndex;
            throw;
        }
        ex.top = funcIndex;
        return r;
    }
    case T::Native: return callNative(vm, ex, funcIndex, nargs);
    case T::Class: {
        std::vector<Value> args(ex.stack.begin() + funcIndex + 2, ex.stack.begin() + funcIndex + 2 + nargs);
        const Value r = vm.construct(f.cls, args.data(), nargs);
        ex.top = funcIndex;
        return r;
    }
    case T::Table: case T::Instance: case T::UserData: {
        const Value fn = vm.metaOf(f, MM_CALL);
        if (fn.t == T::Closure || fn.t == T::Native) {
            std::vector<Value> args(ex.stack.begin() + funcIndex + 1, ex.stack.begin() + funcIndex + 2 + nargs);
            Value r;
            bool ok = true;
            try { r = vm.call(fn, f, args.data(), nargs + 1); } catch (const ScriptThrow&) { ok = false; }
            ex.top = funcIndex;
            if (ok) return r;
        }
        break;
    }
    default: break;
    }
    ex.top = funcIndex;
    vm.raise(std::string("attempt to call '") + RawTypeName(f) + "'");
}

Value Vm::resume(Generator* gen) {
    if (gen->state == GenState::Dead) raise("resuming dead generator");
    if (gen->state == GenState::Running) raise("resuming active generator");
    ExecState& ex = *exec_;
    const uint32_t funcIndex = ex.top;
    Proto* p = gen->closure->proto;
    ensureStack(ex, funcIndex + 1 + gen->saved.size() + static_cast<size_t>(p->maxStack));
    ex.stack[funcIndex] = Value::Object(T::Closure, gen->closure);
    const uint32_t base = funcIndex + 1;
    for (size_t i = 0; i < gen->saved.size(); ++i) ex.stack[base + i] = gen->saved[i];
    const uint32_t vargBase = static_cast<uint32_t>(ex.varargs.size());
    for (const Value& v : gen->varargs) ex.varargs.push_back(v);
    const uint32_t trapBase = static_cast<uint32_t>(ex.traps.size());
    const uint32_t frameIndex = static_cast<uint32_t>(ex.frames.size());
    for (TrapRecord t : gen->traps) {
        t.frame = frameIndex;
        t.stackTop += base;
        t.vargTop += vargBase;
        ex.traps.push_back(t);
    }
    ex.frames.push_back(Frame{gen->closure, p->code.data() + gen->pc, base, vargBase,
                              static_cast<uint32_t>(gen->varargs.size()), trapBase, true, gen});
    ex.top = base + static_cast<uint32_t>(gen->saved.size());
    gen->state = GenState::Running;
    Value r;
    try {
        r = execute(ex, frameIndex);
    } catch (...) {
        ex.top = funcIndex;
        throw;
    }
    ex.top = funcIndex;
    return r;
}

namespace {

// Dropping a frame during unwinding: a generator that fails is dead.
void dropFrame(ExecState& ex) {
    Frame& f = ex.frames.back();
    if (f.generator) f.generator->state = GenState::Dead;
    ex.traps.resize(std::min<size_t>(ex.traps.size(), f.trapBase));
    ex.varargs.resize(f.vargBase);
    ex.frames.pop_back();
}

Value run(Vm& vm, ExecState& ex, uint32_t entryFrame);

}  // namespace

Value Vm::execute(ExecState& ex, uint32_t entryFrame) {
    if (++ex.nativeDepth > maxNativeDepth) {
        --ex.nativeDepth;
        while (ex.frames.size() > entryFrame) dropFrame(ex);
        raise("Native stack overflow");
    }
    struct DepthGuard { ExecState& e; ~DepthGuard() { --e.nativeDepth; } } guard{ex};
    for (;;) {
        try {
            return run(*this, ex, entryFrame);
        } catch (ScriptThrow& t) {
            if (!ex.traps.empty() && ex.traps.back().frame >= entryFrame && ex.traps.back().frame < ex.frames.size()) {
                const TrapRecord tr = ex.traps.back();
                ex.traps.pop_back();
                while (ex.frames.size() > tr.frame + 1) dropFrame(ex);
                ex.varargs.resize(tr.vargTop);
                ex.top = tr.stackTop;
                ex.stack[ex.top++] = t.value;
                Frame& f = ex.frames.back();
                f.pc = f.closure->proto->code.data() + tr.handlerPc;
                continue;
            }
            if (errorLine == 0 && !ex.frames.empty()) {
                const Frame& f = ex.frames.back();
                const Proto* p = f.closure->proto;
                const uint32_t pcOff = static_cast<uint32_t>(f.pc - p->code.data());
                errorLine = p->lineAt(pcOff ? pcOff - 1 : 0);
                errorSource = p->source ? p->source->text : "";
            }
            if (!t.handled && (errorHandler.t == T::Closure || errorHandler.t == T::Native)) {
                t.handled = true;
                const Value h = errorHandler;
                errorHandler = Value();  // errors inside the handler are ignored
                try { call(h, Value::Object(T::Table, root), &t.value, 1); } catch (const ScriptThrow&) {}
                errorHandler = h;
            }
            while (ex.frames.size() > entryFrame) dropFrame(ex);
            throw;
        }
    }
}

namespace {

inline bool isIntPair(const Value* a) { return a[0].t == T::Int && a[1].t == T::Int; }

Value foreachStep(Vm& vm, Value* slots, bool& done);

Value run(Vm& vm, ExecState& ex, uint32_t /*entryFrame*/) {
    Frame* fr = &ex.frames.back();
    Value* stk = ex.stack.data();
    Value* base = stk + fr->base;
    Value* sp = stk + ex.top;
    const uint32_t* pc = fr->pc;
    Closure* cl = fr->closure;
    const Value* K = cl->proto->constants.data();

#define SYNC() (ex.top = static_cast<uint32_t>(sp - stk), fr->pc = pc)
#define RELOAD()                                  \
    do {                                          \
        fr = &ex.frames.back();                   \
        stk = ex.stack.data();                    \
        base = stk + fr->base;                    \
        sp = stk + ex.top;                        \
    } while (0)
#define ENTER_FRAME()                             \
    do {                                          \
        RELOAD();                                 \
        pc = fr->pc;                              \
        cl = fr->closure;                         \
        K = cl->proto->constants.data();          \
    } while (0)

    // The hottest instructions jump straight to the next instruction's handler (one indirect
    // branch per handler predicts far better than the switch's single one); the rest go through
    // the switch.
    static void* hot[256];
    static std::atomic<bool> hotReady{false};
    if (!hotReady.load(std::memory_order_acquire)) {
        for (void*& h : hot) h = &&viaSwitch;
        hot[OP_PUSHINT] = &&hPushInt;
        hot[OP_PUSHCONST] = &&hPushConst;
        hot[OP_GETLOCAL] = &&hGetLocal;
        hot[OP_SETLOCALPOP] = &&hSetLocalPop;
        hot[OP_CMPJMPF] = &&hCmpJmpf;
        for (Op op : {OP_ADD, OP_SUB, OP_MUL, OP_DIV, OP_MOD, OP_BAND, OP_BOR, OP_BXOR, OP_SHL, OP_SHR, OP_USHR,
                      OP_LT, OP_LE, OP_GT, OP_GE})
            hot[op] = &&hBinary;
        hot[OP_BINK] = hot[OP_BINL] = &&hBinOperand;
        hot[OP_LBINK] = hot[OP_LBINL] = &&hLocalBin;
        hot[OP_LCMPKJMPF] = hot[OP_LCMPLJMPF] = &&hLocalCmpJmpf;
        hot[OP_CMPKJMPF] = hot[OP_CMPLJMPF] = &&hCmpOperandJmpf;
        hot[OP_JMP] = &&hJmp;
        hot[OP_JMPF] = &&hJmpf;
        hot[OP_INCLOCAL] = &&hIncLocal;
        hotReady.store(true, std::memory_order_release);
    }
#define NEXT()                     \
    do {                           \
        ins = *pc++;               \
        goto* hot[OpOf(ins)];      \
    } while (0)

    uint32_t ins;
    for (;;) {
        ins = *pc++;
    viaSwitch:
        switch (OpOf(ins)) {
        case OP_PUSHNULL: *sp++ = Value(); break;
        case OP_PUSHTRUE: *sp++ = Value::Bool(true); break;
        case OP_PUSHFALSE: *sp++ = Value::Bool(false); break;
        case OP_PUSHINT: hPushInt: *sp++ = Value::Int(ArgOf(ins)); NEXT();
        case OP_PUSHCONST: hPushConst: *sp++ = K[ArgOf(ins)]; NEXT();
        case OP_PUSHTHIS: *sp++ = base[0]; break;
        case OP_PUSHROOT: *sp++ = Value::Object(T::Table, vm.root); break;
        case OP_GETLOCAL: hGetLocal: *sp++ = base[ArgOf(ins)]; NEXT();
        case OP_SETLOCAL: base[ArgOf(ins)] = sp[-1]; break;
        case OP_SETLOCALPOP: hSetLocalPop: base[ArgOf(ins)] = *--sp; NEXT();
        case OP_CMPJMPF: hCmpJmpf: {
            const Op cmp = static_cast<Op>(ArgOf(ins));
            const int32_t off = static_cast<int32_t>(*pc++);
            bool r;
            if (cmp == OP_EQ || cmp == OP_NE) {
                const Value& a = sp[-2];
                const Value& b = sp[-1];
                bool eq;
                if (a.t == b.t) eq = RawEqual(a, b);
                else if (a.isNumber() && b.isNumber()) eq = a.toFloat() == b.toFloat();
                else eq = false;
                r = cmp == OP_EQ ? eq : !eq;
            } else {
                int c;
                if (isIntPair(sp - 2)) c = sp[-2].i < sp[-1].i ? -1 : sp[-2].i > sp[-1].i ? 1 : 0;
                else {
                    const Value a = sp[-2], b = sp[-1];
                    SYNC();
                    c = vm.compare(a, b);
                    RELOAD();
                }
                r = cmp == OP_LT ? c < 0 : cmp == OP_LE ? c <= 0 : cmp == OP_GT ? c > 0 : c >= 0;
            }
            sp -= 2;
            if (!r) pc += off;
            NEXT();
        }
        case OP_GETFREE: *sp++ = cl->outers[ArgOf(ins)]; break;
        case OP_POP: sp -= ArgOf(ins); break;
        case OP_DUP: sp[0] = sp[-1]; ++sp; break;
        case OP_DUP2: sp[0] = sp[-2]; sp[1] = sp[-1]; sp += 2; break;
        case OP_SWAP: std::swap(sp[-1], sp[-2]); break;
        case OP_GET: {
            const Value o = sp[-2], k = sp[-1];
            if (o.t == T::Array && k.t == T::Int && k.i >= 0 && static_cast<size_t>(k.i) < o.arr->items.size() &&
                o.arr->items[k.i].t != T::WeakRef) {
                sp[-2] = o.arr->items[k.i];
                --sp;
                break;
            }
            SYNC();
            const Value r = vm.get(o, k, o.t == base[0].t && o.p == base[0].p);
            RELOAD();
            sp[-2] = r;
            --sp;
            break;
        }
        case OP_GETK: {
            const Value o = sp[-1];
            const Value& k = K[ArgOf(ins)];
            if (o.t == T::Table) {
                if (Value* v = o.tab->findString(k.s); v && v->t != T::WeakRef) { sp[-1] = *v; break; }
            } else if (o.t == T::Instance) {
                Class* c = o.ins->cls;
                if (Value* mi = c->index->findString(k.s)) {
                    const Value& v = c->members[mi->i].kind == MemberKind::Field ? o.ins->values[mi->i] : c->members[mi->i].value;
                    if (v.t != T::WeakRef) { sp[-1] = v; break; }
                }
            }
            SYNC();
            const Value r = vm.get(o, k, o.t == base[0].t && o.p == base[0].p);
            RELOAD();
            sp[-1] = r;
            break;
        }
        case OP_SET: case OP_SETQ: {
            const Value o = sp[-3], k = sp[-2], v = sp[-1];
            if (o.t == T::Array && k.t == T::Int && k.i >= 0 && static_cast<size_t>(k.i) < o.arr->items.size()) {
                o.arr->items[k.i] = v;
            } else {
                SYNC();
                const bool self = o.t == base[0].t && o.p == base[0].p;
                if (OpOf(ins) == OP_SET) vm.set(o, k, v, self);
                else vm.trySet(o, k, v, self);
                RELOAD();
            }
            sp[-3] = v;
            sp -= 2;
            break;
        }
        case OP_NEWSLOT: {
            const Value o = sp[-3], k = sp[-2], v = sp[-1];
            SYNC();
            vm.newSlot(o, k, v);
            RELOAD();
            sp[-3] = v;
            sp -= 2;
            break;
        }
        case OP_DELETE: {
            const Value o = sp[-2], k = sp[-1];
            SYNC();
            const Value r = vm.deleteSlot(o, k);
            RELOAD();
            sp[-2] = r;
            --sp;
            break;
        }
        case OP_GETTHIS: {
            const Value& k = K[ArgOf(ins)];
            const Value self = base[0];
            if (self.t == T::Table) {
                if (Value* v = self.tab->findString(k.s); v && v->t != T::WeakRef) { *sp++ = *v; break; }
            } else if (self.t == T::Instance) {
                Class* c = self.ins->cls;
                if (Value* mi = c->index->findString(k.s)) {
                    const Value& v = c->members[mi->i].kind == MemberKind::Field ? self.ins->values[mi->i] : c->members[mi->i].value;
                    if (v.t != T::WeakRef) { *sp++ = v; break; }
                }
            }
            SYNC();
            const Value r = vm.get(self, k, true);
            RELOAD();
            *sp++ = r;
            break;
        }
        case OP_SETTHIS: case OP_SETTHISQ: {
            const Value& k = K[ArgOf(ins)];
            const Value self = base[0];
            const Value v = sp[-1];
            if (self.t == T::Table) {
                if (Value* slot = self.tab->findString(k.s)) { *slot = v; break; }
            } else if (self.t == T::Instance) {
                Class* c = self.ins->cls;
                Value* mi = c->index->findString(k.s);
                if (mi && c->members[mi->i].kind == MemberKind::Field) { self.ins->values[mi->i] = v; break; }
            }
            SYNC();
            if (OpOf(ins) == OP_SETTHIS) vm.set(self, k, v, true);
            else vm.trySet(self, k, v, true);
            RELOAD();
            break;
        }
        case OP_GETMETHOD: case OP_GETMETHODK: {
            Value o, k;
            if (OpOf(ins) == OP_GETMETHODK) { o = sp[-1]; k = K[ArgOf(ins)]; ++sp; }
            else { o = sp[-2]; k = sp[-1]; }
            Value fn;
            bool fast = false;
            if (o.t == T::Table && k.t == T::String) {
                if (Value* v = o.tab->findString(k.s); v && v->t != T::WeakRef) { fn = *v; fast = true; }
            } else if (o.t == T::Instance && k.t == T::String) {
                Class* c = o.ins->cls;
                if (Value* mi = c->index->findString(k.s)) {
                    fn = c->members[mi->i].kind == MemberKind::Field ? o.ins->values[mi->i] : c->members[mi->i].value;
                    fast = fn.t != T::WeakRef;
                }
            }
            if (!fast) {
                SYNC();
                fn = vm.get(o, k, o.t == base[0].t && o.p == base[0].p);
                RELOAD();
            }
            sp[-2] = fn;
            // A method called through its class runs on the caller's this; class built-ins get the class.
            sp[-1] = (o.t == T::Class && o.cls->findMember(k) >= 0) ? base[0] : o;
            break;
        }
        case OP_GETTHISMETHOD: {
            const Value& k = K[ArgOf(ins)];
            const Value self = base[0];
            Value fn;
            bool fast = false;
            if (self.t == T::Table) {
                if (Value* v = self.tab->findString(k.s); v && v->t != T::WeakRef) { fn = *v; fast = true; }
            }
            if (!fast) {
                SYNC();
                fn = vm.get(self, k, true);
                RELOAD();
            }
            sp[0] = fn;
            sp[1] = base[0];
            sp += 2;
            break;
        }
        case OP_CALL:
        do_call: {
            const int nargs = ArgOf(ins);
            Value* f = sp - nargs - 2;
            const uint32_t funcIndex = static_cast<uint32_t>(f - stk);
            if (f->t == T::Closure) {
                // The common call (fixed arity, unbound, room on both stacks) without leaving the loop.
                Closure* callee = f->cl;
                Proto* p = callee->proto;
                const size_t depth = ex.frames.size();
                if (!p->generator && !p->varargs && nargs + 1 == p->paramCount && callee->env.t == T::Null &&
                    depth < ex.frames.capacity() && depth < static_cast<size_t>(vm.maxFrames) &&
                    funcIndex + 1 + static_cast<size_t>(p->maxStack) + 16 <= ex.stack.size() && !vm.opBudget &&
                    vm.debugHook.t == T::Null) {
                    fr->pc = pc;
                    const uint32_t newBase = funcIndex + 1;
                    ex.frames.push_back(Frame{callee, p->code.data(), newBase, static_cast<uint32_t>(ex.varargs.size()), 0,
                                              static_cast<uint32_t>(ex.traps.size()), false, nullptr});
                    fr = &ex.frames.back();
                    base = stk + newBase;
                    sp = base + p->paramCount;
                    ex.top = static_cast<uint32_t>(sp - stk);
                    pc = p->code.data();
                    cl = callee;
                    K = p->constants.data();
                    if ((depth & 63) == 0) { vm.maybeCollect(); }
                    break;
                }
            }
            if (f->t == T::Closure && !f->cl->proto->generator) {
                if (vm.opBudget) { SYNC(); vm.checkBudget(); }
                fr->pc = pc;
                ex.top = static_cast<uint32_t>(sp - stk);
                vm.enterClosure(ex, funcIndex, nargs, false, nullptr);
                ENTER_FRAME();
                if (vm.debugHook.t != T::Null) { SYNC(); vm.debugEvent('c', *fr); RELOAD(); }
                if (ex.frames.size() % 64 == 0) vm.maybeCollect();
                break;
            }
            if (f->t == T::Native && f->nc->fn == SuspendNative) {
                SYNC();
                if (!ex.thread || ex.nativeDepth != 1) vm.raise("cannot suspend through native calls/metamethods");
                const Value v = nargs >= 1 ? f[2] : f[1];
                ex.suspended = true;
                ex.suspendSlot = funcIndex;
                ex.top = funcIndex;
                return v;
            }
            SYNC();
            vm.maybeCollect();
            const Value r = CallAt(vm, ex, funcIndex, nargs);
            RELOAD();
            stk[funcIndex] = r;
            sp = stk + funcIndex + 1;
            break;
        }
        case OP_TAILCALL: {
            // `return f(...)`: the callee replaces this frame when both are plain script functions.
            const int nargs = ArgOf(ins);
            Value* f = sp - nargs - 2;
            if (f->t == T::Closure && !f->cl->proto->generator && !fr->generator && ex.traps.size() == fr->trapBase) {
                if (vm.opBudget) { SYNC(); vm.checkBudget(); }
                const uint32_t dest = fr->base - 1;
                const bool boundary = fr->boundary;
                ex.varargs.resize(fr->vargBase);
                for (int i = 0; i < nargs + 2; ++i) stk[dest + static_cast<uint32_t>(i)] = f[i];
                ex.frames.pop_back();
                ex.top = dest + static_cast<uint32_t>(nargs) + 2;
                vm.enterClosure(ex, dest, nargs, boundary, nullptr);
                ENTER_FRAME();
                break;
            }
            goto do_call;  // an ordinary call; the RETURN that follows finishes the job
        }
        case OP_RETURN: case OP_RETURNNULL: {
            const Value r = OpOf(ins) == OP_RETURN ? sp[-1] : Value();
            if (vm.debugHook.t != T::Null) { SYNC(); vm.debugEvent('r', *fr); RELOAD(); }
            if (fr->generator) fr->generator->state = GenState::Dead;
            const uint32_t dest = fr->base - 1;
            const bool boundary = fr->boundary;
            if (ex.traps.size() > fr->trapBase) ex.traps.resize(fr->trapBase);
            ex.varargs.resize(fr->vargBase);
            ex.frames.pop_back();
            stk[dest] = r;
            ex.top = dest + 1;
            if (boundary) { ex.top = dest; return r; }
            ENTER_FRAME();
            break;
        }
        case OP_ADD: case OP_SUB: case OP_MUL: case OP_DIV: case OP_MOD:
        case OP_BAND: case OP_BOR: case OP_BXOR: case OP_SHL: case OP_SHR: case OP_USHR:
        case OP_LT: case OP_LE: case OP_GT: case OP_GE: hBinary: {
            const Op op = OpOf(ins);
            if (!FastBinary(op, sp[-2], sp[-1])) {
                const Value va = sp[-2], vb = sp[-1];
                SYNC();
                const Value r = SlowBinary(vm, op, va, vb);
                RELOAD();
                sp[-2] = r;
            }
            --sp;
            NEXT();
        }
        case OP_BINK: case OP_BINL: hBinOperand: {
            const Op op = static_cast<Op>(ArgOf(ins));
            const uint32_t operand = *pc++;
            const Value& b = OpOf(ins) == OP_BINK ? K[operand] : base[operand];
            if (!FastBinary(op, sp[-1], b)) {
                const Value va = sp[-1], vb = b;
                SYNC();
                const Value r = SlowBinary(vm, op, va, vb);
                RELOAD();
                sp[-1] = r;
            }
            NEXT();
        }
        case OP_LBINK: case OP_LBINL: hLocalBin: {
            const Op op = static_cast<Op>(ArgOf(ins));
            const uint32_t right = pc[1];
            *sp = base[pc[0]];
            pc += 2;
            const Value& b = OpOf(ins) == OP_LBINK ? K[right] : base[right];
            ++sp;
            if (!FastBinary(op, sp[-1], b)) {
                const Value va = sp[-1], vb = b;
                SYNC();
                const Value r = SlowBinary(vm, op, va, vb);
                RELOAD();
                sp[-1] = r;
            }
            NEXT();
        }
        case OP_LCMPKJMPF: case OP_LCMPLJMPF: hLocalCmpJmpf: {
            const Op op = static_cast<Op>(ArgOf(ins));
            const Value& a = base[pc[0]];
            const Value& b = OpOf(ins) == OP_LCMPKJMPF ? K[pc[1]] : base[pc[1]];
            const int32_t off = static_cast<int32_t>(pc[2]);
            pc += 3;
            bool holds;
            if (a.t == T::Int && b.t == T::Int) {
                holds = op == OP_LT ? a.i < b.i : op == OP_LE ? a.i <= b.i : op == OP_GT ? a.i > b.i : a.i >= b.i;
            } else {
                const Value va = a, vb = b;
                *sp++ = va;  // where the unfused code had it, for the collector and error reports
                SYNC();
                holds = OrderingHolds(op, vm.compare(va, vb));
                RELOAD();
                --sp;
            }
            if (!holds) pc += off;
            NEXT();
        }
        case OP_CMPKJMPF: case OP_CMPLJMPF: hCmpOperandJmpf: {
            const Op op = static_cast<Op>(ArgOf(ins));
            const uint32_t operand = pc[0];
            const int32_t off = static_cast<int32_t>(pc[1]);
            pc += 2;
            const Value& a = sp[-1];
            const Value& b = OpOf(ins) == OP_CMPKJMPF ? K[operand] : base[operand];
            bool holds;
            if (a.t == T::Int && b.t == T::Int) {
                holds = op == OP_LT ? a.i < b.i : op == OP_LE ? a.i <= b.i : op == OP_GT ? a.i > b.i : a.i >= b.i;
            } else {
                const Value va = a, vb = b;
                SYNC();
                holds = OrderingHolds(op, vm.compare(va, vb));
                RELOAD();
            }
            --sp;
            if (!holds) pc += off;
            NEXT();
        }
        case OP_NEG: {
            Value& a = sp[-1];
            if (a.t == T::Int) a.i = static_cast<int32_t>(0u - static_cast<uint32_t>(a.i));
            else if (a.t == T::Float) a.f = -a.f;
            else {
                const Value v = a;
                SYNC();
                Value out;
                if ((v.t == T::Table || v.t == T::Instance || v.t == T::UserData) && vm.callMeta(v, MM_UNM, nullptr, 0, out)) {
                    RELOAD();
                    sp[-1] = out;
                    break;
                }
                vm.raise(std::string("attempt to negate a ") + RawTypeName(v));
            }
            break;
        }
        case OP_NOT: sp[-1] = Value::Bool(!sp[-1].truthy()); break;
        case OP_BNOT:
            if (sp[-1].t != T::Int) { SYNC(); vm.raise(std::string("attempt to perform a bitwise op on a ") + RawTypeName(sp[-1])); }
            sp[-1].i = ~sp[-1].i;
            break;
        case OP_EQ: case OP_NE: {
            const Value a = sp[-2], b = sp[-1];
            bool eq;
            if (a.t == b.t) eq = RawEqual(a, b);
            else if (a.isNumber() && b.isNumber()) eq = a.toFloat() == b.toFloat();
            else eq = false;
            sp[-2] = Value::Bool(OpOf(ins) == OP_EQ ? eq : !eq);
            --sp;
            break;
        }
        case OP_TYPEOF: {
            const Value v = sp[-1];
            SYNC();
            const Value r = vm.str(vm.typeOf(v));
            RELOAD();
            sp[-1] = r;
            break;
        }
        case OP_CLONE: {
            const Value v = sp[-1];
            SYNC();
            const Value r = vm.cloneValue(v);
            RELOAD();
            sp[-1] = r;
            break;
        }
        case OP_RESUME: {
            const Value v = sp[-1];
            SYNC();
            if (v.t != T::Generator)
                vm.raise(std::string("trying to resume a '") + RawTypeName(v) + "',only genenerator can be resumed");
            const Value r = vm.resume(v.gen);
            RELOAD();
            sp[-1] = r;
            break;
        }
        case OP_IN: {
            const Value k = sp[-2], c = sp[-1];
            sp[-2] = Value::Bool(vm.inOp(k, c));
            --sp;
            break;
        }
        case OP_INSTANCEOF: {
            const Value v = sp[-2], c = sp[-1];
            SYNC();
            sp[-2] = Value::Bool(vm.instanceOf(v, c));
            --sp;
            break;
        }
        case OP_JMP: hJmp: {
            const int32_t off = ArgOf(ins);
            if (off < 0) {
                if (vm.opBudget) { SYNC(); vm.checkBudget(); }
                SYNC();
                vm.maybeCollect();
            }
            pc += off;
            NEXT();
        }
        case OP_JMPF: hJmpf: --sp; if (!sp->truthy()) pc += ArgOf(ins); NEXT();
        case OP_JMPT:
            --sp;
            if (sp->truthy()) {
                if (ArgOf(ins) < 0 && vm.opBudget) { SYNC(); vm.checkBudget(); }
                pc += ArgOf(ins);
            }
            break;
        case OP_ANDJ: if (!sp[-1].truthy()) pc += ArgOf(ins); else --sp; break;
        case OP_ORJ: if (sp[-1].truthy()) pc += ArgOf(ins); else --sp; break;
        case OP_NEWTABLE: *sp++ = Value::Object(T::Table, vm.newTable()); break;
        case OP_NEWARRAY: *sp++ = Value::Object(T::Array, vm.newArray()); break;
        case OP_APPEND: sp[-2].arr->items.push_back(sp[-1]); --sp; break;
        case OP_TABLESLOT: {
            if (sp[-2].t == T::Null) { SYNC(); vm.raise("null cannot be used as index"); }
            sp[-3].tab->set(sp[-2], sp[-1]);
            sp -= 2;
            break;
        }
        case OP_CLOSURE: {
            Proto* p = cl->proto->children[ArgOf(ins)];
            const int n = static_cast<int>(*pc++);
            Closure* c = vm.alloc<Closure>(p);
            c->outers.assign(sp - n, sp);
            sp -= n;
            *sp++ = Value::Object(T::Closure, c);
            break;
        }
        case OP_CLASS: {
            const int flags = ArgOf(ins);
            Value attrs, baseClass;
            if (flags & 2) attrs = *--sp;
            if (flags & 1) baseClass = *--sp;
            sp[0] = baseClass;
            sp[1] = attrs;
            sp += 2;  // keep them rooted while the class is built
            SYNC();
            Class* c = MakeClass(vm, baseClass, attrs);
            RELOAD();
            sp -= 2;
            *sp++ = Value::Object(T::Class, c);
            break;
        }
        case OP_CLASSMEMBER: {
            const int flags = ArgOf(ins);
            Value attrs;
            const Value val = sp[-1], key = sp[-2];
            if (flags & 2) attrs = sp[-3];
            Class* c = sp[(flags & 2) ? -4 : -3].cls;
            SYNC();
            vm.classMember(c, key, val, (flags & 1) != 0, attrs);
            RELOAD();
            sp -= (flags & 2) ? 3 : 2;
            break;
        }
        case OP_DELEGATE: {
            const Value p = sp[-2], t = sp[-1];
            SYNC();
            if (t.t != T::Table) vm.raise(std::string("delegating a '") + RawTypeName(t) + "'");
            if (p.t != T::Table && p.t != T::Null) vm.raise(std::string("using '") + RawTypeName(p) + "' as delegate");
            if (p.t == T::Table) {
                for (Table* d = p.tab; d; d = d->delegate)
                    if (d == t.tab) vm.raise("delegate cycle detected");
            }
            t.tab->delegate = p.t == T::Table ? p.tab : nullptr;
            sp[-2] = t;
            --sp;
            break;
        }
        case OP_PARENT: {
            const Value v = sp[-1];
            if (v.t == T::Table) sp[-1] = v.tab->delegate ? Value::Object(T::Table, v.tab->delegate) : Value();
            else if (v.t == T::Class) sp[-1] = v.cls->base ? Value::Object(T::Class, v.cls->base) : Value();
            else { SYNC(); vm.raise(std::string("the ") + RawTypeName(v) + " type doesn't have a parent slot"); }
            break;
        }
        case OP_VARGC: *sp++ = Value::Int(static_cast<int32_t>(fr->vargc)); break;
        case OP_VARGV: {
            const Value k = sp[-1];
            SYNC();
            if (!cl->proto->varargs) vm.raise("the function doesn't have var args");
            if (!k.isNumber()) vm.raise(std::string("indexing 'vargv' with ") + RawTypeName(k));
            const int32_t i = k.toInt();
            if (i < 0 || static_cast<uint32_t>(i) >= fr->vargc) vm.raise("vargv index out of range");
            sp[-1] = ex.varargs[fr->vargBase + static_cast<uint32_t>(i)];
            break;
        }
        case OP_FOREACH: {
            const int slot = ArgOf(ins);
            const uint32_t exit = *pc++;
            bool done = false;
            SYNC();
            if (vm.opBudget) vm.checkBudget();
            const uint32_t slotIndex = fr->base + static_cast<uint32_t>(slot);
            foreachStep(vm, stk + slotIndex, done);
            RELOAD();
            if (done) pc = cl->proto->code.data() + exit;
            break;
        }
        case OP_TRAP: {
            const uint32_t handler = static_cast<uint32_t>(pc - cl->proto->code.data() + ArgOf(ins));
            ex.traps.push_back(TrapRecord{static_cast<uint32_t>(ex.frames.size() - 1), handler,
                                          static_cast<uint32_t>(sp - stk), static_cast<uint32_t>(ex.varargs.size())});
            break;
        }
        case OP_POPTRAP: ex.traps.resize(ex.traps.size() - static_cast<size_t>(ArgOf(ins))); break;
        case OP_THROW: {
            const Value v = sp[-1];
            SYNC();
            vm.raiseValue(v);
        }
        case OP_YIELD: {
            const Value v = sp[-1];
            --sp;
            Generator* g = fr->generator;
            if (!g) { SYNC(); vm.raise("trying to yield a 'null',only genenerator can be yielded"); }
            g->saved.assign(base, sp);
            g->varargs.assign(ex.varargs.begin() + fr->vargBase, ex.varargs.end());
            g->traps.clear();
            for (size_t i = fr->trapBase; i < ex.traps.size(); ++i) {
                TrapRecord t = ex.traps[i];
                t.stackTop -= fr->base;
                t.vargTop -= fr->vargBase;
                g->traps.push_back(t);
            }
            g->pc = static_cast<uint32_t>(pc - cl->proto->code.data());
            g->state = GenState::Suspended;
            const uint32_t dest = fr->base - 1;
            ex.traps.resize(fr->trapBase);
            ex.varargs.resize(fr->vargBase);
            ex.frames.pop_back();
            ex.top = dest;
            return v;
        }
        case OP_INCLOCAL: hIncLocal: {
            const int slot = ArgOf(ins);
            const uint32_t flags = *pc++;
            Value& v = base[slot];
            const Value old = v;
            if (v.t == T::Int) v.i = static_cast<int32_t>(static_cast<uint32_t>(v.i) + ((flags & 1) ? 0xFFFFFFFFu : 1u));
            else {
                SYNC();
                const Value r = vm.arith((flags & 1) ? '-' : '+', old, Value::Int(1));
                RELOAD();
                base[slot] = r;
            }
            if (!(flags & 4)) *sp++ = (flags & 2) ? old : base[slot];
            NEXT();
        }
        case OP_INCFIELD: case OP_INCTHIS: {
            Value o, k;
            uint32_t flags;
            if (OpOf(ins) == OP_INCFIELD) { o = sp[-2]; k = sp[-1]; flags = static_cast<uint32_t>(ArgOf(ins)); sp -= 2; }
            else { o = base[0]; k = K[ArgOf(ins)]; flags = *pc++; }
            const bool self = OpOf(ins) == OP_INCTHIS || (o.t == base[0].t && o.p == base[0].p);
            SYNC();
            const Value old = vm.get(o, k, self);
            const Value nv = vm.arith((flags & 1) ? '-' : '+', old, Value::Int(1));
            vm.trySet(o, k, nv, self);
            RELOAD();
            *sp++ = (flags & 2) ? old : nv;
            break;
        }
        default:
            SYNC();
            vm.raise("bad opcode");
        }
    }
#undef NEXT
#undef SYNC
#undef RELOAD
#undef ENTER_FRAME
}

// One foreach step. slots: container, iterator, key, value.
Value foreachStep(Vm& vm, Value* slots, bool& done) {
    const Value c = slots[0];
    Value& it = slots[1];
    switch (c.t) {
    case T::Array: {
        const int32_t i = it.t == T::Null ? 0 : it.i + 1;
        if (static_cast<size_t>(i) >= c.arr->items.size()) { done = true; return Value(); }
        it = Value::Int(i);
        slots[2] = Value::Int(i);
        const Value& v = c.arr->items[i];
        slots[3] = v.t == T::WeakRef ? v.wr->target : v;
        return Value();
    }
    case T::Table: {
        const int64_t n = c.tab->next(it.t == T::Null ? 0 : static_cast<uint32_t>(it.i) + 1);
        if (n < 0) { done = true; return Value(); }
        it = Value::Int(static_cast<int32_t>(n));
        slots[2] = c.tab->nodes[n].key;
        const Value& v = c.tab->nodes[n].val;
        slots[3] = v.t == T::WeakRef ? v.wr->target : v;
        return Value();
    }
    case T::String: {
        const int32_t i = it.t == T::Null ? 0 : it.i + 1;
        if (static_cast<uint32_t>(i) >= c.s->len) { done = true; return Value(); }
        it = Value::Int(i);
        slots[2] = Value::Int(i);
        slots[3] = Value::Int(static_cast<signed char>(c.s->text[i]));
        return Value();
    }
    case T::Class: {
        const int32_t i = it.t == T::Null ? 0 : it.i + 1;
        if (static_cast<size_t>(i) >= c.cls->members.size()) { done = true; return Value(); }
        it = Value::Int(i);
        slots[2] = c.cls->members[i].key;
        slots[3] = c.cls->members[i].value;
        return Value();
    }
    case T::Generator: {
        if (c.gen->state == GenState::Running) vm.raise("cannot iterate generator");
        if (c.gen->state == GenState::Dead) { done = true; return Value(); }
        const int32_t i = it.t == T::Null ? 0 : it.i + 1;
        it = Value::Int(i);
        ExecState& ex = vm.exec();
        const uint32_t slotIndex = static_cast<uint32_t>(slots - ex.stack.data());
        const Value r = vm.resume(c.gen);
        Value* s = ex.stack.data() + slotIndex;
        s[2] = Value::Int(i);
        s[3] = r;
        return Value();
    }
    case T::Instance: case T::UserData: {
        ExecState& ex = vm.exec();
        const uint32_t slotIndex = static_cast<uint32_t>(slots - ex.stack.data());
        Value next;
        const Value prev = it;
        if (!vm.callMeta(c, MM_NEXTI, &prev, 1, next)) vm.raise("_nexti failed");
        Value* s = ex.stack.data() + slotIndex;
        if (next.t == T::Null) { done = true; return Value(); }
        s[1] = next;
        Value v;
        if (!vm.tryGet(c, next, v, false)) vm.raise("_nexti returned an invalid idx");
        s = ex.stack.data() + slotIndex;
        s[2] = next;
        s[3] = v;
        return Value();
    }
    default: vm.raise(std::string("cannot iterate ") + RawTypeName(c));
    }
}

}  // namespace

}  // namespace sq
