// Value: the 16-byte tagged value every part of the engine passes around.
#pragma once

#include <cstdint>
#include <cstring>

namespace sq {

enum class T : uint8_t {
    Null, Bool, Int, Float, UserPtr,  // plain values
    String, Table, Array, Closure, Native, Class, Instance, Generator, UserData, Thread, WeakRef,
    Proto  // compiled function body, never visible to scripts
};

struct Obj;
struct String;
struct Table;
struct Array;
struct Closure;
struct NativeClosure;
struct Class;
struct Instance;
struct Generator;
struct UserData;
struct Thread;
struct WeakRef;

// A float truncated toward zero. NaN and values outside the 32-bit range give INT32_MIN, as x86
// does (the language leaves them undefined); a plain cast would be undefined behaviour here.
inline int32_t TruncateToInt(float f) {
    if (f >= -2147483648.0f && f < 2147483648.0f) return static_cast<int32_t>(f);
    return INT32_MIN;
}

struct Value {
    T t = T::Null;
    union {
        int32_t i;
        float f;
        bool b;
        void* p;
        Obj* o;
        String* s;
        Table* tab;
        Array* arr;
        Closure* cl;
        NativeClosure* nc;
        Class* cls;
        Instance* ins;
        Generator* gen;
        UserData* ud;
        Thread* th;
        WeakRef* wr;
    };
    Value() : p(nullptr) {}
    static Value Int(int32_t v) { Value r; r.t = T::Int; r.i = v; return r; }
    static Value Float(float v) { Value r; r.t = T::Float; r.p = nullptr; r.f = v; return r; }
    static Value Bool(bool v) { Value r; r.t = T::Bool; r.p = nullptr; r.b = v; return r; }
    static Value Ptr(void* v) { Value r; r.t = T::UserPtr; r.p = v; return r; }
    static Value Object(T type, Obj* obj) { Value r; r.t = type; r.o = obj; return r; }

    bool isNull() const { return t == T::Null; }
    bool isNumber() const { return t == T::Int || t == T::Float; }
    bool isObject() const { return t >= T::String; }
    float toFloat() const { return t == T::Int ? static_cast<float>(i) : f; }
    int32_t toInt() const { return t == T::Int ? i : TruncateToInt(f); }
    // Truthiness: null, false, 0 and 0.0 are false.
    bool truthy() const {
        switch (t) {
        case T::Null: return false;
        case T::Bool: return b;
        case T::Int: return i != 0;
        case T::Float: return f != 0.0f;
        default: return true;
        }
    }
};

// Identity / raw equality used by tables and ==: floats by bit pattern.
inline bool RawEqual(const Value& a, const Value& b) {
    if (a.t != b.t) return false;
    switch (a.t) {
    case T::Null: return true;
    case T::Bool: return a.b == b.b;
    case T::Int: return a.i == b.i;
    case T::Float: { uint32_t x, y; std::memcpy(&x, &a.f, 4); std::memcpy(&y, &b.f, 4); return x == y; }
    default: return a.p == b.p;
    }
}

const char* TypeName(T t);

}  // namespace sq
