// ScratchRuntime: points the server sockets' runtime folder at a fresh scratch folder for one
// test, so a test meets only the servers it starts itself (never a user's running simulator).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/ScratchFolder.h"

namespace halvex::test {

class ScratchRuntime {
public:
    ScratchRuntime() {
        if (const char* old = std::getenv("HALVEX_RUNTIME_DIR")) previous_ = old, hadPrevious_ = true;
        folder_ = MakeScratchFolder("halvex-run-");
        SetEnvironment("HALVEX_RUNTIME_DIR", folder_);
    }
    ~ScratchRuntime() {
        if (hadPrevious_)
            SetEnvironment("HALVEX_RUNTIME_DIR", previous_);
        else
            UnsetEnvironment("HALVEX_RUNTIME_DIR");
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    ScratchRuntime(const ScratchRuntime&) = delete;
    ScratchRuntime& operator=(const ScratchRuntime&) = delete;
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
    std::string previous_;
    bool hadPrevious_ = false;
};

}  // namespace halvex::test
