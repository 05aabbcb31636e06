// SquirrelHost: the Squirrel back end of ScriptHost (the CDU page script).
#pragma once

#include <cstdint>
#include <memory>

#include "script/ScriptHost.h"

namespace sq {
class Engine;
}

namespace halvex {

class SquirrelHost final : public ScriptHost {
public:
    // Calls and loop iterations one host call may run before it fails with a script error, so a
    // page that never returns cannot freeze the panel thread.
    static constexpr uint64_t kDefaultOperationBudget = 20'000'000;

    explicit SquirrelHost(uint64_t operationBudget = kDefaultOperationBudget);
    ~SquirrelHost() override;
    SquirrelHost(const SquirrelHost&) = delete;
    SquirrelHost& operator=(const SquirrelHost&) = delete;

    int LoadScript(const char* path) override;
    int GetValue(ScriptValue& out, const ScriptPath& path) override;
    int SetValue(const ScriptPath& path, const ScriptValue& value) override;
    int CallFunction(ScriptValue& out, const ScriptPath& path, const ScriptValue& args, bool wantResult) override;
    int RegisterNative(NativeFunction fn, const char* name) override;
    std::string LastError() const override { return lastError_; }

    void SetOperationBudget(uint64_t ops);

private:
    std::unique_ptr<sq::Engine> engine_;
    std::string lastError_;
    uint64_t budget_;
};

}  // namespace halvex
