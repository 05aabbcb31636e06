// Bytes as CDU key presses on the bundled page script, in a scratch copy of the bundled tree
// (saved routes land there). Each byte picks one key; the page script must never fail: a script
// error or a key handler that failed aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gauge/StandardCore.h"
#include "support/TempTree.h"

namespace {

using namespace halvex;

// Every code the CDU face can push.
std::vector<int32_t> AllKeys() {
    std::vector<int32_t> keys;
    for (int32_t c = 'A'; c <= 'Z'; ++c) keys.push_back(c);
    for (int32_t c = '0'; c <= '9'; ++c) keys.push_back(c);
    for (int32_t c : {' ', '/', '.', '+'}) keys.push_back(c);
    for (int32_t c = -1; c >= -4; --c) keys.push_back(c);
    for (int32_t c = -10; c >= -19; --c) keys.push_back(c);
    for (int32_t c = -30; c >= -35; --c) keys.push_back(c);
    for (int32_t c = -50; c >= -55; --c) keys.push_back(c);
    return keys;
}

struct Cdu {
    test::TempTree tree;
    std::unique_ptr<FmsCore> core;
    Cdu() {
        tree.copyFromSource("data/Gauges/HalvexFmsZolan", "Gauges/HalvexFmsZolan");
        tree.copyFromSource("data/FMCWP/NavData", "FMCWP/NavData");
        tree.copyFromSource("data/PMDG/SIDSTARS", "PMDG/SIDSTARS");
        core = MakeStandardCore();
    }
};

void Fail(FmsCore& core, const char* what) {
    ScriptValue fault;
    core.Cdu()->Engine().GetValue(fault, MakePath("g_lastFault"));
    std::fprintf(stderr, "%s: '%s' '%s'\n", what, core.Cdu()->Engine().LastError().c_str(), fault.text().c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Cdu cdu;
    static const std::vector<int32_t> keys = AllKeys();
    FmsCore& core = *cdu.core;
    for (size_t i = 0; i < size; ++i) {
        core.Cdu()->PushKey(keys[data[i] % keys.size()]);
        // Most keys get a cycle of their own; some wait and arrive together, as a held key does.
        if (data[i] < 200) {
            for (int n = 0; n < 100 && core.Cdu()->KeyCount() > 0; ++n) core.RunCduCycle();
        }
    }
    for (int n = 0; n < 100 && core.Cdu()->KeyCount() > 0; ++n) core.RunCduCycle();
    core.RunCduCycle();
    if (!core.Cdu()->Engine().LastError().empty()) Fail(core, "script error");
    ScriptValue faults;
    core.Cdu()->Engine().GetValue(faults, MakePath("g_faults"));
    if (faults.asInteger() != 0) Fail(core, "key handler failed");
    return 0;
}
