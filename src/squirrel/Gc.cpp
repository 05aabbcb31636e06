// Mark-and-sweep collector. It runs only at safe points of the interpreter (calls and backward
// jumps), so natives may hold fresh objects in C++ locals as long as they do not call scripts.
#include "squirrel/Vm.h"

namespace sq {

void Vm::markValue(const Value& v) {
    if (v.isObject() && v.o && !v.o->marked) {
        v.o->marked = true;
        gray_.push_back(v.o);
    }
}

void Vm::markObject(Obj* o) {
    if (o && !o->marked) {
        o->marked = true;
        gray_.push_back(o);
    }
}

void Vm::markExec(ExecState& ex) {
    for (uint32_t i = 0; i < ex.top && i < ex.stack.size(); ++i) markValue(ex.stack[i]);
    for (const Value& v : ex.varargs) markValue(v);
    for (const Frame& f : ex.frames) {
        markObject(f.closure);
        markObject(f.generator);
    }
}

void Vm::traceObject(Obj* o) {
    switch (o->type) {
    case T::Table: {
        auto* t = static_cast<Table*>(o);
        markObject(t->delegate);
        for (uint32_t i = 0; i < t->capacity; ++i) {
            if (t->nodes[i].key.t == T::Null) continue;
            markValue(t->nodes[i].key);
            markValue(t->nodes[i].val);
        }
        break;
    }
    case T::Array:
        for (const Value& v : static_cast<Array*>(o)->items) markValue(v);
        break;
    case T::Closure: {
        auto* c = static_cast<Closure*>(o);
        markObject(c->proto);
        for (const Value& v : c->outers) markValue(v);
        markValue(c->env);
        break;
    }
    case T::Native: {
        auto* n = static_cast<NativeClosure*>(o);
        markObject(n->name);
        for (const Value& v : n->outers) markValue(v);
        markValue(n->env);
        break;
    }
    case T::Class: {
        auto* c = static_cast<Class*>(o);
        markObject(c->base);
        markObject(c->index);
        for (const auto& m : c->members) { markValue(m.key); markValue(m.value); markValue(m.attrs); }
        for (const Value& v : c->meta) markValue(v);
        markValue(c->constructor);
        markValue(c->attrs);
        break;
    }
    case T::Instance: {
        auto* in = static_cast<Instance*>(o);
        markObject(in->cls);
        for (const Value& v : in->values) markValue(v);
        break;
    }
    case T::Generator: {
        auto* g = static_cast<Generator*>(o);
        markObject(g->closure);
        for (const Value& v : g->saved) markValue(v);
        for (const Value& v : g->varargs) markValue(v);
        break;
    }
    case T::UserData: markObject(static_cast<UserData*>(o)->delegate); break;
    case T::Thread: {
        auto* th = static_cast<Thread*>(o);
        markValue(th->body);
        markExec(*th->exec);
        break;
    }
    case T::Proto: {
        auto* p = static_cast<Proto*>(o);
        for (const Value& v : p->constants) markValue(v);
        for (Proto* c : p->children) markObject(c);
        for (String* s : p->paramNames) markObject(s);
        for (const Proto::LocalInfo& l : p->locals) markObject(l.name);
        markObject(p->name);
        markObject(p->source);
        break;
    }
    case T::WeakRef: break;  // weak: the target is not kept alive
    default: break;
    }
}

size_t Vm::collectGarbage() {
    markObject(root);
    markObject(registry);
    Table* dds[] = {ddTable, ddArray, ddString, ddNumber, ddFunction, ddGenerator, ddClass, ddInstance, ddThread, ddWeakRef};
    for (Table* t : dds) markObject(t);
    for (String* s : metaNames) markObject(s);
    markObject(sConstructor);
    markValue(errorHandler);
    markValue(debugHook);
    markExec(mainExec_);
    if (exec_ != &mainExec_) markExec(*exec_);
    while (!gray_.empty()) {
        Obj* o = gray_.back();
        gray_.pop_back();
        traceObject(o);
    }
    // Weak references to dead objects turn null before anything is freed.
    size_t keptRefs = 0;
    for (WeakRef* w : weakRefs_) {
        if (!w->marked) continue;  // freed below
        if (w->target.isObject() && !w->target.o->marked) w->target = Value();
        weakRefs_[keptRefs++] = w;
    }
    weakRefs_.resize(keptRefs);
    strings_.sweep();
    size_t freed = 0;
    Obj** link = &objects_;
    size_t live = 0;
    while (Obj* o = *link) {
        if (o->marked) {
            o->marked = false;
            link = &o->gcNext;
            ++live;
        } else {
            *link = o->gcNext;
            delete o;
            ++freed;
        }
    }
    objectCount_ = live;
    bytesAllocated_ = live * 96;
    gcThreshold_ = std::max<size_t>(bytesAllocated_ * 2, 4u << 20);
    return freed;
}

}  // namespace sq
