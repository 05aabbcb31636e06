#include "display/faces/KeyLabels.h"

#include "squirrel/Api.h"

namespace halvex::faces {

KeyLabels ReadKeyLabels(const std::string& scriptPath) {
    KeyLabels labels;
    sq::Engine engine;
    engine.registerStandardLibrary();
    engine.setPrintHook([](std::string_view) {});
    engine.setErrorHook([](std::string_view) {});
    engine.setOperationBudget(10'000'000);  // the top level only defines; a runaway script stops
    if (!engine.runFile(scriptPath)) return labels;
    static const int kCodes[] = {-10, -11, -12, -13, -14, -15, -16, -17, -18, -19, -1, -2, -3, -4};
    for (int code : kCodes) {
        sq::Value v;
        if (engine.getPath({"KEY_LABELS", sq::PathKey(static_cast<int32_t>(code))}, v) && v.t == sq::T::String)
            labels[code] = engine.vm().toString(v);
    }
    return labels;
}

}  // namespace halvex::faces
