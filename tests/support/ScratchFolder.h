// A fresh, empty folder under the system's temporary folder, and changes to the environment: the
// little the test helpers need from the system, on every platform the tests run on.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#if defined(_WIN32)
#include <process.h>
#endif

namespace halvex::test {

inline std::string MakeScratchFolder(const std::string& prefix) {
    namespace fs = std::filesystem;
#if defined(_WIN32)
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / (prefix + std::to_string(_getpid()) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) return candidate.string();  // false when it already exists
    }
    return {};
#else
    std::string pattern = (fs::temp_directory_path() / (prefix + "XXXXXX")).string();
    const char* made = mkdtemp(pattern.data());
    return made ? std::string(made) : std::string();
#endif
}

inline void SetEnvironment(const char* name, const std::string& value) {
#if defined(_WIN32)
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

inline void UnsetEnvironment(const char* name) {
#if defined(_WIN32)
    _putenv_s(name, "");  // an empty value removes the variable
#else
    unsetenv(name);
#endif
}

}  // namespace halvex::test
