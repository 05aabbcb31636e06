#include "platform/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>


namespace halvex::platform {

namespace {

// Keeps a name usable as one path component.
std::string fileSafe(const std::string& name) {
    std::string s = name;
    for (char& c : s)
        if (c == '/' || c == '\0') c = '_';
    return s;
}

}  // namespace

bool PrepareRuntimeFolder(const std::string& dir, std::string* problem) {
    auto refuse = [&](const std::string& why) {
        if (problem) *problem = "runtime folder " + dir + " " + why;
        return false;
    };
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return refuse(std::string("cannot be created: ") + std::strerror(errno));
    // lstat: a link could be pointed elsewhere after the check.
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0) return refuse(std::string("cannot be examined: ") + std::strerror(errno));
    if (!S_ISDIR(st.st_mode)) return refuse("is not a directory");
    if (st.st_uid != ::getuid()) return refuse("belongs to another user");
    if (st.st_mode & (S_IWGRP | S_IWOTH)) return refuse("is writable by other users");
    return true;
}

std::string RuntimeFolder(std::string* problem) {
    std::string dir;
    if (const char* env = std::getenv("HALVEX_RUNTIME_DIR"); env && *env) {
        dir = env;
    } else if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && *xdg) {
        dir = std::string(xdg) + "/halvex";
    } else {
        dir = "/tmp/halvex-" + std::to_string(getuid());  // anyone may create names in /tmp
    }
    return PrepareRuntimeFolder(dir, problem) ? dir : std::string();
}

namespace {

std::string socketPath(const char* prefix, const std::string& name, std::string* problem) {
    const std::string dir = RuntimeFolder(problem);
    return dir.empty() ? std::string() : dir + prefix + fileSafe(name);
}

}  // namespace

std::string ClassSocketPath(const std::string& className, std::string* problem) {
    return socketPath("/class.", className, problem);
}
std::string TitleSocketPath(const std::string& title, std::string* problem) { return socketPath("/title.", title, problem); }

}  // namespace halvex::platform
