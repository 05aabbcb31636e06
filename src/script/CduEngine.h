// The script engine the CDU page script runs on.
#pragma once

#include <memory>

#include "script/ScriptHost.h"

namespace halvex {

std::unique_ptr<ScriptHost> MakeCduScriptHost();

}  // namespace halvex
