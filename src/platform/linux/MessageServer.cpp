// One thread sleeps in poll() on the listening sockets and a wake-up pipe; one per connection
// sleeps in recv().
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
#include <mutex>
#include <thread>
#include <vector>

#include "platform/RuntimeFolder.h"
#include "platform/linux/Wire.h"

namespace halvex::platform {

namespace {

// Listens on path; a live server there already is an error, a stale socket file is replaced.
int listenAt(const std::string& path, std::string* error) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        if (error) *error = "socket path too long: " + path;
        return -1;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    // The probe never waits: a server that stopped with its backlog full answers EAGAIN, and
    // it still holds the name (it may be resumed).
    const int probe = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (probe >= 0) {
        const bool live = ::connect(probe, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0 || errno == EAGAIN;
        ::close(probe);
        if (live) {
            if (error) *error = "another server answers at " + path;
            return -1;
        }
    }
    ::unlink(path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0) {
        if (error) *error = "cannot listen at " + path + ": " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

struct MessageServer::Impl {
    // Each connection has its own thread blocked in recv(): an answer costs one receive and one
    // send, and a client that stalls holds up nobody else.
    struct Connection {
        int fd = -1;
        uint64_t id = 0;
        std::thread thread;
        std::atomic<bool> finished{false};
    };

    std::vector<int> listeners;
    std::vector<std::string> paths;
    std::mutex connectionsLock;
    std::vector<std::unique_ptr<Connection>> connections;
    int wake[2] = {-1, -1};
    std::thread acceptor;
    std::atomic<bool> running{false};
    Handler handler;
    Farewell farewell;
    uint64_t nextId = 1;

    void serve(Connection& c) {
        char buffer[sizeof(wire::MessageHeader) + 2 * wire::kMaxNameBytes];
        for (;;) {
            const ssize_t n = wire::ReceivePacket(c.fd, buffer, sizeof buffer, wire::kBurstSpin);  // one message per packet
            if (n < static_cast<ssize_t>(sizeof(wire::MessageHeader))) break;
            wire::MessageHeader h;
            std::memcpy(&h, buffer, sizeof h);
            if (h.magic != wire::kMagic || h.messageNameBytes > wire::kMaxNameBytes || h.atomNameBytes > wire::kMaxNameBytes ||
                sizeof h + h.messageNameBytes + h.atomNameBytes != static_cast<size_t>(n))
                break;
            IncomingMessage m;
            m.messageName.assign(buffer + sizeof h, h.messageNameBytes);
            m.atomName.assign(buffer + sizeof h + h.messageNameBytes, h.atomNameBytes);
            m.wParam = h.wParam;
            m.lParam = h.lParam;
            m.connection = c.id;
            const uint64_t result = handler(m);
            if (!wire::SendAll(c.fd, &result, sizeof result)) break;
        }
        ::shutdown(c.fd, SHUT_RDWR);  // the sender learns at once; the descriptor goes at the next reap
        if (farewell) farewell(c.id);
        c.finished = true;
    }

    // Joins the threads of connections that have ended.
    void reap() {
        std::lock_guard guard(connectionsLock);
        for (auto it = connections.begin(); it != connections.end();) {
            if ((*it)->finished) {
                (*it)->thread.join();
                ::close((*it)->fd);
                it = connections.erase(it);
            } else {
                ++it;
            }
        }
    }

    void acceptLoop() {
        std::vector<pollfd> fds;
        fds.push_back({wake[0], POLLIN, 0});
        for (int l : listeners) fds.push_back({l, POLLIN, 0});
        for (;;) {
            if (::poll(fds.data(), fds.size(), -1) < 0) {  // sleeps until a client or Stop()
                if (errno == EINTR) continue;
                return;
            }
            if (fds[0].revents) return;
            reap();
            for (size_t i = 1; i < fds.size(); ++i) {
                if (!(fds[i].revents & POLLIN)) continue;
                const int fd = ::accept4(fds[i].fd, nullptr, nullptr, SOCK_CLOEXEC);
                if (fd < 0) continue;
                timeval limit{1, 0};  // a client that stops reading cannot hold its thread for ever
                ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
                auto c = std::make_unique<Connection>();
                c->fd = fd;
                c->id = nextId++;
                Connection* raw = c.get();
                std::lock_guard guard(connectionsLock);
                connections.push_back(std::move(c));
                raw->thread = std::thread([this, raw] { serve(*raw); });
            }
        }
    }

    void stopConnections() {
        std::lock_guard guard(connectionsLock);
        for (auto& c : connections) ::shutdown(c->fd, SHUT_RDWR);  // wakes each recv()
        for (auto& c : connections) {
            c->thread.join();
            ::close(c->fd);
        }
        connections.clear();
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
    std::string problem;
    if (!className.empty()) paths.push_back(ClassSocketPath(className, &problem));
    if (!title.empty()) paths.push_back(TitleSocketPath(title, &problem));
    if (!problem.empty()) {
        if (error) *error = problem;
        return false;
    }
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
    impl_->acceptor = std::thread([this] { impl_->acceptLoop(); });
    return true;
}

void MessageServer::Stop() {
    if (!impl_->running) return;
    const char byte = 1;
    (void)!::write(impl_->wake[1], &byte, 1);
    impl_->acceptor.join();
    impl_->stopConnections();
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
