// ScriptHost: the one interface behind which both script languages sit.
// Callers exchange data only through ScriptValue lists, so nothing above depends on the language.
#pragma once

#include <string>

#include "script/ScriptValue.h"

namespace halvex {

// A native takes (results, arguments) and returns how many results it produced.
using NativeFunction = int (*)(ScriptValue& results, const ScriptValue& args);

class ScriptHost {
public:
    virtual ~ScriptHost() = default;

    // 0 on success. Squirrel returns -1 on failure; Lua raises C_ScriptError.
    virtual int LoadScript(const char* path) = 0;
    // 0 on success, -1 when the value cannot be read; out is overwritten only on success.
    virtual int GetValue(ScriptValue& out, const ScriptPath& path) = 0;
    virtual int SetValue(const ScriptPath& path, const ScriptValue& value) = 0;
    // Calls the function at path with args (a head of kind None means no arguments).
    virtual int CallFunction(ScriptValue& out, const ScriptPath& path, const ScriptValue& args, bool wantResult) = 0;
    virtual int RegisterNative(NativeFunction fn, const char* name) = 0;
    virtual std::string LastError() const = 0;
};

}  // namespace halvex
