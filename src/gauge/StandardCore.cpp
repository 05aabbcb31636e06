#include "gauge/StandardCore.h"

#include "script/CduEngine.h"
#include "natives/NativeRegistry.h"

namespace halvex {

std::unique_ptr<FmsCore> MakeStandardCore() {
    return std::make_unique<FmsCore>(CoreDependencies{MakeCduScriptHost, AllNatives()});
}

}  // namespace halvex
