#include "script/CduEngine.h"

#include "script/SquirrelHost.h"

namespace halvex {

std::unique_ptr<ScriptHost> MakeCduScriptHost() { return std::make_unique<SquirrelHost>(); }

}  // namespace halvex
