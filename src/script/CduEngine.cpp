#include "script/CduEngine.h"

#include "script/LuaHost.h"

namespace halvex {

// Interim: the page script language's engine replaces this in its own change.
std::unique_ptr<ScriptHost> MakeCduScriptHost() { return std::make_unique<LuaHost>(); }

}  // namespace halvex
