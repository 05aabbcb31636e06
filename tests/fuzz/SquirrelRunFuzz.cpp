// Arbitrary bytes run as a short Squirrel script under a small operation budget. Only the
// libraries without side effects on the machine are present (no io, no system).
#include <cstdint>
#include <string_view>

#include "squirrel/Api.h"

namespace sq {
void RegisterMathLibrary(Vm& vm);
void RegisterStringLibrary(Vm& vm);
void RegisterBlobLibrary(Vm& vm);
}  // namespace sq

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sq::Engine engine;
    engine.setPrintHook([](std::string_view) {});
    engine.setOperationBudget(20000);
    sq::RegisterMathLibrary(engine.vm());
    sq::RegisterStringLibrary(engine.vm());
    sq::RegisterBlobLibrary(engine.vm());
    const std::string_view src(reinterpret_cast<const char*>(data), size);
    engine.runString(src, "fuzz");
    engine.callPath({"main"}, {});
    return 0;
}
