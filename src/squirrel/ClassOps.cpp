// Classes: building members, inheritance, modification rules and instantiation.
#include "squirrel/Interpreter.h"
#include "squirrel/Vm.h"

namespace sq {

namespace {

int metaIndex(Vm& vm, const Value& key) {
    if (key.t != T::String) return -1;
    for (int i = 0; i < MM_COUNT; ++i)
        if (vm.metaNames[i] == key.s) return i;
    return -1;
}

bool isFunction(const Value& v) { return v.t == T::Closure || v.t == T::Native; }

void putMember(Class* cls, const Value& key, const Value& val, MemberKind kind, const Value& attrs) {
    const int m = cls->findMember(key);
    if (m >= 0) {
        cls->members[m].value = val;
        cls->members[m].kind = kind;
        if (attrs.t != T::Null) cls->members[m].attrs = attrs;
        return;
    }
    cls->index->set(key, Value::Int(static_cast<int32_t>(cls->members.size())));
    cls->members.push_back({key, val, kind, attrs});
}

}  // namespace

void Vm::classMember(Class* cls, const Value& key, const Value& val, bool isStatic, const Value& attrs) {
    if (key.t == T::Null) raise("null cannot be used as index");
    if (cls->meta[MM_NEWMEMBER].t != T::Null) {
        const Value args[3] = {key, val, attrs};
        Value ignored;
        if (callMeta(Value::Object(T::Class, cls), MM_NEWMEMBER, args, 3, ignored)) return;
    }
    const int mm = metaIndex(*this, key);
    if (mm >= 0 && isFunction(val) && !isStatic) {
        cls->meta[mm] = val;
        return;
    }
    if (key.t == T::String && key.s == sConstructor && isFunction(val)) cls->constructor = val;
    putMember(cls, key, val, isStatic ? MemberKind::Static : isFunction(val) ? MemberKind::Method : MemberKind::Field, attrs);
}

void Vm::classSlot(Class* cls, const Value& key, const Value& val) {
    if (cls->locked) raise("trying to modify a class that has already been instantiated");
    const int m = cls->findMember(key);
    if (m >= 0 && cls->members[m].kind == MemberKind::Field) {
        cls->members[m].value = val;
        return;
    }
    const int mm = metaIndex(*this, key);
    if (mm >= 0 && isFunction(val)) {
        cls->meta[mm] = val;
        return;
    }
    if (key.t == T::String && key.s == sConstructor && isFunction(val)) cls->constructor = val;
    putMember(cls, key, val, isFunction(val) ? MemberKind::Method : MemberKind::Field, Value());
}

Value Vm::construct(Class* cls, const Value* args, int nargs) {
    for (Class* c = cls; c; c = c->base) c->locked = true;
    const Value inst = Value::Object(T::Instance, newInstance(cls));
    if (cls->constructor.t != T::Null) {
        push(inst);
        try {
            call(cls->constructor, inst, args, nargs);
        } catch (...) {
            pop();
            throw;
        }
        pop();
    }
    return inst;
}

// Creates a class on top of `base` (may be null): members are copied, then _inherited runs.
Class* MakeClass(Vm& vm, const Value& base, const Value& attrs) {
    Class* cls = vm.newClass();
    cls->attrs = attrs;
    if (base.t != T::Null) {
        if (base.t != T::Class) vm.raise(std::string("trying to inherit from a ") + RawTypeName(base));
        Class* b = base.cls;
        cls->base = b;
        for (const auto& m : b->members) putMember(cls, m.key, m.value, m.kind, m.attrs);
        for (int i = 0; i < MM_COUNT; ++i) cls->meta[i] = b->meta[i];
        cls->constructor = b->constructor;
        if (b->meta[MM_INHERITED].t != T::Null) {
            const Value cv = Value::Object(T::Class, cls);
            vm.push(cv);
            Value ignored;
            const Value fn = b->meta[MM_INHERITED];
            try { vm.call(fn, cv, &attrs, 1); } catch (const ScriptThrow&) {}
            vm.pop();
        }
    }
    return cls;
}

}  // namespace sq
