// The server sockets under hostile conditions: a runtime folder another user prepared, a server
// that stopped with its backlog full, a peer that sends garbage. None may hang or mislead a client.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>
#include <thread>
#include <string>
#include <vector>

#include "platform/MessageServer.h"
#include "platform/RuntimeFolder.h"
#include "platform/WindowMessages.h"
#include "simlink/FdsClient.h"
#include "simlink/SimIpcClient.h"
#include "support/ScratchRuntime.h"

namespace halvex {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

sockaddr_un addressOf(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return addr;
}

// A server that listens and then stops (as a suspended process does): nobody accepts, and its
// backlog is filled by connections nobody will ever serve.
class StoppedServer {
public:
    explicit StoppedServer(const std::string& path) {
        const sockaddr_un addr = addressOf(path);
        listener_ = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        if (::bind(listener_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listener_, 1) != 0)
            return;
        for (int i = 0; i < 64; ++i) {
            const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK, 0);
            if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
                ::close(fd);
                full_ = errno == EAGAIN;
                return;
            }
            fillers_.push_back(fd);
        }
    }
    ~StoppedServer() { Release(); }
    bool BacklogFull() const { return full_; }
    // Closing the listener wakes anything blocked in connect(), so a test that failed can end.
    void Release() {
        for (int fd : fillers_) ::close(fd);
        fillers_.clear();
        if (listener_ >= 0) ::close(listener_);
        listener_ = -1;
    }

private:
    int listener_ = -1;
    std::vector<int> fillers_;
    bool full_ = false;
};

// Runs f on its own thread and says whether it ended within limitSeconds; server.Release() then
// frees a thread that did not, so the test fails instead of hanging.
template <typename F>
bool endsWithin(double limitSeconds, StoppedServer& server, F f) {
    auto done = std::async(std::launch::async, f);
    const bool ended = done.wait_for(std::chrono::duration<double>(limitSeconds)) == std::future_status::ready;
    server.Release();
    done.wait();
    return ended;
}

class ServerSocketTest : public ::testing::Test {
protected:
    ~ServerSocketTest() override {
        SimIpcClient::Close();
        FdsClient::Close();
        SimIpcClient::SetTiming(ExchangeTiming{});
        FdsClient::SetTiming(ExchangeTiming{});
    }
    test::ScratchRuntime runtime;
};

TEST_F(ServerSocketTest, ClientsGiveUpOnAStoppedServerWithinTheirTimeouts) {
    ExchangeTiming quick;
    quick.sendTimeoutMs = 30;
    quick.retrySleepMs = 1;
    quick.versionPassSleepMs = 1;
    SimIpcClient::SetTiming(quick);
    FdsClient::SetTiming(quick);

    StoppedServer ipcServer(platform::ClassSocketPath(SimIpcClient::kServerClass));
    ASSERT_TRUE(ipcServer.BacklogFull());
    uint32_t code = 0;
    bool opened = true;
    const auto start = Clock::now();
    EXPECT_TRUE(endsWithin(5.0, ipcServer, [&] { opened = SimIpcClient::Open(0, code); }));
    const double seconds = secondsSince(start);
    EXPECT_FALSE(opened);
    EXPECT_EQ(code, SimIpcCode::SendFailed);  // nine timed-out sends
    EXPECT_GE(seconds, 9 * 0.030);            // each send waited out its time-out
    EXPECT_FALSE(SimIpcClient::IsOpen());

    StoppedServer fdsServer(platform::ClassSocketPath(FdsClient::kServerClass));
    ASSERT_TRUE(fdsServer.BacklogFull());
    bool processed = true;
    EXPECT_TRUE(endsWithin(5.0, fdsServer, [&] {
        uint32_t value = 0;
        if (!FdsClient::Open(code) || !FdsClient::Read(0x560, 4, &value, code)) return;
        processed = FdsClient::Process(code);
    }));
    EXPECT_FALSE(processed);
    EXPECT_EQ(code, FdsCode::SendFailed);
}

TEST_F(ServerSocketTest, ASecondServerRefusesAStoppedOneAtOnce) {
    StoppedServer stopped(platform::ClassSocketPath("PROBE"));
    ASSERT_TRUE(stopped.BacklogFull());
    platform::MessageServer second;
    bool started = true;
    std::string error;
    EXPECT_TRUE(endsWithin(2.0, stopped, [&] {
        started = second.Start("PROBE", "", [](const platform::IncomingMessage&) { return uint64_t{1}; }, nullptr, &error);
    }));
    EXPECT_FALSE(started);
    EXPECT_NE(error.find("another server"), std::string::npos) << error;
}

TEST_F(ServerSocketTest, AMalformedPacketClosesTheConnectionAtOnce) {
    platform::MessageServer server;
    ASSERT_TRUE(server.Start("GARBLED", "", [](const platform::IncomingMessage&) { return uint64_t{1}; }, nullptr));
    const sockaddr_un addr = addressOf(platform::ClassSocketPath("GARBLED"));
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    ASSERT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    timeval limit{3, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    const char garbage[40] = "not a message header at all";
    ASSERT_EQ(::send(fd, garbage, sizeof garbage, MSG_NOSIGNAL), static_cast<ssize_t>(sizeof garbage));
    const auto start = Clock::now();
    char answer[8];
    EXPECT_EQ(::recv(fd, answer, sizeof answer, 0), 0);  // the end of the stream, not a time-out
    EXPECT_LT(secondsSince(start), 1.0);
    ::close(fd);
}

// A runtime folder that someone else could have prepared is never used: the server refuses to
// listen there and a client finds no server in it.
TEST_F(ServerSocketTest, ARuntimeFolderOthersControlIsRefused) {
    const std::string folder = runtime.folder() + "/sockets";
    setenv("HALVEX_RUNTIME_DIR", folder.c_str(), 1);
    ASSERT_EQ(platform::RuntimeFolder(), folder);  // a missing folder is created, for this user only
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    auto refused = [&](const char* why) {
        SCOPED_TRACE(why);
        EXPECT_EQ(platform::RuntimeFolder(), "");
        platform::MessageServer server;
        std::string error;
        EXPECT_FALSE(server.Start("SQUAT", "", [](const platform::IncomingMessage&) { return uint64_t{1}; }, nullptr, &error));
        EXPECT_NE(error.find(folder), std::string::npos) << error;
        EXPECT_EQ(platform::FindWindowByClass("SQUAT"), 0u);
    };
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    refused("writable by others");
    ASSERT_EQ(::chmod(folder.c_str(), 0770), 0);
    refused("writable by the group");
    ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
    EXPECT_EQ(platform::RuntimeFolder(), folder);

    const std::string link = runtime.folder() + "/link";
    ASSERT_EQ(::symlink(folder.c_str(), link.c_str()), 0);
    setenv("HALVEX_RUNTIME_DIR", link.c_str(), 1);
    EXPECT_EQ(platform::RuntimeFolder(), "");  // a link may point anywhere later

    if (::getuid() == 0) {
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        setenv("HALVEX_RUNTIME_DIR", folder.c_str(), 1);
        refused("owned by another user");
    } else {
        setenv("HALVEX_RUNTIME_DIR", "/", 1);  // root's
        EXPECT_EQ(platform::RuntimeFolder(), "");
    }
}

// Both ends stay awake only briefly for each other. An answer slower than the client's wait, and a
// message later than the server's, must still arrive whole and pair with the right question.
TEST_F(ServerSocketTest, SlowAnswersAndPausedClientsStillPairEachAnswerWithItsMessage) {
    platform::MessageServer server;
    ASSERT_TRUE(server.Start("PacedServer", "", [](const platform::IncomingMessage& m) {
        if (m.wParam % 3 == 1) std::this_thread::sleep_for(std::chrono::milliseconds(3));
        if (m.wParam == 0x20000) std::this_thread::sleep_for(std::chrono::milliseconds(60));
        return m.wParam * 10 + 7;
    }, nullptr));
    const platform::WindowHandle window = platform::FindWindowByClass("PacedServer");
    ASSERT_NE(window, 0u);
    const uint32_t message = platform::RegisterMessage("Paced:Ask");
    for (uint64_t i = 0x10000; i < 0x10000 + 12; ++i) {
        if (i % 4 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const platform::SendOutcome out = platform::SendMessageWithTimeout(window, message, i, 0, 1000);
        ASSERT_TRUE(out.delivered) << i;
        EXPECT_EQ(out.result, i * 10 + 7);
    }
    // An answer later than the sender's time-out is lost to that send, never taken for the next.
    const platform::SendOutcome late = platform::SendMessageWithTimeout(window, message, 0x20000, 0, 10);
    EXPECT_FALSE(late.delivered);
    const platform::SendOutcome next = platform::SendMessageWithTimeout(window, message, 0x10002, 0, 1000);
    ASSERT_TRUE(next.delivered);
    EXPECT_EQ(next.result, 0x10002u * 10 + 7);
    platform::ReleaseWindow(window);
}

}  // namespace
}  // namespace halvex
