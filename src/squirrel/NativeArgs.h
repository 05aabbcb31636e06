// Small helpers for writing natives: registration and argument reading.
#pragma once

#include "squirrel/Interpreter.h"

namespace sq {

inline void Register(Vm& vm, Table* t, const char* name, NativeFn fn, int params = 0, const char* mask = nullptr) {
    t->set(vm.str(name), Value::Object(T::Native, vm.newNative(fn, name, params, mask)));
}

inline Value Obj_(T t, Obj* o) { return Value::Object(t, o); }

}  // namespace sq
