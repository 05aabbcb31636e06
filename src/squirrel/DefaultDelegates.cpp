// Built-in methods of every value type (the default delegates).
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "squirrel/NativeArgs.h"

namespace sq {

namespace {

// ---- shared ----
Value weakref(Vm& vm, CallContext& c) {
    const Value v = c.arg(0);
    if (!v.isObject()) return v;
    WeakRef* w = vm.alloc<WeakRef>();
    w->target = v;
    return Value::Object(T::WeakRef, w);
}
Value tostring(Vm& vm, CallContext& c) { return vm.toStringValue(c.arg(0)); }

// ---- numbers and bools ----
Value numToInteger(Vm&, CallContext& c) {
    const Value v = c.arg(0);
    if (v.t == T::Bool) return Value::Int(v.b ? 1 : 0);
    return Value::Int(v.toInt());
}
Value numToFloat(Vm&, CallContext& c) {
    const Value v = c.arg(0);
    if (v.t == T::Bool) return Value::Float(v.b ? 1.0f : 0.0f);
    return Value::Float(v.toFloat());
}
Value numToChar(Vm& vm, CallContext& c) {
    const Value v = c.arg(0);
    const char ch = static_cast<char>(v.t == T::Bool ? (v.b ? 1 : 0) : v.toInt());
    return vm.str(std::string_view(&ch, 1));
}

// ---- strings ----
bool parseNumber(const std::string& s, Value& out) {
    const char* p = s.c_str();
    char* end = nullptr;
    if (s.find('.') != std::string::npos) {
        const double d = std::strtod(p, &end);
        if (end == p) return false;
        out = Value::Float(static_cast<float>(d));
        return true;
    }
    long l = std::strtol(p, &end, 10);
    if (end == p) return false;
    if (l > INT32_MAX) l = INT32_MAX;
    if (l < INT32_MIN) l = INT32_MIN;
    out = Value::Int(static_cast<int32_t>(l));
    return true;
}
Value strLen(Vm&, CallContext& c) { return Value::Int(static_cast<int32_t>(c.arg(0).s->len)); }
Value strToInteger(Vm& vm, CallContext& c) {
    Value v;
    if (!parseNumber(c.arg(0).s->text, v)) vm.raise("cannot convert the string");
    return Value::Int(v.toInt());
}
Value strToFloat(Vm& vm, CallContext& c) {
    Value v;
    if (!parseNumber(c.arg(0).s->text, v)) vm.raise("cannot convert the string");
    return Value::Float(v.toFloat());
}
Value strSlice(Vm& vm, CallContext& c) {
    const std::string& s = c.arg(0).s->text;
    const int32_t len = static_cast<int32_t>(s.size());
    int32_t start = c.arg(1).toInt();
    int32_t end = c.count > 2 ? c.arg(2).toInt() : len;
    if (start < 0) start += len;
    if (end < 0) end += len;
    if (end < start) vm.raise("wrong indexes");
    if (start < 0 || end > len) vm.raise("slice out of range");
    return vm.str(std::string_view(s).substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
}
Value strFind(Vm&, CallContext& c) {
    const std::string& s = c.arg(0).s->text;
    const std::string& sub = c.arg(1).s->text;
    const int32_t start = c.count > 2 ? c.arg(2).toInt() : 0;
    const size_t nul = s.find('\0');
    const std::string_view hay = std::string_view(s).substr(0, nul);
    if (start < 0 || static_cast<size_t>(start) >= s.size()) return Value();
    if (static_cast<size_t>(start) > hay.size()) return Value();
    const size_t at = hay.find(std::string_view(sub.c_str()), static_cast<size_t>(start));
    if (at == std::string_view::npos) return Value();
    return Value::Int(static_cast<int32_t>(at));
}
Value strLower(Vm& vm, CallContext& c) {
    std::string s = c.arg(0).s->text;
    for (char& ch : s) if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
    return vm.str(s);
}
Value strUpper(Vm& vm, CallContext& c) {
    std::string s = c.arg(0).s->text;
    for (char& ch : s) if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
    return vm.str(s);
}

// ---- tables ----
Value tabLen(Vm&, CallContext& c) { return Value::Int(static_cast<int32_t>(c.arg(0).tab->count)); }
Value tabRawGet(Vm& vm, CallContext& c) {
    Value* v = c.arg(0).tab->find(c.arg(1));
    if (!v) vm.raise("the index doesn't exist");
    return *v;
}
Value tabRawSet(Vm& vm, CallContext& c) {
    if (c.arg(1).t == T::Null) vm.raise("null key");
    c.arg(0).tab->set(c.arg(1), c.arg(2));
    return Value();
}
Value tabRawDelete(Vm&, CallContext& c) {
    Value old;
    if (c.arg(0).tab->remove(c.arg(1), &old)) return old;
    return Value();
}
Value tabRawIn(Vm&, CallContext& c) { return Value::Bool(c.arg(0).tab->find(c.arg(1)) != nullptr); }

// ---- arrays ----
Array* arr(CallContext& c) { return c.arg(0).arr; }
Value arrLen(Vm&, CallContext& c) { return Value::Int(static_cast<int32_t>(arr(c)->items.size())); }
Value arrAppend(Vm&, CallContext& c) { arr(c)->items.push_back(c.arg(1)); return Value(); }
Value arrExtend(Vm&, CallContext& c) {
    const std::vector<Value> other = c.arg(1).arr->items;
    for (const Value& v : other) arr(c)->items.push_back(v);
    return Value();
}
Value arrPop(Vm& vm, CallContext& c) {
    auto& items = arr(c)->items;
    if (items.empty()) vm.raise("empty array");
    const Value v = items.back();
    items.pop_back();
    return v;
}
Value arrTop(Vm& vm, CallContext& c) {
    auto& items = arr(c)->items;
    if (items.empty()) vm.raise("top() on a empty array");
    return items.back();
}
Value arrInsert(Vm& vm, CallContext& c) {
    auto& items = arr(c)->items;
    const int32_t i = c.arg(1).toInt();
    if (i < 0 || static_cast<size_t>(i) > items.size()) vm.raise("index out of range");
    items.insert(items.begin() + i, c.arg(2));
    return Value();
}
Value arrRemove(Vm& vm, CallContext& c) {
    auto& items = arr(c)->items;
    const int32_t i = c.arg(1).toInt();
    if (i < 0 || static_cast<size_t>(i) >= items.size()) vm.raise("idx out of range");
    const Value v = items[i];
    items.erase(items.begin() + i);
    return v;
}
Value arrResize(Vm& vm, CallContext& c) {
    const int32_t n = c.arg(1).toInt();
    if (n < 0) vm.raise("resizing to negative length");
    arr(c)->items.resize(static_cast<size_t>(n), c.count > 2 ? c.arg(2) : Value());
    return Value();
}
Value arrReverse(Vm&, CallContext& c) { std::reverse(arr(c)->items.begin(), arr(c)->items.end()); return Value(); }
Value arrSlice(Vm& vm, CallContext& c) {
    const auto& items = arr(c)->items;
    const int32_t len = static_cast<int32_t>(items.size());
    int32_t start = c.arg(1).toInt();
    int32_t end = c.count > 2 ? c.arg(2).toInt() : len;
    if (start < 0) start += len;
    if (end < 0) end += len;
    if (end <= start) vm.raise("wrong indexes");
    if (start < 0 || end > len) vm.raise("slice out of range");
    Array* a = vm.newArray();
    a->items.assign(items.begin() + start, items.begin() + end);
    return Value::Object(T::Array, a);
}

// Sorting: the array is copied into a rooted scratch array so a compare function may run scripts.
int sortCompare(Vm& vm, const Value& cmp, const Value& a, const Value& b) {
    if (cmp.t == T::Null) return vm.compare(a, b);
    const Value args[2] = {a, b};
    Value r;
    const Value savedHandler = vm.errorHandler;
    vm.errorHandler = Value();
    try {
        r = vm.call(cmp, Value::Object(T::Table, vm.root), args, 2);
    } catch (const ScriptThrow&) {
        vm.errorHandler = savedHandler;
        vm.raise("compare func failed");
    }
    vm.errorHandler = savedHandler;
    if (!r.isNumber()) vm.raise("numeric value expected as return value of the compare function");
    return r.toInt();
}
Value arrSort(Vm& vm, CallContext& c) {
    const Value cmp = c.count > 1 ? c.arg(1) : Value();
    Array* scratch = vm.newArray();
    scratch->items = arr(c)->items;
    vm.push(Value::Object(T::Array, scratch));
    // Merge sort over the rooted scratch copy: exceptions leave the original untouched.
    std::vector<Value>& v = scratch->items;
    std::vector<Value> tmp(v.size());
    for (size_t width = 1; width < v.size(); width *= 2) {
        for (size_t lo = 0; lo < v.size(); lo += 2 * width) {
            const size_t mid = std::min(lo + width, v.size()), hi = std::min(lo + 2 * width, v.size());
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi) {
                if (sortCompare(vm, cmp, v[i], v[j]) > 0) tmp[k++] = v[j++];
                else tmp[k++] = v[i++];
            }
            while (i < mid) tmp[k++] = v[i++];
            while (j < hi) tmp[k++] = v[j++];
        }
        std::swap(v, tmp);
    }
    arr(c)->items = v;
    vm.pop();
    return Value();
}

// ---- functions ----
Value fnCall(Vm& vm, CallContext& c) {
    std::vector<Value> args;
    for (int i = 2; i < c.count; ++i) args.push_back(c.arg(i));
    return vm.call(c.arg(0), c.arg(1), args.data(), static_cast<int>(args.size()));
}
Value fnPCall(Vm& vm, CallContext& c) {
    const Value h = vm.errorHandler;
    vm.errorHandler = Value();
    try {
        const Value r = fnCall(vm, c);
        vm.errorHandler = h;
        return r;
    } catch (...) {
        vm.errorHandler = h;
        throw;
    }
}
Value fnACall(Vm& vm, CallContext& c) {
    const std::vector<Value> items = c.arg(1).arr->items;
    if (items.empty()) vm.raise("wrong number of parameters");
    return vm.call(c.arg(0), items[0], items.data() + 1, static_cast<int>(items.size() - 1));
}
Value fnPACall(Vm& vm, CallContext& c) {
    const Value h = vm.errorHandler;
    vm.errorHandler = Value();
    try {
        const Value r = fnACall(vm, c);
        vm.errorHandler = h;
        return r;
    } catch (...) {
        vm.errorHandler = h;
        throw;
    }
}
Value fnBindEnv(Vm& vm, CallContext& c) {
    const Value f = c.arg(0);
    if (f.t == T::Closure) {
        Closure* n = vm.alloc<Closure>(f.cl->proto);
        n->outers = f.cl->outers;
        n->env = c.arg(1);
        return Value::Object(T::Closure, n);
    }
    NativeClosure* n = vm.alloc<NativeClosure>(f.nc->fn);
    *n = *f.nc;
    n->gcNext = nullptr;
    vm.link(n, sizeof *n);
    n->env = c.arg(1);
    return Value::Object(T::Native, n);
}
Value fnGetInfos(Vm& vm, CallContext& c) {
    const Value f = c.arg(0);
    Table* t = vm.newTable();
    if (f.t == T::Closure) {
        Proto* p = f.cl->proto;
        t->set(vm.str("name"), p->name && p->name->text != "unknown" ? Value::Object(T::String, p->name) : Value());
        t->set(vm.str("native"), Value::Bool(false));
        t->set(vm.str("varargs"), Value::Bool(p->varargs));
        t->set(vm.str("src"), Value::Object(T::String, p->source));
        Array* a = vm.newArray();
        for (String* s : p->paramNames) a->items.push_back(Value::Object(T::String, s));
        if (p->varargs) a->items.push_back(vm.str("..."));
        t->set(vm.str("parameters"), Value::Object(T::Array, a));
    } else {
        t->set(vm.str("name"), f.nc->name ? Value::Object(T::String, f.nc->name) : Value());
        t->set(vm.str("native"), Value::Bool(true));
        t->set(vm.str("paramscheck"), Value::Int(f.nc->paramCount));
        t->set(vm.str("typecheck"), Value());
    }
    return Value::Object(T::Table, t);
}

// ---- generators, threads, weak references ----
Value genStatus(Vm& vm, CallContext& c) {
    switch (c.arg(0).gen->state) {
    case GenState::Suspended: return vm.str("suspended");
    case GenState::Running: return vm.str("running");
    default: return vm.str("dead");
    }
}
Value weakRef(Vm&, CallContext& c) { return c.arg(0).wr->target; }

// ---- classes and instances ----
Value classInstance(Vm& vm, CallContext& c) {
    for (Class* k = c.arg(0).cls; k; k = k->base) k->locked = true;
    return Value::Object(T::Instance, vm.newInstance(c.arg(0).cls));
}
Value classRawIn(Vm&, CallContext& c) {
    Class* cls = c.arg(0).t == T::Class ? c.arg(0).cls : c.arg(0).ins->cls;
    return Value::Bool(cls->findMember(c.arg(1)) >= 0);
}
Value classGetAttributes(Vm& vm, CallContext& c) {
    Class* cls = c.arg(0).cls;
    if (c.arg(1).t == T::Null) return cls->attrs;
    const int m = cls->findMember(c.arg(1));
    if (m < 0) vm.raise("wrong index");
    return cls->members[m].attrs;
}
Value classSetAttributes(Vm& vm, CallContext& c) {
    Class* cls = c.arg(0).cls;
    if (c.arg(1).t == T::Null) { cls->attrs = c.arg(2); return Value(); }
    const int m = cls->findMember(c.arg(1));
    if (m < 0) vm.raise("wrong index");
    cls->members[m].attrs = c.arg(2);
    return Value();
}
Value instGetClass(Vm&, CallContext& c) { return Value::Object(T::Class, c.arg(0).ins->cls); }

}  // namespace

Value ThreadCall(Vm& vm, CallContext& c);
Value ThreadWakeup(Vm& vm, CallContext& c);
Value ThreadStatus(Vm& vm, CallContext& c);

void RegisterDefaultDelegates(Vm& vm) {
    auto make = [&vm]() { return vm.newTable(); };
    vm.ddNumber = make();
    Register(vm, vm.ddNumber, "tointeger", numToInteger, 1, "nb");
    Register(vm, vm.ddNumber, "tofloat", numToFloat, 1, "nb");
    Register(vm, vm.ddNumber, "tostring", tostring, 1, "nb");
    Register(vm, vm.ddNumber, "tochar", numToChar, 1, "nb");
    Register(vm, vm.ddNumber, "weakref", weakref, 1, "nb");

    vm.ddString = make();
    Register(vm, vm.ddString, "len", strLen, 1, "s");
    Register(vm, vm.ddString, "tointeger", strToInteger, 1, "s");
    Register(vm, vm.ddString, "tofloat", strToFloat, 1, "s");
    Register(vm, vm.ddString, "tostring", tostring, 1, "s");
    Register(vm, vm.ddString, "slice", strSlice, -2, "s n n");
    Register(vm, vm.ddString, "find", strFind, -2, "s s n");
    Register(vm, vm.ddString, "tolower", strLower, 1, "s");
    Register(vm, vm.ddString, "toupper", strUpper, 1, "s");
    Register(vm, vm.ddString, "weakref", weakref, 1, "s");

    vm.ddTable = make();
    Register(vm, vm.ddTable, "len", tabLen, 1, "t");
    Register(vm, vm.ddTable, "rawget", tabRawGet, 2, "t");
    Register(vm, vm.ddTable, "rawset", tabRawSet, 3, "t");
    Register(vm, vm.ddTable, "rawdelete", tabRawDelete, 2, "t");
    Register(vm, vm.ddTable, "rawin", tabRawIn, 2, "t");
    Register(vm, vm.ddTable, "weakref", weakref, 1, "t");
    Register(vm, vm.ddTable, "tostring", tostring, 1, "t");

    vm.ddArray = make();
    Register(vm, vm.ddArray, "len", arrLen, 1, "a");
    Register(vm, vm.ddArray, "append", arrAppend, 2, "a");
    Register(vm, vm.ddArray, "push", arrAppend, 2, "a");
    Register(vm, vm.ddArray, "extend", arrExtend, 2, "a a");
    Register(vm, vm.ddArray, "pop", arrPop, 1, "a");
    Register(vm, vm.ddArray, "top", arrTop, 1, "a");
    Register(vm, vm.ddArray, "insert", arrInsert, 3, "a n .");
    Register(vm, vm.ddArray, "remove", arrRemove, 2, "a n");
    Register(vm, vm.ddArray, "resize", arrResize, -2, "a n .");
    Register(vm, vm.ddArray, "sort", arrSort, -1, "a c");
    Register(vm, vm.ddArray, "reverse", arrReverse, 1, "a");
    Register(vm, vm.ddArray, "slice", arrSlice, -2, "a n n");
    Register(vm, vm.ddArray, "weakref", weakref, 1, "a");
    Register(vm, vm.ddArray, "tostring", tostring, 1, "a");

    vm.ddFunction = make();
    Register(vm, vm.ddFunction, "call", fnCall, -2, "c");
    Register(vm, vm.ddFunction, "pcall", fnPCall, -2, "c");
    Register(vm, vm.ddFunction, "acall", fnACall, 2, "c a");
    Register(vm, vm.ddFunction, "pacall", fnPACall, 2, "c a");
    Register(vm, vm.ddFunction, "bindenv", fnBindEnv, 2, "c tyx");
    Register(vm, vm.ddFunction, "getinfos", fnGetInfos, 1, "c");
    Register(vm, vm.ddFunction, "weakref", weakref, 1, "c");
    Register(vm, vm.ddFunction, "tostring", tostring, 1, "c");

    vm.ddGenerator = make();
    Register(vm, vm.ddGenerator, "getstatus", genStatus, 1, "g");
    Register(vm, vm.ddGenerator, "weakref", weakref, 1, "g");
    Register(vm, vm.ddGenerator, "tostring", tostring, 1, "g");

    vm.ddClass = make();
    Register(vm, vm.ddClass, "getattributes", classGetAttributes, 2, "y");
    Register(vm, vm.ddClass, "setattributes", classSetAttributes, 3, "y");
    Register(vm, vm.ddClass, "rawin", classRawIn, 2, "yx");
    Register(vm, vm.ddClass, "instance", classInstance, 1, "y");
    Register(vm, vm.ddClass, "weakref", weakref, 1, "y");
    Register(vm, vm.ddClass, "tostring", tostring, 1, "y");

    vm.ddInstance = make();
    Register(vm, vm.ddInstance, "getclass", instGetClass, 1, "x");
    Register(vm, vm.ddInstance, "rawin", classRawIn, 2, "yx");
    Register(vm, vm.ddInstance, "weakref", weakref, 1, "x");
    Register(vm, vm.ddInstance, "tostring", tostring, 1, "x");

    vm.ddWeakRef = make();
    Register(vm, vm.ddWeakRef, "ref", weakRef, 1, "r");
    Register(vm, vm.ddWeakRef, "weakref", weakref, 1, "r");
    Register(vm, vm.ddWeakRef, "tostring", tostring, 1, "r");

    vm.ddThread = make();
    Register(vm, vm.ddThread, "call", ThreadCall, -1, "v");
    Register(vm, vm.ddThread, "wakeup", ThreadWakeup, -1, "v");
    Register(vm, vm.ddThread, "getstatus", ThreadStatus, 1, "v");
    Register(vm, vm.ddThread, "weakref", weakref, 1, "v");
    Register(vm, vm.ddThread, "tostring", tostring, 1, "v");
}

}  // namespace sq
