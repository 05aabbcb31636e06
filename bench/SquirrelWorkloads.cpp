// Engine workloads: fib, numeric loops, method calls, string-keyed tables, sort with a compare
// function and string building with format, each in the page-script engine and in Lua 5.1.
#include "SquirrelWorkloads.h"

#include <benchmark/benchmark.h>

#include <string>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "squirrel/Api.h"

const Workload kWorkloads[] = {
    {"fib34",
     "function fib(n) { if (n < 2) return n; return fib(n - 1) + fib(n - 2) }\n"
     "function run() { return fib(34) }",
     "local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end\n"
     "function run() return fib(34) end"},
    {"numeric_loops",
     "function run() { local s = 0.0; local k = 0\n"
     "  for (local i = 0; i < 6000000; i++) { s += i * 0.5 - (i % 7); k = k ^ (i << 1) }\n"
     "  return s + k }",
     "function run() local s = 0.0; local k = 0\n"
     "  for i = 0, 5999999 do s = s + i * 0.5 - (i % 7); k = k + i * 2 end\n"
     "  return s + k end"},
    {"method_calls",
     "class Counter { total = 0; step = 1\n"
     "  function add(n) { total += n * step; return this }\n"
     "  function get() { return total } }\n"
     "function run() { local c = Counter(); for (local i = 0; i < 3000000; i++) c.add(i & 3); return c.get() }",
     "local Counter = {}; Counter.__index = Counter\n"
     "function Counter.new() return setmetatable({total = 0, step = 1}, Counter) end\n"
     "function Counter:add(n) self.total = self.total + n * self.step; return self end\n"
     "function Counter:get() return self.total end\n"
     "function run() local c = Counter.new(); for i = 0, 2999999 do c:add(i % 4) end return c:get() end"},
    {"table_string_keys",
     "function run() { local t = {}; local n = 200000\n"
     "  for (local i = 0; i < n; i++) t[\"key\" + i] <- i\n"
     "  local s = 0\n"
     "  for (local r = 0; r < 5; r++) for (local i = 0; i < n; i++) s += t[\"key\" + i]\n"
     "  return s }",
     "function run() local t = {}; local n = 200000\n"
     "  for i = 0, n - 1 do t[\"key\" .. i] = i end\n"
     "  local s = 0\n"
     "  for r = 1, 5 do for i = 0, n - 1 do s = s + t[\"key\" .. i] end end\n"
     "  return s end"},
    {"array_sort",
     "function run() { local a = []; local x = 12345\n"
     "  for (local i = 0; i < 200000; i++) { x = (x * 1103515245 + 12345) & 0x7fffffff; a.append(x % 100000) }\n"
     "  a.sort(function(p, q) { return p - q }); return a[0] }",
     "function run() local a = {}; local x = 12345\n"
     "  for i = 1, 200000 do x = (x * 1103515245 + 12345) % 2147483648; a[i] = x % 100000 end\n"
     "  table.sort(a, function(p, q) return p < q end); return a[1] end"},
    {"string_format",
     "function run() { local parts = []; local total = 0\n"
     "  for (local i = 0; i < 300000; i++) { local s = format(\"%05d:%s:%.2f\", i, \"item\", i * 0.25); total += s.len(); if (i % 100 == 0) parts.append(s) }\n"
     "  local joined = \"\"; foreach (p in parts) joined += p\n"
     "  return total + joined.len() }",
     "function run() local parts = {}; local total = 0\n"
     "  for i = 0, 299999 do local s = string.format(\"%05d:%s:%.2f\", i, \"item\", i * 0.25); total = total + #s; if i % 100 == 0 then parts[#parts + 1] = s end end\n"
     "  local joined = \"\"; for _, p in ipairs(parts) do joined = joined .. p end\n"
     "  return total + #joined end"},
};
const int kWorkloadCount = sizeof(kWorkloads) / sizeof(kWorkloads[0]);

namespace {

void squirrelWorkload(benchmark::State& state, const Workload* w) {
    sq::Engine engine;
    engine.registerStandardLibrary();
    if (!engine.runString(w->squirrel, w->name)) {
        state.SkipWithError(engine.lastError().c_str());
        return;
    }
    for (auto _ : state) {
        sq::Value r;
        if (!engine.callPath({"run"}, {}, &r)) {
            state.SkipWithError(engine.lastError().c_str());
            return;
        }
        benchmark::DoNotOptimize(r);
    }
}

void luaWorkload(benchmark::State& state, const Workload* w) {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    if (luaL_dostring(L, w->lua) != 0) {
        state.SkipWithError(lua_tostring(L, -1));
        lua_close(L);
        return;
    }
    for (auto _ : state) {
        lua_getglobal(L, "run");
        if (lua_pcall(L, 0, 1, 0) != 0) {
            state.SkipWithError(lua_tostring(L, -1));
            break;
        }
        benchmark::DoNotOptimize(lua_tonumber(L, -1));
        lua_pop(L, 1);
    }
    lua_close(L);
}

const bool kRegistered = [] {
    for (int i = 0; i < kWorkloadCount; ++i) {
        const Workload* w = &kWorkloads[i];
        benchmark::RegisterBenchmark((std::string("squirrel/") + w->name).c_str(), squirrelWorkload, w)
            ->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark((std::string("lua51/") + w->name).c_str(), luaWorkload, w)
            ->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    return true;
}();

}  // namespace
