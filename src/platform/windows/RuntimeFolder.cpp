// Servers here are windows, not sockets; the folder only names a per-user scratch place, so tools
// that print it still have an answer.
#include "platform/RuntimeFolder.h"

#include <windows.h>

#include <cstdlib>

namespace halvex::platform {

namespace {

std::string fileSafe(const std::string& name) {
    std::string s = name;
    for (char& c : s)
        if (c == '/' || c == '\\' || c == ':' || c == '\0') c = '_';
    return s;
}

}  // namespace

// A window server needs no protected folder: the checks of the socket platforms have no work here.
bool PrepareRuntimeFolder(const std::string& dir, std::string*) {
    ::CreateDirectoryA(dir.c_str(), nullptr);
    return true;
}

std::string RuntimeFolder(std::string*) {
    std::string dir;
    if (const char* env = std::getenv("HALVEX_RUNTIME_DIR"); env && *env) {
        dir = env;
    } else {
        char temp[MAX_PATH + 1];
        const DWORD n = ::GetTempPathA(sizeof temp, temp);
        dir = std::string(temp, n > 0 && n < sizeof temp ? n : 0) + "halvex";
    }
    ::CreateDirectoryA(dir.c_str(), nullptr);  // exists already most of the time
    return dir;
}

std::string ClassSocketPath(const std::string& className) { return RuntimeFolder() + "\\class." + fileSafe(className); }
std::string TitleSocketPath(const std::string& title) { return RuntimeFolder() + "\\title." + fileSafe(title); }

}  // namespace halvex::platform
