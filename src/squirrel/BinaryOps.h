// Binary operators shared by the plain stack instructions and the fused ones that take their right
// operand from a constant or a local: one fast path for numbers, one slow path for the rest.
#pragma once

#include <string>

#include "squirrel/Opcodes.h"
#include "squirrel/Vm.h"

namespace sq {

// Arithmetic, bitwise and ordering operators may take a fused operand.
inline bool IsFusableBinary(Op op) {
    return (op >= OP_ADD && op <= OP_MOD) || (op >= OP_BAND && op <= OP_USHR) || (op >= OP_LT && op <= OP_GE);
}

inline bool IsOrdering(Op op) { return op >= OP_LT && op <= OP_GE; }

inline bool OrderingHolds(Op op, int c) {
    switch (op) {
    case OP_LT: return c < 0;
    case OP_LE: return c <= 0;
    case OP_GT: return c > 0;
    default: return c >= 0;
    }
}

// a = a op b for integer pairs and plain float arithmetic; false leaves a untouched and asks for
// the slow path (errors, zero and -1 divisors, float modulo, metamethods, strings).
inline bool FastBinary(Op op, Value& a, const Value& b) {
    if (a.t == T::Int && b.t == T::Int) {
        const int32_t x = a.i, y = b.i;
        const uint32_t ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y);
        switch (op) {
        case OP_ADD: a.i = static_cast<int32_t>(ux + uy); return true;
        case OP_SUB: a.i = static_cast<int32_t>(ux - uy); return true;
        case OP_MUL: a.i = static_cast<int32_t>(ux * uy); return true;
        case OP_DIV: if (y <= 0) return false; a.i = x / y; return true;
        case OP_MOD: if (y <= 0) return false; a.i = x % y; return true;
        case OP_BAND: a.i = x & y; return true;
        case OP_BOR: a.i = x | y; return true;
        case OP_BXOR: a.i = x ^ y; return true;
        case OP_SHL: a.i = static_cast<int32_t>(ux << (uy & 31)); return true;
        case OP_SHR: a.i = x >> (uy & 31); return true;
        case OP_USHR: a.i = static_cast<int32_t>(ux >> (uy & 31)); return true;
        case OP_LT: a = Value::Bool(x < y); return true;
        case OP_LE: a = Value::Bool(x <= y); return true;
        case OP_GT: a = Value::Bool(x > y); return true;
        case OP_GE: a = Value::Bool(x >= y); return true;
        default: return false;
        }
    }
    if (op <= OP_DIV && op >= OP_ADD && a.isNumber() && b.isNumber()) {
        const float x = a.toFloat(), y = b.toFloat();
        float r;
        if (op == OP_ADD) r = x + y;
        else if (op == OP_SUB) r = x - y;
        else if (op == OP_MUL) r = x * y;
        else r = x / y;
        a = Value::Float(r);
        return true;
    }
    return false;
}

// Everything FastBinary declined; raises the run-time errors. May run metamethods, so the caller
// passes copies and syncs its stack first.
inline Value SlowBinary(Vm& vm, Op op, const Value a, const Value b) {
    if (op >= OP_ADD && op <= OP_MOD) {
        static const char opChar[] = {'+', '-', '*', '/', '%'};
        return vm.arith(opChar[op - OP_ADD], a, b);
    }
    if (IsOrdering(op)) return Value::Bool(OrderingHolds(op, vm.compare(a, b)));
    if (a.t != T::Int || b.t != T::Int)
        vm.raise(std::string("bitwise op between '") + RawTypeName(a) + "' and '" + RawTypeName(b) + "'");
    Value r = a;
    FastBinary(op, r, b);
    return r;
}

}  // namespace sq
