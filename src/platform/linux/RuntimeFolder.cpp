#include "platform/RuntimeFolder.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/linux/Wire.h"

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

std::string RuntimeFolder() {
    std::string dir;
    if (const char* env = std::getenv("HALVEX_RUNTIME_DIR"); env && *env) {
        dir = env;
    } else if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && *xdg) {
        dir = std::string(xdg) + "/halvex";
    } else {
        dir = "/tmp/halvex-" + std::to_string(getuid());
    }
    ::mkdir(dir.c_str(), 0700);  // exists already most of the time
    return dir;
}

std::string ClassSocketPath(const std::string& className) { return RuntimeFolder() + "/class." + fileSafe(className); }
std::string TitleSocketPath(const std::string& title) { return RuntimeFolder() + "/title." + fileSafe(title); }

namespace wire {

bool SendAll(int fd, const void* data, size_t bytes) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (bytes > 0) {
        const ssize_t n = ::send(fd, p, bytes, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        bytes -= static_cast<size_t>(n);
    }
    return true;
}

bool ReceiveAll(int fd, void* data, size_t bytes) {
    auto* p = static_cast<uint8_t*>(data);
    while (bytes > 0) {
        const ssize_t n = ::recv(fd, p, bytes, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = 0;
            return false;
        }
        p += n;
        bytes -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace wire

}  // namespace halvex::platform
