// Bytes as CDU key presses on the bundled page script, in a scratch copy of the bundled tree
// (saved routes land there). Each byte picks one key; the page script must never fail: a script
// error or a key handler that failed aborts.
//
// The core reads its files relative to the working directory, as it does inside the simulator, so
// the working directory is the scratch tree while the core is built and while each input runs, and
// is given back before libFuzzer reads or writes anything. The CDU's pages and plans go on from one
// input to the next, as a pilot's session does: a fresh core per input would cost ten inputs' time.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gauge/StandardCore.h"
#include "ScratchFolder.h"

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

// The working directory is the tree for the object's life.
class InTree {
public:
    explicit InTree(const std::filesystem::path& tree) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(tree);
    }
    ~InTree() { Leave(); }
    InTree(const InTree&) = delete;
    InTree& operator=(const InTree&) = delete;
    void Leave() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
    }

private:
    std::filesystem::path previous_;
};

struct Cdu {
    fuzz::ScratchFolder tree{"cdu-keys"};
    std::unique_ptr<FmsCore> core;
    Cdu() {
        namespace fs = std::filesystem;
        const fs::path source = HALVEX_SOURCE_DIR;
        for (const char* folder : {"Gauges/HalvexFmsZolan", "FMCWP/NavData", "PMDG/SIDSTARS"}) {
            fs::create_directories(tree.path() / folder);
            fs::copy(source / "data" / folder, tree.path() / folder,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        }
        InTree here(tree.path());
        core = MakeStandardCore();
    }
};

void Fail(FmsCore& core, InTree& here, const char* what) {
    ScriptValue fault;
    core.Cdu()->Engine().GetValue(fault, MakePath("g_lastFault"));
    std::fprintf(stderr, "%s: '%s' '%s'\n", what, core.Cdu()->Engine().LastError().c_str(), fault.text().c_str());
    here.Leave();  // the crash input is written relative to where libFuzzer was started
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Cdu cdu;
    static const std::vector<int32_t> keys = AllKeys();
    FmsCore& core = *cdu.core;
    InTree here(cdu.tree.path());
    for (size_t i = 0; i < size; ++i) {
        core.Cdu()->PushKey(keys[data[i] % keys.size()]);
        // Most keys get a cycle of their own; some wait and arrive together, as a held key does.
        if (data[i] < 200) {
            for (int n = 0; n < 100 && core.Cdu()->KeyCount() > 0; ++n) core.RunCduCycle();
        }
    }
    for (int n = 0; n < 100 && core.Cdu()->KeyCount() > 0; ++n) core.RunCduCycle();
    core.RunCduCycle();
    if (!core.Cdu()->Engine().LastError().empty()) Fail(core, here, "script error");
    ScriptValue faults;
    core.Cdu()->Engine().GetValue(faults, MakePath("g_faults"));
    if (faults.asInteger() != 0) Fail(core, here, "key handler failed");
    return 0;
}
