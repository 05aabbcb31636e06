// A native as registered into a script engine: its global name and its function.
#pragma once

#include <span>

#include "script/ScriptHost.h"

namespace halvex {

struct NativeEntry {
    const char* name;
    NativeFunction function;
};

using NativeTable = std::span<const NativeEntry>;

}  // namespace halvex
