// LuaHost: the Lua 5.1 back end of ScriptHost (configuration and performance files).
#pragma once

#include "script/ScriptHost.h"

struct lua_State;
struct lua_Debug;

namespace halvex {

class LuaHost final : public ScriptHost {
public:
    LuaHost();
    ~LuaHost() override;
    LuaHost(const LuaHost&) = delete;
    LuaHost& operator=(const LuaHost&) = delete;

    int LoadScript(const char* path) override;
    int GetValue(ScriptValue& out, const ScriptPath& path) override;
    int SetValue(const ScriptPath& path, const ScriptValue& value) override;
    int CallFunction(ScriptValue& out, const ScriptPath& path, const ScriptValue& args, bool wantResult) override;
    int RegisterNative(NativeFunction fn, const char* name) override;
    std::string LastError() const override { return lastError_; }

    // A chunk or call that runs longer than this many VM instructions fails with a script error,
    // so a configuration file that never ends cannot freeze the simulator.
    void SetInstructionBudget(long instructions) { budget_ = instructions; }

private:
    void open();
    void close();
    [[noreturn]] void fail();              // records the message on top, closes, raises
    bool pushPath(const ScriptPath& path);  // leaves the value at path on top; false if unreachable
    static int readTop(lua_State* L, ScriptValue& out);

    void armBudget();
    static void budgetHook(lua_State* L, lua_Debug* ar);

    lua_State* state_ = nullptr;
    std::string lastError_;
    long budget_ = 200'000'000;
    long remaining_ = 0;
};

}  // namespace halvex
