// One thread blocks in poll() on the listening sockets, the connections and a wake-up pipe.
#include "platform/MessageServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/RuntimeFolder.h"
#include "platform/linux/Wire.h"

namespace halvex::platform {

namespace {

struct Connection {
    int fd = -1;
    uint64_t id = 0;
};

// Listens on path; a live server there already is an error, a stale socket file is replaced.
int listenAt(const std::string& path, std::string* error) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        if (error) *error = "socket path too long: " + path;
        return -1;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe >= 0) {
        const bool live = ::connect(probe, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
        ::close(probe);
        if (live) {
            if (error) *error = "another server answers at " + path;
            return -1;
        }
    }
    ::unlink(path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0) {
        if (error) *error = "cannot listen at " + path + ": " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

struct MessageServer::Impl {
    std::vector<int> listeners;
    std::vector<std::string> paths;
    std::vector<Connection> connections;
    int wake[2] = {-1, -1};
    std::thread thread;
    std::atomic<bool> running{false};
    Handler handler;
    Farewell farewell;
    uint64_t nextId = 1;

    void drop(size_t i) {
        const uint64_t id = connections[i].id;
        ::close(connections[i].fd);
        connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(i));
        if (farewell) farewell(id);
    }

    // Reads one message and answers it; false when the connection must go.
    bool serve(const Connection& c) {
        wire::MessageHeader h{};
        if (!wire::ReceiveAll(c.fd, &h, sizeof h)) return false;
        if (h.magic != wire::kMagic || h.messageNameBytes > wire::kMaxNameBytes || h.atomNameBytes > wire::kMaxNameBytes)
            return false;
        char names[2 * wire::kMaxNameBytes];
        if (!wire::ReceiveAll(c.fd, names, h.messageNameBytes + h.atomNameBytes)) return false;
        IncomingMessage m;
        m.messageName.assign(names, h.messageNameBytes);
        m.atomName.assign(names + h.messageNameBytes, h.atomNameBytes);
        m.wParam = h.wParam;
        m.lParam = h.lParam;
        m.connection = c.id;
        const uint64_t result = handler(m);
        return wire::SendAll(c.fd, &result, sizeof result);
    }

    void run() {
        std::vector<pollfd> fds;
        for (;;) {
            fds.clear();
            fds.push_back({wake[0], POLLIN, 0});
            for (int l : listeners) fds.push_back({l, POLLIN, 0});
            for (const Connection& c : connections) fds.push_back({c.fd, POLLIN, 0});
            if (::poll(fds.data(), fds.size(), -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (fds[0].revents) return;  // Stop()
            for (size_t i = 0; i < listeners.size(); ++i) {
                if (!(fds[1 + i].revents & POLLIN)) continue;
                const int fd = ::accept4(listeners[i], nullptr, nullptr, SOCK_CLOEXEC);
                if (fd < 0) continue;
                timeval limit{1, 0};  // a client that stops mid-message cannot hold the server
                ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
                ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
                connections.push_back({fd, nextId++});
            }
            // Connections in the order polled; walk backwards so dropping keeps indexes valid.
            const size_t first = 1 + listeners.size();
            for (size_t k = fds.size(); k-- > first;) {
                if (!fds[k].revents) continue;
                const size_t i = k - first;
                if (!(fds[k].revents & POLLIN) || !serve(connections[i])) drop(i);
            }
        }
    }
};

MessageServer::MessageServer() : impl_(std::make_unique<Impl>()) {}
MessageServer::~MessageServer() { Stop(); }

bool MessageServer::Start(const std::string& className, const std::string& title, Handler handler, Farewell farewell,
                          std::string* error) {
    if (impl_->running) {
        if (error) *error = "already running";
        return false;
    }
    std::vector<std::string> paths;
    if (!className.empty()) paths.push_back(ClassSocketPath(className));
    if (!title.empty()) paths.push_back(TitleSocketPath(title));
    for (const std::string& path : paths) {
        const int fd = listenAt(path, error);
        if (fd < 0) {
            for (size_t i = 0; i < impl_->listeners.size(); ++i) {
                ::close(impl_->listeners[i]);
                ::unlink(impl_->paths[i].c_str());
            }
            impl_->listeners.clear();
            impl_->paths.clear();
            return false;
        }
        impl_->listeners.push_back(fd);
        impl_->paths.push_back(path);
    }
    if (::pipe2(impl_->wake, O_CLOEXEC) != 0) {
        if (error) *error = "cannot create a pipe";
        return false;
    }
    impl_->handler = std::move(handler);
    impl_->farewell = std::move(farewell);
    impl_->running = true;
    impl_->thread = std::thread([this] { impl_->run(); });
    return true;
}

void MessageServer::Stop() {
    if (!impl_->running) return;
    const char byte = 1;
    (void)!::write(impl_->wake[1], &byte, 1);
    impl_->thread.join();
    while (!impl_->connections.empty()) impl_->drop(impl_->connections.size() - 1);
    for (size_t i = 0; i < impl_->listeners.size(); ++i) {
        ::close(impl_->listeners[i]);
        ::unlink(impl_->paths[i].c_str());
    }
    impl_->listeners.clear();
    impl_->paths.clear();
    ::close(impl_->wake[0]);
    ::close(impl_->wake[1]);
    impl_->wake[0] = impl_->wake[1] = -1;
    impl_->running = false;
}

bool MessageServer::Running() const { return impl_->running; }

}  // namespace halvex::platform
