// math library: computes in double, returns single-precision floats.
#include <cmath>
#include <cstdlib>

#include "squirrel/NativeArgs.h"

namespace sq {

namespace {

double num(CallContext& c, int i) { return static_cast<double>(c.arg(i).toFloat()); }
Value f(double d) { return Value::Float(static_cast<float>(d)); }

Value mAbs(Vm&, CallContext& c) {
    const int32_t v = c.arg(1).toInt();
    return Value::Int(v < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(v)) : v);
}
Value mFabs(Vm&, CallContext& c) { return f(std::fabs(num(c, 1))); }
Value mSqrt(Vm&, CallContext& c) { return f(std::sqrt(num(c, 1))); }
Value mSin(Vm&, CallContext& c) { return f(std::sin(num(c, 1))); }
Value mCos(Vm&, CallContext& c) { return f(std::cos(num(c, 1))); }
Value mTan(Vm&, CallContext& c) { return f(std::tan(num(c, 1))); }
Value mAsin(Vm&, CallContext& c) { return f(std::asin(num(c, 1))); }
Value mAcos(Vm&, CallContext& c) { return f(std::acos(num(c, 1))); }
Value mAtan(Vm&, CallContext& c) { return f(std::atan(num(c, 1))); }
Value mAtan2(Vm&, CallContext& c) { return f(std::atan2(num(c, 1), num(c, 2))); }
Value mPow(Vm&, CallContext& c) { return f(std::pow(num(c, 1), num(c, 2))); }
Value mExp(Vm&, CallContext& c) { return f(std::exp(num(c, 1))); }
Value mLog(Vm&, CallContext& c) { return f(std::log(num(c, 1))); }
Value mLog10(Vm&, CallContext& c) { return f(std::log10(num(c, 1))); }
Value mFloor(Vm&, CallContext& c) { return f(std::floor(num(c, 1))); }
Value mCeil(Vm&, CallContext& c) { return f(std::ceil(num(c, 1))); }
Value mRand(Vm&, CallContext&) { return Value::Int(std::rand()); }
Value mSrand(Vm& vm, CallContext&) { vm.raise("invalid param"); }

}  // namespace

void RegisterMathLibrary(Vm& vm) {
    Table* r = vm.root;
    Register(vm, r, "abs", mAbs, 2, ". n");
    Register(vm, r, "fabs", mFabs, 2, ". n");
    Register(vm, r, "sqrt", mSqrt, 2, ". n");
    Register(vm, r, "sin", mSin, 2, ". n");
    Register(vm, r, "cos", mCos, 2, ". n");
    Register(vm, r, "tan", mTan, 2, ". n");
    Register(vm, r, "asin", mAsin, 2, ". n");
    Register(vm, r, "acos", mAcos, 2, ". n");
    Register(vm, r, "atan", mAtan, 2, ". n");
    Register(vm, r, "atan2", mAtan2, 3, ". n n");
    Register(vm, r, "pow", mPow, 3, ". n n");
    Register(vm, r, "exp", mExp, 2, ". n");
    Register(vm, r, "log", mLog, 2, ". n");
    Register(vm, r, "log10", mLog10, 2, ". n");
    Register(vm, r, "floor", mFloor, 2, ". n");
    Register(vm, r, "ceil", mCeil, 2, ". n");
    Register(vm, r, "rand", mRand, 1);
    Register(vm, r, "srand", mSrand, 2, ". n");
    r->set(vm.str("RAND_MAX"), Value::Int(RAND_MAX));
    r->set(vm.str("PI"), Value::Float(3.14159265358979323846f));
}

}  // namespace sq
