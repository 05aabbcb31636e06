// regexp(): the library's regular-expression objects.
#include "squirrel/NativeArgs.h"
#include "squirrel/Regexp.h"
#include "squirrel/Stream.h"

namespace sq {

namespace {

void releaseRegexp(void* p) { delete static_cast<Regexp*>(p); }

Regexp* regexpOf(Vm& vm, const Value& self) {
    if (self.t != T::Instance || self.ins->release != releaseRegexp) vm.raise("invalid regexp");
    return static_cast<Regexp*>(self.ins->userPointer);
}

Value construct(Vm& vm, CallContext& c) {
    try {
        auto* r = new Regexp(c.arg(1).s->text);
        Instance* in = c.arg(0).ins;
        in->userPointer = r;
        in->release = releaseRegexp;
    } catch (const std::string& msg) {
        vm.raise(msg);
    }
    return Value();
}

Value rangeTable(Vm& vm, const Regexp::Capture& cap) {
    Table* t = vm.newTable();
    t->set(vm.str("begin"), Value::Int(cap.begin));
    t->set(vm.str("end"), Value::Int(cap.end));
    return Value::Object(T::Table, t);
}

Value matchFn(Vm& vm, CallContext& c) { return Value::Bool(regexpOf(vm, c.arg(0))->match(c.arg(1).s->text)); }

Value searchFn(Vm& vm, CallContext& c) {
    std::vector<Regexp::Capture> caps;
    if (!regexpOf(vm, c.arg(0))->search(c.arg(1).s->text, c.count > 2 ? c.arg(2).toInt() : 0, caps)) return Value();
    return rangeTable(vm, caps[0]);
}

Value captureFn(Vm& vm, CallContext& c) {
    std::vector<Regexp::Capture> caps;
    if (!regexpOf(vm, c.arg(0))->search(c.arg(1).s->text, c.count > 2 ? c.arg(2).toInt() : 0, caps)) return Value();
    Array* a = vm.newArray();
    for (const auto& cap : caps) {
        const Value t = rangeTable(vm, cap.end > cap.begin ? cap : Regexp::Capture{});
        a->items.push_back(t);
    }
    return Value::Object(T::Array, a);
}

Value subexpCount(Vm& vm, CallContext& c) { return Value::Int(regexpOf(vm, c.arg(0))->subexpCount()); }
Value typeOf(Vm& vm, CallContext&) { return vm.str("regexp"); }

}  // namespace

void RegisterRegexp(Vm& vm) {
    Class* c = MakeNativeClass(vm, nullptr);
    AddNativeMember(vm, c, "constructor", construct, 2, "x s");
    AddNativeMember(vm, c, "match", matchFn, 2, "x s");
    AddNativeMember(vm, c, "search", searchFn, -2, "x s n");
    AddNativeMember(vm, c, "capture", captureFn, -2, "x s n");
    AddNativeMember(vm, c, "subexpcount", subexpCount, 1);
    AddNativeMember(vm, c, "_typeof", typeOf, 1);
    vm.root->set(vm.str("regexp"), Value::Object(T::Class, c));
}

}  // namespace sq
