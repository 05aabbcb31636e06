#include "platform/linux/Wire.h"

#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

namespace halvex::platform::wire {

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

ssize_t ReceivePacket(int fd, void* buffer, size_t capacity, std::chrono::microseconds spin) {
    if (spin.count() > 0) {
        const auto until = std::chrono::steady_clock::now() + spin;
        do {
            const ssize_t n = ::recv(fd, buffer, capacity, MSG_DONTWAIT);
            if (n >= 0) return n;
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
        } while (std::chrono::steady_clock::now() < until);
    }
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, capacity, 0);
        if (n >= 0 || errno != EINTR) return n;
    }
}

}  // namespace halvex::platform::wire
