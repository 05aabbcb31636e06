// LuaPageCore: a core built over a scratch simulator folder whose Lua page script runs a test's
// body once, on the first entry call, and keeps what the natives returned as text in "seen".
// show(...) appends its arguments, multi(n) the first n values of g_multiReturnVals.
#pragma once

#include <memory>
#include <string>

#include "core/FmsCore.h"
#include "script/LuaHost.h"
#include "natives/NativeRegistry.h"
#include "support/TempTree.h"

namespace halvex::test {

// A one-row performance table: enough for the core to start and load its database.
inline std::string MinimalSpecTable(int optCrzSpd = 6) {
    return "SPEC_TBL = { size = 1, [0] = { size = 1, weight = 1000, v1 = 1, vr = 2, v2 = 3, optClbSpd = 4, "
           "optDesSpd = 5, optCrzSpd = " + std::to_string(optCrzSpd) + ",\n"
           "  [0] = { size = 1, spd = 250, turnRate = 1.5, [0] = { alt = 0, climb = 9, descend = -9 } } } }";
}

// decimals < 0 prints every value with tostring; otherwise non-whole numbers get that many places.
inline std::string LuaPageScript(const std::string& body, int decimals, const std::string& helpers = "") {
    const std::string fmt = decimals < 0 ? "  return tostring(v)\n"
                                         : "  if type(v) == \"number\" and v ~= math.floor(v) then return string.format(\"%." +
                                               std::to_string(decimals) + "f\", v) end\n  return tostring(v)\n";
    return R"(
g_EntryPoint = "page"
g_multiReturnVals = {}
color = {}
seen = ""
function fmt(v)
)" + fmt + R"(end
function show(...)
  local parts = {}
  for i = 1, select("#", ...) do parts[#parts + 1] = fmt((select(i, ...))) end
  seen = seen .. table.concat(parts, ",") .. ";"
end
function multi(n)
  local parts = {}
  for i = 0, n - 1 do parts[#parts + 1] = fmt(g_multiReturnVals[i]) end
  seen = seen .. table.concat(parts, ",") .. ";"
end
)" + helpers + R"(
function page(core)
)" + body + R"(
  g_EntryPoint = "idle"
end
function idle(core) end
)";
}

class LuaPageCore {
public:
    // Writes the configuration and the performance table; copyBundledData adds the bundled
    // navigation data and procedure files.
    explicit LuaPageCore(const std::string& spec = MinimalSpecTable()) {
        tree.write("Gauges/HalvexFmsZolan/FMS_ZOLAN.ini", "FSIF_TYPE = 0\n");
        tree.write("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc", spec);
    }
    void copyBundledData() const {
        tree.copyFromSource("data/FMCWP/NavData", "FMCWP/NavData");
        tree.copyFromSource("data/PMDG/SIDSTARS", "PMDG/SIDSTARS");
    }
    // Builds the core with the page script (its first call runs the body); "seen", or the error.
    std::string run(const std::string& script) {
        tree.write("Gauges/HalvexFmsZolan/VUV6000.sq", script);
        core.reset();
        core = std::make_unique<FmsCore>(CoreDependencies{[] { return std::make_unique<LuaHost>(); }, AllNatives()});
        ScriptValue seen;
        core->Cdu()->Engine().GetValue(seen, MakePath("seen"));
        const std::string error = core->Cdu()->Engine().LastError();
        return error.empty() ? seen.text() : "error: " + error;
    }

    TempTree tree;
    std::unique_ptr<FmsCore> core;
};

}  // namespace halvex::test
