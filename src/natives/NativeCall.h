// NativeCall: reading a native's arguments and returning its results by the CDU conventions.
// The first script argument is the core; "argument i" below counts from the one after it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "script/ScriptValue.h"

namespace halvex {

class FmsCore;

class NativeCall {
public:
    NativeCall(ScriptValue& results, const ScriptValue& args);

    FmsCore* core() const { return core_; }
    int count() const { return count_; }  // the native's own arguments
    // True when the core is there and at least n own arguments were given.
    bool has(int n) const { return core_ && count_ >= n; }

    int32_t integer(int i) const;    // Real truncated towards zero, Bool as 0 or 1
    double real(int i) const;
    std::string text(int i) const;   // empty unless a String
    bool flag(int i, bool absent) const;

    int none() const { return 0; }
    int result(ScriptValue v);  // one direct result
    // Several results: into "g_multiReturnVals" when multi, else all as direct results.
    int results(std::initializer_list<ScriptValue> values, bool multi);

private:
    const ScriptValue* arg(int i) const;

    ScriptValue& results_;
    const ScriptValue* first_ = nullptr;  // the argument after the core
    FmsCore* core_ = nullptr;
    int count_ = 0;
};

}  // namespace halvex
