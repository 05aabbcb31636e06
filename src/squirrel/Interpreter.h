// Internal entry points shared by the interpreter, the semantics and the libraries.
#pragma once

#include "squirrel/Vm.h"

namespace sq {

// Calls the callable at stack[funcIndex] with `this` and nargs arguments above it; on return the
// stack top is funcIndex again.
// makeGenerators: an ordinary script call creates a generator from a generator function; the
// call helpers (call, acall, metamethods, host calls) run its body as a plain function.
Value CallAt(Vm& vm, ExecState& ex, uint32_t funcIndex, int nargs, bool makeGenerators = true);
void RegisterDefaultDelegates(Vm& vm);
void RegisterBaseLibrary(Vm& vm);
// Formats a float the way scripts print it (%g).
std::string FormatFloat(float f);
// Argument checking for natives: raises the standard parameter errors.
// The suspend() native; the interpreter recognises it to park a thread.
Value SuspendNative(Vm& vm, CallContext& c);
void CheckNativeArgs(Vm& vm, NativeClosure* nc, CallContext& c);

}  // namespace sq
