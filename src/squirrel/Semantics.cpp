// Semantics of indexing, arithmetic, comparison and conversion shared by the interpreter and the
// libraries.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "squirrel/Interpreter.h"
#include "squirrel/Vm.h"

namespace sq {

namespace {

Value deref(const Value& v) {
    if (v.t == T::WeakRef) return v.wr->target;
    return v;
}

bool indexOf(const Value& key, int32_t& idx) {
    if (key.t == T::Int) { idx = key.i; return true; }
    if (key.t == T::Float) { idx = TruncateToInt(key.f); return true; }
    return false;
}

}  // namespace

std::string FormatFloat(float f) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", static_cast<double>(f));
    return buf;
}

Value Vm::metaOf(const Value& obj, MetaMethod mm) {
    switch (obj.t) {
    case T::Table:
        if (obj.tab->delegate) {
            if (Value* v = obj.tab->delegate->findString(metaNames[mm])) return *v;
        }
        return Value();
    case T::Instance: return obj.ins->cls->meta[mm];
    case T::Class: return (mm == MM_INHERITED || mm == MM_NEWMEMBER) ? obj.cls->meta[mm] : Value();
    case T::UserData:
        if (obj.ud->delegate) {
            if (Value* v = obj.ud->delegate->findString(metaNames[mm])) return *v;
        }
        return Value();
    default: return Value();
    }
}

bool Vm::callMeta(const Value& obj, MetaMethod mm, const Value* args, int nargs, Value& out) {
    const Value fn = metaOf(obj, mm);
    if (fn.t != T::Closure && fn.t != T::Native) return false;
    const Value savedHandler = errorHandler;
    errorHandler = Value();  // errors inside metamethods never reach the handler
    try {
        out = call(fn, obj, args, nargs);
    } catch (const ScriptThrow&) {
        errorHandler = savedHandler;
        return false;
    }
    errorHandler = savedHandler;
    return true;
}

Value Vm::defaultDelegateMethod(const Value& obj, const Value& key, bool& found) {
    Table* dd = nullptr;
    switch (obj.t) {
    case T::Table: dd = ddTable; break;
    case T::Array: dd = ddArray; break;
    case T::String: dd = ddString; break;
    case T::Int: case T::Float: case T::Bool: dd = ddNumber; break;
    case T::Closure: case T::Native: dd = ddFunction; break;
    case T::Generator: dd = ddGenerator; break;
    case T::Class: dd = ddClass; break;
    case T::Instance: dd = ddInstance; break;
    case T::Thread: dd = ddThread; break;
    case T::WeakRef: dd = ddWeakRef; break;
    default: break;
    }
    if (dd) {
        if (Value* v = dd->find(key)) { found = true; return *v; }
    }
    found = false;
    return Value();
}

bool Vm::tryGet(const Value& obj, const Value& key, Value& out, bool rootFallback) {
    bool found = false;
    switch (obj.t) {
    case T::Table: {
        for (Table* t = obj.tab; t; t = t->delegate) {
            if (Value* v = t->find(key)) { out = deref(*v); return true; }
        }
        if (obj.tab->delegate) {
            // The delegate is a table too, so its read already finds the default methods.
            if (Value* v = ddTable->find(key)) { out = *v; return true; }
            const Value k = key;
            if (callMeta(obj, MM_GET, &k, 1, out)) return true;
        }
        break;
    }
    case T::Array: {
        int32_t idx;
        if (indexOf(key, idx)) {
            if (idx >= 0 && static_cast<size_t>(idx) < obj.arr->items.size()) { out = deref(obj.arr->items[idx]); return true; }
            return false;
        }
        break;
    }
    case T::String: {
        int32_t idx;
        if (indexOf(key, idx)) {
            if (idx >= 0 && static_cast<uint32_t>(idx) < obj.s->len) {
                out = Value::Int(static_cast<signed char>(obj.s->text[idx]));
                return true;
            }
            return false;
        }
        break;
    }
    case T::Instance: {
        Class* c = obj.ins->cls;
        const int m = c->findMember(key);
        if (m >= 0) {
            out = deref(c->members[m].kind == MemberKind::Field ? obj.ins->values[m] : c->members[m].value);
            return true;
        }
        if (c->meta[MM_GET].t != T::Null) {
            const Value k = key;
            if (callMeta(obj, MM_GET, &k, 1, out)) return true;
        }
        break;
    }
    case T::Class: {
        const int m = obj.cls->findMember(key);
        if (m >= 0) { out = deref(obj.cls->members[m].value); return true; }
        break;
    }
    case T::UserData:
        if (obj.ud->delegate) {
            if (Value* v = obj.ud->delegate->find(key)) { out = *v; return true; }
            const Value k = key;
            if (callMeta(obj, MM_GET, &k, 1, out)) return true;
        }
        if (rootFallback) break;
        return false;
    default: break;
    }
    out = defaultDelegateMethod(obj, key, found);
    if (found) return true;
    if (rootFallback) {
        if (Value* v = root->find(key)) { out = deref(*v); return true; }
    }
    return false;
}

Value Vm::get(const Value& obj, const Value& key, bool rootFallback) {
    Value out;
    if (tryGet(obj, key, out, rootFallback)) return out;
    raise("the index '" + KeyText(key) + "' does not exist");
}

bool Vm::trySet(const Value& obj, const Value& key, const Value& val, bool rootFallback) {
    switch (obj.t) {
    case T::Table: {
        for (Table* t = obj.tab; t; t = t->delegate) {
            if (Value* v = t->find(key)) { *v = val; return true; }
        }
        if (obj.tab->delegate && metaOf(obj, MM_SET).t != T::Null) {
            const Value args[2] = {key, val};
            Value ignored;
            if (callMeta(obj, MM_SET, args, 2, ignored)) return true;
        }
        break;
    }
    case T::Array: {
        int32_t idx;
        if (indexOf(key, idx) && idx >= 0 && static_cast<size_t>(idx) < obj.arr->items.size()) {
            obj.arr->items[idx] = val;
            return true;
        }
        return false;
    }
    case T::Instance: {
        Class* c = obj.ins->cls;
        const int m = c->findMember(key);
        if (m >= 0 && c->members[m].kind == MemberKind::Field) { obj.ins->values[m] = val; return true; }
        if (m < 0 && c->meta[MM_SET].t != T::Null) {
            const Value args[2] = {key, val};
            Value ignored;
            if (callMeta(obj, MM_SET, args, 2, ignored)) return true;
        }
        break;
    }
    case T::UserData:
        if (obj.ud->delegate && metaOf(obj, MM_SET).t != T::Null) {
            const Value args[2] = {key, val};
            Value ignored;
            if (callMeta(obj, MM_SET, args, 2, ignored)) return true;
        }
        break;
    default: break;
    }
    if (rootFallback) {
        if (Value* v = root->find(key)) { *v = val; return true; }
    }
    return false;
}

void Vm::set(const Value& obj, const Value& key, const Value& val, bool rootFallback) {
    if (!trySet(obj, key, val, rootFallback)) raise("the index '" + KeyText(key) + "' does not exist");
}

void Vm::newSlot(const Value& obj, const Value& key, const Value& val) {
    if (obj.t == T::Table) {
        if (key.t == T::Null) raise("null cannot be used as index");
        Table* t = obj.tab;
        if (t->delegate && !t->find(key) && metaOf(obj, MM_NEWSLOT).t != T::Null) {
            const Value args[2] = {key, val};
            Value ignored;
            if (callMeta(obj, MM_NEWSLOT, args, 2, ignored)) return;
        }
        t->set(key, val);
        return;
    }
    if (obj.t == T::Class) {
        if (key.t == T::Null) raise("null cannot be used as index");
        classSlot(obj.cls, key, val);
        return;
    }
    raise(std::string("indexing ") + RawTypeName(obj) + " with " + RawTypeName(key));
}

Value Vm::deleteSlot(const Value& obj, const Value& key) {
    if (obj.t == T::Table) {
        Value out;
        if (metaOf(obj, MM_DELSLOT).t != T::Null && callMeta(obj, MM_DELSLOT, &key, 1, out)) return out;
        if (obj.tab->remove(key, &out)) return out;
        raise("the index '" + KeyText(key) + "' does not exist");
    }
    if (obj.t == T::Instance) {
        Value out;
        if (obj.ins->cls->meta[MM_DELSLOT].t != T::Null && callMeta(obj, MM_DELSLOT, &key, 1, out)) return out;
        raise("cannot delete a slot from instance");
    }
    raise(std::string("attempt to delete a slot from a ") + RawTypeName(obj));
}

Value Vm::arith(int op, const Value& a, const Value& b) {
    if (a.t == T::Int && b.t == T::Int) {
        const uint32_t x = static_cast<uint32_t>(a.i), y = static_cast<uint32_t>(b.i);
        switch (op) {
        case '+': return Value::Int(static_cast<int32_t>(x + y));
        case '-': return Value::Int(static_cast<int32_t>(x - y));
        case '*': return Value::Int(static_cast<int32_t>(x * y));
        case '/':
            if (b.i == 0) raise("division by zero");
            if (a.i == INT32_MIN && b.i == -1) raise("integer overflow");
            return Value::Int(a.i / b.i);
        case '%':
            if (b.i == 0) raise("modulo by zero");
            if (b.i == -1) return Value::Int(0);
            return Value::Int(a.i % b.i);
        }
    }
    if (a.isNumber() && b.isNumber()) {
        const float x = a.toFloat(), y = b.toFloat();
        switch (op) {
        case '+': return Value::Float(x + y);
        case '-': return Value::Float(x - y);
        case '*': return Value::Float(x * y);
        case '/': return Value::Float(x / y);
        case '%': return Value::Float(std::fmod(x, y));
        }
    }
    if (op == '+' && (a.t == T::String || b.t == T::String)) {
        // Sized once so the bytes are copied once; short results stay in the inline buffer.
        // A view of a's bytes is kept only when nothing below can run a script (and so collect).
        const bool viewLeft = a.t == T::String && (b.t == T::String || b.t == T::Int);
        const std::string left = viewLeft ? std::string() : a.t == T::String ? a.s->text : toString(a);
        const std::string_view leftText = viewLeft ? a.s->view() : std::string_view(left);
        char buf[16];
        std::string right;
        std::string_view rightText;
        if (b.t == T::String) rightText = b.s->view();
        else if (b.t == T::Int) rightText = std::string_view(buf, static_cast<size_t>(std::snprintf(buf, sizeof buf, "%d", b.i)));
        else { right = toString(b); rightText = right; }
        std::string out;
        out.reserve(leftText.size() + rightText.size());
        out.append(leftText);
        out.append(rightText);
        return strOwned(std::move(out));
    }
    if (a.t == T::Table || a.t == T::Instance || a.t == T::UserData) {
        MetaMethod mm = op == '+' ? MM_ADD : op == '-' ? MM_SUB : op == '*' ? MM_MUL : op == '/' ? MM_DIV : MM_MODULO;
        Value out;
        if (callMeta(a, mm, &b, 1, out)) return out;
    }
    raise(std::string("arith op ") + static_cast<char>(op) + " on between '" + RawTypeName(a) + "' and '" + RawTypeName(b) + "'");
}

namespace {
std::string comparePart(Vm& vm, const Value& v) {
    std::string s;
    if (v.t == T::String) s = v.s->text;
    else if (v.t == T::Int) s = std::to_string(v.i);
    else if (v.t == T::Float) { char b[64]; std::snprintf(b, sizeof b, "%.14g", static_cast<double>(v.f)); s = b; }
    else s = RawTypeName(v);
    (void)vm;
    if (s.size() > 50) s.resize(50);
    return s;
}
}  // namespace

int Vm::compare(const Value& a, const Value& b) {
    if (a.t == b.t) {
        if (RawEqual(a, b)) return 0;
        switch (a.t) {
        case T::Int: return a.i < b.i ? -1 : 1;
        case T::Float: return a.f < b.f ? -1 : 1;
        case T::String: {
            const int r = std::strcmp(a.s->c_str(), b.s->c_str());
            return r < 0 ? -1 : r > 0 ? 1 : 0;
        }
        case T::Table: case T::Instance: case T::UserData: {
            Value out;
            if (metaOf(a, MM_CMP).t != T::Null && callMeta(a, MM_CMP, &b, 1, out) && out.t == T::Int) return out.i;
            break;
        }
        default: break;
        }
    } else if (a.isNumber() && b.isNumber()) {
        const float x = a.toFloat(), y = b.toFloat();
        return x < y ? -1 : x > y ? 1 : 0;
    } else if (a.t == T::Null) {
        return -1;
    } else if (b.t == T::Null) {
        return 1;
    }
    raise("comparsion between '" + comparePart(*this, a) + "' and '" + comparePart(*this, b) + "'");
}

std::string Vm::toString(const Value& v) {
    char buf[64];
    switch (v.t) {
    case T::String: return v.s->text;
    case T::Int: std::snprintf(buf, sizeof buf, "%d", v.i); return buf;
    case T::Float: return FormatFloat(v.f);
    case T::Bool: return v.b ? "true" : "false";
    case T::Null: return "(null : 0x(nil))";
    case T::Table: case T::Instance: case T::UserData: {
        Value out;
        if (metaOf(v, MM_TOSTRING).t != T::Null && callMeta(v, MM_TOSTRING, nullptr, 0, out) && out.t == T::String)
            return out.s->text;
        break;
    }
    default: break;
    }
    // "%p" brings its own "0x" on some C libraries and none on others: print the digits ourselves.
    std::snprintf(buf, sizeof buf, "(%s : 0x%" PRIxPTR ")", typeOf(v).c_str(), reinterpret_cast<uintptr_t>(v.p));
    return buf;
}

Value Vm::toStringValue(const Value& v) {
    if (v.t == T::String) return v;
    return str(toString(v));
}

std::string Vm::typeOf(const Value& v) {
    if (v.t == T::Table || v.t == T::Instance || v.t == T::UserData) {
        Value out;
        if (metaOf(v, MM_TYPEOF).t != T::Null && callMeta(v, MM_TYPEOF, nullptr, 0, out) && out.t == T::String)
            return out.s->text;
    }
    return RawTypeName(v);
}

Value Vm::cloneValue(const Value& v) {
    switch (v.t) {
    case T::Table: {
        Table* t = newTable();
        for (uint32_t i = 0; i < v.tab->capacity; ++i)
            if (v.tab->nodes[i].key.t != T::Null) t->set(v.tab->nodes[i].key, v.tab->nodes[i].val);
        t->delegate = v.tab->delegate;
        const Value nv = Value::Object(T::Table, t);
        Value ignored;
        push(nv);
        if (metaOf(nv, MM_CLONED).t != T::Null) callMeta(nv, MM_CLONED, &v, 1, ignored);
        pop();
        return nv;
    }
    case T::Array: {
        Array* a = newArray();
        a->items = v.arr->items;
        return Value::Object(T::Array, a);
    }
    case T::Instance: {
        if (v.ins->release) raise("cloning a instance");
        Instance* in = alloc<Instance>(v.ins->cls);
        in->values = v.ins->values;
        const Value nv = Value::Object(T::Instance, in);
        Value ignored;
        push(nv);
        if (in->cls->meta[MM_CLONED].t != T::Null) callMeta(nv, MM_CLONED, &v, 1, ignored);
        pop();
        return nv;
    }
    default: raise(std::string("cloning a ") + RawTypeName(v));
    }
}

bool Vm::inOp(const Value& key, const Value& c) {
    switch (c.t) {
    case T::Table:
        for (Table* t = c.tab; t; t = t->delegate)
            if (t->find(key)) return true;
        return false;
    case T::Array: {
        int32_t idx;
        return indexOf(key, idx) && idx >= 0 && static_cast<size_t>(idx) < c.arr->items.size();
    }
    case T::String: {
        int32_t idx;
        return indexOf(key, idx) && static_cast<uint32_t>(idx < 0 ? -static_cast<int64_t>(idx) : idx) < c.s->len;
    }
    case T::Instance: return c.ins->cls->findMember(key) >= 0;
    case T::Class: return c.cls->findMember(key) >= 0;
    default: return false;
    }
}

bool Vm::instanceOf(const Value& v, const Value& cls) {
    if (cls.t != T::Class || v.t != T::Instance)
        raise(std::string("cannot apply instanceof between a ") + RawTypeName(cls) + " and a " + RawTypeName(v));
    for (Class* c = v.ins->cls; c; c = c->base)
        if (c == cls.cls) return true;
    return false;
}

}  // namespace sq
