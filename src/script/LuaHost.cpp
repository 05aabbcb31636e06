#include "script/LuaHost.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

namespace halvex {

using CG_SCRIPT_CLS::C_ScriptError;

namespace {

constexpr int kResultIndex = -1;  // results are always read from the top
constexpr int kHookInterval = 10000;  // instructions between budget checks
const char* const kHostKey = "halvex.host";  // registry slot of the owning LuaHost

void openLibrary(lua_State* L, lua_CFunction opener, const char* name) {
    lua_pushcfunction(L, opener);
    lua_pushstring(L, name);
    lua_call(L, 1, 0);
}

void pushValue(lua_State* L, const ScriptValue& v) {
    switch (v.kind()) {
    case ScriptKind::Bool: lua_pushboolean(L, v.asBool()); break;
    case ScriptKind::String: lua_pushlstring(L, v.text().data(), v.text().size()); break;
    case ScriptKind::Integer:
    case ScriptKind::Real: lua_pushnumber(L, v.asReal()); break;
    case ScriptKind::Pointer: lua_pushlightuserdata(L, v.pointer()); break;
    case ScriptKind::None: break;
    }
}

void pushKey(lua_State* L, const ScriptValue& key) {
    if (key.kind() == ScriptKind::String)
        lua_pushlstring(L, key.text().data(), key.text().size());
    else
        lua_pushnumber(L, key.asReal());
}

// Every native registered from C++ goes through this one closure body.
int trampoline(lua_State* L) {
    auto fn = reinterpret_cast<NativeFunction>(lua_touserdata(L, lua_upvalueindex(1)));
    ScriptValue args;
    const int top = lua_gettop(L);
    for (int i = 1; i <= top; ++i) {
        switch (lua_type(L, i)) {
        case LUA_TBOOLEAN: args.append(ScriptValue::Bool(lua_toboolean(L, i) != 0)); break;
        case LUA_TLIGHTUSERDATA: args.append(ScriptValue::Pointer(lua_touserdata(L, i))); break;
        case LUA_TNUMBER: args.append(ScriptValue::Real(lua_tonumber(L, i))); break;
        case LUA_TSTRING: {
            size_t len = 0;
            const char* s = lua_tolstring(L, i, &len);
            args.append(ScriptValue::String(std::string(s, len)));
            break;
        }
        default: break;  // tables, functions, nil: not for natives
        }
    }
    ScriptValue results;
    const int count = fn(results, args);
    int pushed = 0;
    for (const ScriptValue* r = &results; r && pushed < count; r = r->next(), ++pushed) {
        if (r->isNone()) lua_pushnil(L);
        else pushValue(L, *r);
    }
    return pushed;
}

}  // namespace

LuaHost::LuaHost() { open(); }

LuaHost::~LuaHost() { close(); }

void LuaHost::open() {
    state_ = luaL_newstate();
    openLibrary(state_, luaopen_base, "");
    openLibrary(state_, luaopen_string, LUA_STRLIBNAME);
    openLibrary(state_, luaopen_table, LUA_TABLIBNAME);
    openLibrary(state_, luaopen_math, LUA_MATHLIBNAME);
    openLibrary(state_, luaopen_debug, LUA_DBLIBNAME);
    lua_pushlightuserdata(state_, this);
    lua_setfield(state_, LUA_REGISTRYINDEX, kHostKey);
    lua_sethook(state_, budgetHook, LUA_MASKCOUNT, kHookInterval);
}

void LuaHost::budgetHook(lua_State* L, lua_Debug*) {
    lua_getfield(L, LUA_REGISTRYINDEX, kHostKey);
    auto* host = static_cast<LuaHost*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    if (host && (host->remaining_ -= kHookInterval) < 0) luaL_error(L, "instruction budget exceeded");
}

void LuaHost::armBudget() { remaining_ = budget_; }

void LuaHost::close() {
    if (state_) lua_close(state_);
    state_ = nullptr;
}

void LuaHost::fail() {
    const char* msg = lua_tostring(state_, -1);
    lastError_ = msg ? msg : "unknown error";
    close();
    throw C_ScriptError(2, lastError_);
}

int LuaHost::LoadScript(const char* path) {
    if (!state_) open();  // a failed load closed the previous state; start afresh
    armBudget();
    if (luaL_loadfile(state_, path) != 0 || lua_pcall(state_, 0, 0, 0) != 0) fail();
    return 0;
}

bool LuaHost::pushPath(const ScriptPath& path) {
    if (path.kind() != ScriptKind::String) return false;
    lua_getglobal(state_, path.text().c_str());
    for (const ScriptValue* key = path.next(); key; key = key->next()) {
        if (!lua_istable(state_, -1)) return false;
        pushKey(state_, *key);
        lua_gettable(state_, -2);
        lua_remove(state_, -2);
    }
    return true;
}

int LuaHost::readTop(lua_State* L, ScriptValue& out) {
    switch (lua_type(L, kResultIndex)) {
    case LUA_TBOOLEAN: out = ScriptValue::Bool(lua_toboolean(L, kResultIndex) != 0); return 0;
    case LUA_TNUMBER: out = ScriptValue::Real(lua_tonumber(L, kResultIndex)); return 0;
    case LUA_TSTRING: {
        size_t len = 0;
        const char* s = lua_tolstring(L, kResultIndex, &len);
        out = ScriptValue::String(std::string(s, len));
        return 0;
    }
    default: return -1;
    }
}

int LuaHost::GetValue(ScriptValue& out, const ScriptPath& path) {
    if (!state_) return -1;
    lua_settop(state_, 0);
    const int result = pushPath(path) ? readTop(state_, out) : -1;
    lua_settop(state_, 0);
    return result;
}

int LuaHost::SetValue(const ScriptPath& path, const ScriptValue& value) {
    if (!state_ || path.kind() != ScriptKind::String) return 0;
    lua_settop(state_, 0);
    if (!path.next()) {
        pushValue(state_, value);
        if (lua_gettop(state_) == 1) lua_setglobal(state_, path.text().c_str());
        lua_settop(state_, 0);
        return 0;
    }
    // Walk to the container that holds the last key.
    lua_getglobal(state_, path.text().c_str());
    const ScriptValue* key = path.next();
    for (; key->next(); key = key->next()) {
        if (!lua_istable(state_, -1)) break;
        pushKey(state_, *key);
        lua_gettable(state_, -2);
    }
    if (!key->next() && lua_istable(state_, -1) && !value.isNone()) {
        pushKey(state_, *key);
        pushValue(state_, value);
        lua_settable(state_, -3);
    }
    lua_settop(state_, 0);
    return 0;
}

int LuaHost::CallFunction(ScriptValue& out, const ScriptPath& path, const ScriptValue& args, bool wantResult) {
    if (!state_) throw C_ScriptError(2, "no Lua state");
    lua_settop(state_, 0);
    pushPath(path);
    int argc = 0;
    if (!args.isNone()) {
        for (const ScriptValue* a = &args; a; a = a->next()) {
            if (a->kind() == ScriptKind::Bool || a->isNone()) continue;  // Bool arguments are not passed
            pushValue(state_, *a);
            ++argc;
        }
    }
    armBudget();
    if (lua_pcall(state_, argc, wantResult ? 1 : 0, 0) != 0) {
        const char* msg = lua_tostring(state_, -1);
        lastError_ = msg ? msg : "unknown error";
        lua_settop(state_, 0);
        throw C_ScriptError(2, lastError_);
    }
    if (wantResult) readTop(state_, out);
    lua_settop(state_, 0);
    return 0;
}

int LuaHost::RegisterNative(NativeFunction fn, const char* name) {
    if (!state_) return 0;
    lua_pushlightuserdata(state_, reinterpret_cast<void*>(fn));
    lua_pushcclosure(state_, trampoline, 1);
    lua_setglobal(state_, name);
    return 0;
}

}  // namespace halvex
