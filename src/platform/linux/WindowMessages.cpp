// Windows are Unix-domain sockets named after their class or title; a message is one request on
// the connection and one 8-byte answer. Atoms and message ids are per-process tables.
#include "platform/WindowMessages.h"

#include <fcntl.h>
#include <sys/time.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <algorithm>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/RuntimeFolder.h"
#include "platform/linux/Wire.h"

namespace halvex::platform {

namespace {

constexpr uint32_t kFirstId = 0xC000;  // where string-backed ids start, as on the other platform
constexpr uint32_t kNoTimeoutSet = 0xFFFFFFFF;

struct WindowSlot {
    std::string path;
    int fd = -1;
    bool used = false;
    uint32_t timeoutMs = kNoTimeoutSet;  // the send and receive time-outs set on fd
};

struct Tables {
    std::mutex lock;
    std::vector<WindowSlot> windows;            // handle = index + 1
    std::vector<std::string> messages;          // id = kFirstId + index
    std::map<uint16_t, std::string> atoms;
    uint16_t nextAtom = kFirstId;
};

Tables& tables() {
    static Tables t;
    return t;
}

// Sets both time-outs of fd: send (which also bounds connect on a local socket) and receive.
void setTimeouts(int fd, uint32_t timeoutMs) {
    timeval limit{static_cast<time_t>(timeoutMs / 1000), static_cast<suseconds_t>(timeoutMs % 1000) * 1000};
    if (timeoutMs == 0) limit.tv_usec = 1;  // 0 would mean "wait for ever"
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
}

// A connected socket to path, or -1 with errno set. A server whose backlog is full (stopped, or
// too busy to accept) is waited for at most waitMs, then EAGAIN; waitMs 0 does not wait at all.
int connectTo(const std::string& path, uint32_t waitMs) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.empty()) {  // the runtime folder was refused
        errno = ENOENT;
        return -1;
    }
    if (path.size() >= sizeof addr.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | (waitMs == 0 ? SOCK_NONBLOCK : 0), 0);
    if (fd < 0) return -1;
    if (waitMs > 0) setTimeouts(fd, waitMs);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        const int e = errno;
        ::close(fd);
        errno = e;
        return -1;
    }
    if (waitMs == 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);  // exchanges block, with time-outs
    return fd;
}

// A window exists while something listens at path. One that cannot take a connection now is still
// found, as a hung window is; sends to it then time out.
WindowHandle findAt(const std::string& path) {
    int fd = connectTo(path, 0);
    if (fd < 0 && errno != EAGAIN) return 0;  // no file, or nobody listening: no such window
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    for (size_t i = 0; i < t.windows.size(); ++i) {
        if (!t.windows[i].used) {
            t.windows[i] = WindowSlot{path, fd, true};
            return static_cast<WindowHandle>(i + 1);
        }
    }
    t.windows.push_back(WindowSlot{path, fd, true});
    return static_cast<WindowHandle>(t.windows.size());
}

void closeConnection(WindowSlot& slot) {
    if (slot.fd >= 0) ::close(slot.fd);
    slot.fd = -1;
    slot.timeoutMs = kNoTimeoutSet;
}

}  // namespace

WindowHandle FindWindowByClass(std::string_view className) { return findAt(ClassSocketPath(std::string(className))); }
WindowHandle FindWindowByTitle(std::string_view title) { return findAt(TitleSocketPath(std::string(title))); }

void ReleaseWindow(WindowHandle window) {
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    if (window == 0 || window > t.windows.size()) return;
    WindowSlot& slot = t.windows[window - 1];
    closeConnection(slot);
    slot = WindowSlot{};
}

uint32_t RegisterMessage(std::string_view name) {
    if (name.empty() || name.size() > wire::kMaxNameBytes) return 0;
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    for (size_t i = 0; i < t.messages.size(); ++i)
        if (t.messages[i] == name) return kFirstId + static_cast<uint32_t>(i);
    t.messages.emplace_back(name);
    return kFirstId + static_cast<uint32_t>(t.messages.size() - 1);
}

std::optional<std::string> RegisteredMessageName(uint32_t id) {
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    if (id < kFirstId || id - kFirstId >= t.messages.size()) return std::nullopt;
    return t.messages[id - kFirstId];
}

uint16_t AddGlobalAtom(std::string_view name) {
    if (name.empty() || name.size() > wire::kMaxNameBytes) return 0;
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    for (const auto& [id, n] : t.atoms)
        if (n == name) return id;
    for (uint32_t tries = 0; tries < 0x4000; ++tries) {
        const uint16_t id = t.nextAtom;
        t.nextAtom = t.nextAtom == 0xFFFF ? kFirstId : static_cast<uint16_t>(t.nextAtom + 1);
        if (!t.atoms.count(id)) {
            t.atoms.emplace(id, std::string(name));
            return id;
        }
    }
    return 0;  // table full
}

void DeleteGlobalAtom(uint16_t atom) {
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    t.atoms.erase(atom);
}

std::optional<std::string> GlobalAtomName(uint16_t atom) {
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    auto it = t.atoms.find(atom);
    if (it == t.atoms.end()) return std::nullopt;
    return it->second;
}

SendOutcome SendMessageWithTimeout(WindowHandle window, uint32_t message, uint64_t wParam, int64_t lParam,
                                   uint32_t timeoutMs) {
    const std::optional<std::string> messageName = RegisteredMessageName(message);
    std::string atomName;
    if (wParam <= 0xFFFF)
        if (auto n = GlobalAtomName(static_cast<uint16_t>(wParam))) atomName = *n;

    Tables& t = tables();
    std::lock_guard guard(t.lock);
    SendOutcome out;
    if (window == 0 || window > t.windows.size() || !t.windows[window - 1].used || !messageName) {
        out.lastError = EBADF;  // an invalid window handle is an error the system names
        return out;
    }
    WindowSlot& slot = t.windows[window - 1];
    // The wait for a reconnection counts against timeoutMs.
    uint32_t waitMs = timeoutMs;
    if (slot.fd < 0) {
        const auto start = std::chrono::steady_clock::now();
        slot.fd = connectTo(slot.path, timeoutMs);  // the server may have restarted under the same name
        if (slot.fd < 0) {
            out.lastError = errno == EAGAIN ? ETIMEDOUT : static_cast<uint32_t>(errno);
            return out;
        }
        slot.timeoutMs = kNoTimeoutSet;
        const auto spentMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        waitMs = spentMs >= timeoutMs ? 1 : timeoutMs - static_cast<uint32_t>(spentMs);
    }
    // The time-outs are socket options, set again only when they change: fewer system calls per
    // exchange than waiting in poll().
    if (slot.timeoutMs != waitMs) {
        setTimeouts(slot.fd, waitMs);
        slot.timeoutMs = waitMs;
    }

    // One buffer, one send: header and names together.
    char buffer[sizeof(wire::MessageHeader) + 2 * wire::kMaxNameBytes];
    wire::MessageHeader header{wire::kMagic, static_cast<uint32_t>(messageName->size()),
                               static_cast<uint32_t>(atomName.size()), 0, wParam, lParam};
    std::memcpy(buffer, &header, sizeof header);
    std::memcpy(buffer + sizeof header, messageName->data(), messageName->size());
    std::memcpy(buffer + sizeof header + messageName->size(), atomName.data(), atomName.size());
    const size_t bytes = sizeof header + messageName->size() + atomName.size();
    if (!wire::SendAll(slot.fd, buffer, bytes)) {
        out.lastError = errno == EAGAIN || errno == EWOULDBLOCK ? ETIMEDOUT : static_cast<uint32_t>(errno);
        closeConnection(slot);
        return out;
    }

    uint64_t result = 0;
    const auto spin = std::min<std::chrono::microseconds>(wire::kAnswerSpin, std::chrono::milliseconds(waitMs));
    const ssize_t received = wire::ReceivePacket(slot.fd, &result, sizeof result, spin);
    if (received != static_cast<ssize_t>(sizeof result)) {
        if (received >= 0) errno = 0;  // hung up, or a short answer: no system error to name
        // 0 when the server hung up without answering; EAGAIN after the time-out
        out.lastError = errno == EAGAIN || errno == EWOULDBLOCK ? ETIMEDOUT : static_cast<uint32_t>(errno);
        closeConnection(slot);  // a late answer must not be taken for the next one
        return out;
    }
    out.delivered = true;
    out.result = result;
    return out;
}

uint32_t CurrentProcessId() { return static_cast<uint32_t>(::getpid()); }

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace halvex::platform
