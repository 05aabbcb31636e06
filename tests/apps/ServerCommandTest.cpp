// `halvex-fms server` and `halvex-fms simvars` as a user runs them: a separate process that
// serves the module, prints its status, and stops cleanly on a signal.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/RuntimeFolder.h"
#include "simlink/SimIpcClient.h"
#include "simlink/SimVariables.h"
#include "support/ScratchRuntime.h"

extern char** environ;

namespace halvex {
namespace {

// A child process with its standard output (and error) on a pipe.
class Child {
public:
    explicit Child(std::vector<std::string> args) {
        args.insert(args.begin(), HALVEX_FMS_BINARY);
        int out[2];
        if (::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, out[1], 2);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        fd_ = out[0];
    }
    ~Child() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0) ::close(fd_);
    }
    bool started() const { return pid_ > 0; }
    void signal(int s) { ::kill(pid_, s); }

    // The next line of output, or empty after timeoutMs.
    std::string line(int timeoutMs) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (const size_t nl = buffer_.find('\n'); nl != std::string::npos) {
                std::string l = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return l;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return {};
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return {};
            char chunk[512];
            const ssize_t n = ::read(fd_, chunk, sizeof chunk);
            if (n <= 0) return {};
            buffer_.append(chunk, static_cast<size_t>(n));
        }
    }
    std::string rest(int timeoutMs) {
        std::string all;
        for (std::string l; !(l = line(timeoutMs)).empty();) all += l + "\n";
        return all + buffer_;
    }
    // Exit status, or -1 when it did not exit within timeoutMs.
    int wait(int timeoutMs) {
        for (int waited = 0; waited <= timeoutMs; waited += 10) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            ::usleep(10000);
        }
        return -1;
    }

private:
    pid_t pid_ = -1;
    int fd_ = -1;
    bool exited_ = false;
    std::string buffer_;
};

class ServerCommandTest : public ::testing::Test {
protected:
    test::ScratchRuntime runtime;  // the child inherits the folder through the environment
};

TEST_F(ServerCommandTest, ServesTheModuleAndStopsCleanlyOnSigterm) {
    Child server({"server", "--lat", "10.5", "--lon", "-20.25", "--alt", "7000", "--hdg", "45", "--ias", "200",
                  "--wind", "270/30", "--elev", "1200", "--time", "2008-02-29T23:58", "--rate", "2",
                  "--nav1", "10.6,-20.1", "--nav2", "10.4,-20.3,90"});
    ASSERT_TRUE(server.started());
    EXPECT_NE(server.line(3000).find("serving"), std::string::npos);
    const std::string status = server.line(3000);
    EXPECT_NE(status.find("2008-02-29 23:58"), std::string::npos) << status;
    EXPECT_NE(status.find("N10.5"), std::string::npos) << status;
    EXPECT_NE(status.find("W20.2"), std::string::npos) << status;

    {
        SimIpcClient::SetTiming([] {
            ExchangeTiming t;
            t.versionPassSleepMs = 1;
            return t;
        }());
        IpcSimVariables sim;
        ASSERT_TRUE(sim.IsConnected());
        ASSERT_EQ(sim.Update(), 0);
        EXPECT_NEAR(sim.Latitude() * kRadToDeg, 10.5, 0.05);
        EXPECT_NEAR(sim.Altitude(), 7000, 50);
        EXPECT_NEAR(sim.RadioAltitude(), 7000 - 1200, 50);
        EXPECT_EQ(sim.Year(), 2008);
        EXPECT_GT(sim.Nav1DmeDistance(), 5.0f);
        SimIpcClient::SetTiming(ExchangeTiming{});
    }

    server.signal(SIGTERM);
    EXPECT_EQ(server.wait(3000), 0);
    EXPECT_TRUE(std::filesystem::is_empty(runtime.folder()));  // its sockets are gone
}

TEST_F(ServerCommandTest, QuietServerStopsOnSigintAndSimvarsPrintsEveryGetter) {
    Child server({"server", "--quiet"});
    ASSERT_TRUE(server.started());
    std::string out;
    for (int attempt = 0; attempt < 50; ++attempt) {  // the server needs a moment to start
        Child simvars({"simvars"});
        out = simvars.rest(3000);
        if (simvars.wait(3000) == 0) break;
        ::usleep(50000);
    }
    for (const char* name : {"Latitude: ", "TrueHeading: ", "Year: ", "Month: ", "DayOfMonth: ", "UtcHour: ",
                             "AircraftFolder: ", "Nav2VerticalNeedle: "})
        EXPECT_NE(out.find(std::string("\n") + name), std::string::npos) << name << "\n" << out;
    Child watch({"simvars", "--watch"});
    int blocks = 0;
    for (int lines = 0; blocks < 2 && lines < 200; ++lines) blocks += watch.line(3000) == "Update: 0";
    EXPECT_EQ(blocks, 2);  // printed again a second later
    watch.signal(SIGINT);
    EXPECT_EQ(watch.wait(3000), 0);
    Child fds({"simvars", "--fds", "--bench", "50"});
    const std::string bench = fds.rest(5000);
    EXPECT_EQ(fds.wait(3000), 0);
    EXPECT_NE(bench.find("exchange_us_median: "), std::string::npos) << bench;
    EXPECT_NE(bench.find("update_ms_median: "), std::string::npos) << bench;
    server.signal(SIGINT);
    EXPECT_EQ(server.wait(3000), 0);
    EXPECT_EQ(server.rest(100), "");
}

// A server that was stopped (^Z) with its backlog full still holds its name: a second one says so
// at once instead of waiting on it.
TEST_F(ServerCommandTest, AStoppedServerIsReportedNotWaitedFor) {
    Child first({"server", "--quiet"});
    ASSERT_TRUE(first.started());
    const std::string path = platform::ClassSocketPath(SimIpcClient::kServerClass);
    for (int attempt = 0; attempt < 100 && !std::filesystem::exists(path); ++attempt) ::usleep(20000);
    first.signal(SIGSTOP);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    std::vector<int> fillers;
    bool full = false;
    while (!full && fillers.size() < 200) {
        const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK, 0);
        full = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 && errno == EAGAIN;
        fillers.push_back(fd);
    }
    ASSERT_TRUE(full);

    Child second({"server", "--quiet"});
    EXPECT_NE(second.rest(3000).find("another server"), std::string::npos);
    EXPECT_EQ(second.wait(3000), 1);
    for (int fd : fillers) ::close(fd);
    first.signal(SIGCONT);
    first.signal(SIGTERM);
    EXPECT_EQ(first.wait(3000), 0);
}

TEST_F(ServerCommandTest, BadArgumentsAndAMissingServerFailWithAMessage) {
    Child wind({"server", "--wind", "270"});
    EXPECT_NE(wind.rest(3000).find("--wind"), std::string::npos);
    EXPECT_NE(wind.wait(3000), 0);
    Child time({"server", "--time", "2007-02-29T10:00"});
    EXPECT_NE(time.wait(3000), 0);
    Child simvars({"simvars"});
    EXPECT_NE(simvars.rest(3000).find("no connection"), std::string::npos);
    EXPECT_EQ(simvars.wait(3000), 1);
}

}  // namespace
}  // namespace halvex
