// The data-server client against a server under the test's control: the open sequence and its
// codes, the exchange, and every way the server can fail it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <thread>

#include "ScriptedServer.h"
#include "platform/RuntimeFolder.h"
#include "simlink/SimIpcClient.h"
#include "support/ScratchRuntime.h"

namespace halvex {
namespace {

using Clock = std::chrono::steady_clock;

uint32_t word(const uint8_t* b, size_t at) {
    uint32_t v;
    std::memcpy(&v, b + at, 4);
    return v;
}

class SimIpcClientTest : public ::testing::Test {
protected:
    SimIpcClientTest() {
        ExchangeTiming quick;
        quick.sendTimeoutMs = 60;
        quick.retrySleepMs = 2;
        quick.versionPassSleepMs = 1;
        SimIpcClient::SetTiming(quick);
    }
    ~SimIpcClientTest() override {
        SimIpcClient::Close();
        SimIpcClient::SetTiming(ExchangeTiming{});
    }
    void openOk() {
        ASSERT_TRUE(server.Start());
        uint32_t code = 99;
        ASSERT_TRUE(SimIpcClient::Open(0, code));
        ASSERT_EQ(code, 0u);
    }

    test::ScratchRuntime runtime;
    test::ScriptedServer server{"UIPCMAIN", "", sim::BlockDialect::DataServer};
};

TEST_F(SimIpcClientTest, WithoutServerOpenFailsWithCode2AndEverythingElseWith9) {
    uint32_t code = 0, value = 5;
    EXPECT_FALSE(SimIpcClient::Open(0, code));
    EXPECT_EQ(code, SimIpcCode::NoServerWindow);
    EXPECT_FALSE(SimIpcClient::IsOpen());
    EXPECT_FALSE(SimIpcClient::Read(0x560, 4, &value, code));
    EXPECT_EQ(code, SimIpcCode::NotOpen);
    EXPECT_FALSE(SimIpcClient::Write(0x560, 4, &value, code));
    EXPECT_EQ(code, SimIpcCode::NotOpen);
    EXPECT_FALSE(SimIpcClient::Process(code));
    EXPECT_EQ(code, SimIpcCode::NotOpen);
}

TEST_F(SimIpcClientTest, OpensUnderItsBlockNameAndSendsTheProtocolLevelOnce) {
    openOk();
    EXPECT_EQ(SimIpcClient::ServerVersion(), 0x19980005u);
    EXPECT_EQ(SimIpcClient::SimulatorWord(), 7u);  // only the identifier remains
    EXPECT_EQ(server.space.Get<uint16_t>(0x330A), 1004);
    EXPECT_EQ(server.Exchanges(), 1);  // both words came back at once: no second pass
    ASSERT_EQ(server.AtomNames().size(), 1u);
    EXPECT_EQ(server.AtomNames()[0], SimIpcClient::BlockName(SimIpcClient::OpenCounter()));
    char pid[32];
    std::snprintf(pid, sizeof pid, "FsasmLib:IPC:%X:", platform::CurrentProcessId());
    EXPECT_EQ(server.AtomNames()[0].rfind(pid, 0), 0u);
}

TEST_F(SimIpcClientTest, FallsBackToTheSecondServerClass) {
    test::ScriptedServer old{"FS98MAIN", "", sim::BlockDialect::DataServer};
    ASSERT_TRUE(old.Start());
    uint32_t code = 99;
    EXPECT_TRUE(SimIpcClient::Open(0, code));
    EXPECT_EQ(old.Exchanges(), 1);
}

TEST_F(SimIpcClientTest, ReadsWritesAndASecondOpenLeavesTheConnectionWorking) {
    openOk();
    server.space.Put<int32_t>(0x3324, 12345);
    uint32_t code = 0;
    EXPECT_FALSE(SimIpcClient::Open(0, code));
    EXPECT_EQ(code, SimIpcCode::AlreadyOpen);

    int32_t altitude = 0;
    const int16_t speed = 250;
    ASSERT_TRUE(SimIpcClient::Read(0x3324, 4, &altitude, code));
    ASSERT_TRUE(SimIpcClient::Write(0x07E2, 2, &speed, code));
    EXPECT_EQ(altitude, 0);  // nothing before Process
    ASSERT_TRUE(SimIpcClient::Process(code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(altitude, 12345);
    EXPECT_EQ(server.space.Get<int16_t>(0x07E2), 250);
}

TEST_F(SimIpcClientTest, ProcessWithNothingQueuedSendsNothing) {
    openOk();
    const int before = server.Exchanges();
    uint32_t code = 0;
    EXPECT_FALSE(SimIpcClient::Process(code));
    EXPECT_EQ(code, SimIpcCode::NothingQueued);
    EXPECT_EQ(server.Exchanges(), before);
}

TEST_F(SimIpcClientTest, AReadWithoutDestinationIsAnsweredButNotCopied) {
    openOk();
    uint32_t code = 0;
    int reads = 0;
    server.SetInspector([&](const uint8_t* b) { reads += word(b, 0) == 1 && word(b, 12) == 0; });
    ASSERT_TRUE(SimIpcClient::Read(0x3324, 4, nullptr, code));
    EXPECT_TRUE(SimIpcClient::Process(code));
    EXPECT_EQ(reads, 1);
}

TEST_F(SimIpcClientTest, VersionExchangeRepeatsFiveTimesWhileTheServerAnswersZeros) {
    server.space.Put<uint32_t>(0x3304, 0);
    int blocks = 0, levelWrites = 0;
    server.SetInspector([&](const uint8_t* b) {
        ++blocks;
        levelWrites += word(b, 40) == 2 && word(b, 44) == 0x330A;  // third record, after two 4-byte reads
    });
    ASSERT_TRUE(server.Start());
    uint32_t code = 0;
    EXPECT_FALSE(SimIpcClient::Open(0, code));
    EXPECT_EQ(code, SimIpcCode::VersionMismatch);
    EXPECT_EQ(blocks, 5);
    EXPECT_EQ(levelWrites, 1);
    EXPECT_FALSE(SimIpcClient::IsOpen());
}

TEST_F(SimIpcClientTest, VersionFailuresGiveCode7OrCode14ByWindowClass) {
    server.space.Put<uint32_t>(0x3304, 0x19980004);
    ASSERT_TRUE(server.Start());
    uint32_t code = 0;
    EXPECT_FALSE(SimIpcClient::Open(0, code));
    EXPECT_EQ(code, SimIpcCode::VersionMismatch);
    server.Stop();

    test::ScriptedServer old{"FS98MAIN", "", sim::BlockDialect::DataServer};
    old.space.Put<uint32_t>(0x3308, 0xFACE0001);  // wrong signature
    ASSERT_TRUE(old.Start());
    EXPECT_FALSE(SimIpcClient::Open(0, code));
    EXPECT_EQ(code, SimIpcCode::VersionMismatchFs98);
}

TEST_F(SimIpcClientTest, ARequiredSimulatorMustMatch) {
    ASSERT_TRUE(server.Start());
    uint32_t code = 0;
    EXPECT_FALSE(SimIpcClient::Open(9, code));
    EXPECT_EQ(code, SimIpcCode::WrongSimulator);
    EXPECT_FALSE(SimIpcClient::IsOpen());
    server.space.Put<uint32_t>(0x3308, 0xFADE0007);  // this server keeps the client's level write
    EXPECT_TRUE(SimIpcClient::Open(7, code));
}

TEST_F(SimIpcClientTest, ABlockNameAlreadyTakenGivesCode5AndTheNextOpenUsesANewName) {
    ASSERT_TRUE(server.Start());
    platform::SharedBlock squatter;
    ASSERT_EQ(squatter.Create(SimIpcClient::BlockName(SimIpcClient::OpenCounter() + 1), RequestQueue::kBlockBytes),
              platform::SharedBlock::Created::Ok);
    uint32_t code = 0;
    EXPECT_FALSE(SimIpcClient::Open(0, code));
    EXPECT_EQ(code, SimIpcCode::CreateBlockFailed);
    EXPECT_FALSE(SimIpcClient::IsOpen());
    EXPECT_TRUE(SimIpcClient::Open(0, code));
}

TEST_F(SimIpcClientTest, ABlockLeftBehindByADeadProcessOfTheSameIdIsReplaced) {
    ASSERT_TRUE(server.Start());
    const std::string stale = platform::SharedBlockSystemName(SimIpcClient::BlockName(SimIpcClient::OpenCounter() + 1));
    const int fd = ::shm_open(stale.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);  // not held by this process
    ASSERT_GE(fd, 0);
    ::close(fd);
    uint32_t code = 0;
    EXPECT_TRUE(SimIpcClient::Open(0, code));
    EXPECT_EQ(code, 0u);
}

TEST_F(SimIpcClientTest, ABlockFullIsCode15AtExactlyOneByteOver) {
    openOk();
    uint32_t code = 0;
    const uint32_t fitting = RequestQueue::kUsableBytes - 16 - 4;
    EXPECT_FALSE(SimIpcClient::Read(0, fitting + 1, nullptr, code));
    EXPECT_EQ(code, SimIpcCode::BlockFull);
    EXPECT_TRUE(SimIpcClient::Read(0, fitting, nullptr, code));
    EXPECT_FALSE(SimIpcClient::Write(0, 0, nullptr, code));
    EXPECT_EQ(code, SimIpcCode::BlockFull);
    EXPECT_TRUE(SimIpcClient::Process(code));
}

TEST_F(SimIpcClientTest, AResultOtherThanOneIsCode13AndDeliversNothing) {
    openOk();
    server.space.Put<int32_t>(0x3324, 777);
    server.SetTamper([](uint8_t*, uint64_t) { return 2; });
    int32_t altitude = -5;
    uint32_t code = 0;
    SimIpcClient::Read(0x3324, 4, &altitude, code);
    EXPECT_FALSE(SimIpcClient::Process(code));
    EXPECT_EQ(code, SimIpcCode::BadServerResult);
    EXPECT_EQ(altitude, -5);
    EXPECT_FALSE(SimIpcClient::Process(code));  // the queue is empty after a failure
    EXPECT_EQ(code, SimIpcCode::NothingQueued);
    EXPECT_TRUE(SimIpcClient::IsOpen());  // failures do not close
}

TEST_F(SimIpcClientTest, RewrittenHeadersCannotMakeTheClientWriteOutsideItsVariables) {
    openOk();
    server.space.Put<uint32_t>(0x10, 0x11111111);
    server.space.Put<uint32_t>(0x20, 0x22222222);
    server.SetTamper([](uint8_t* b, uint64_t served) {
        const uint32_t hugeSize = 0x7FF0, wild = 0x12345678, small = 1;
        std::memcpy(b + 8, &hugeSize, 4);  // first read's size
        std::memcpy(b + 12, &wild, 4);     // first read's destination
        std::memcpy(b + 28, &small, 4);    // second read's size
        std::memset(b + 40, 0x77, 0x100);  // the terminator and beyond
        return served;
    });
    struct {
        uint32_t a = 0;
        uint32_t canary1 = 0xC0FFEE00;
        uint32_t b = 0;
        uint32_t canary2 = 0xC0FFEE01;
    } vars;
    uint32_t code = 0;
    SimIpcClient::Read(0x10, 4, &vars.a, code);
    SimIpcClient::Read(0x20, 4, &vars.b, code);
    EXPECT_TRUE(SimIpcClient::Process(code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(vars.a, 0x11111111u);
    EXPECT_EQ(vars.b, 0x22222222u);
    EXPECT_EQ(vars.canary1, 0xC0FFEE00u);
    EXPECT_EQ(vars.canary2, 0xC0FFEE01u);
}

TEST_F(SimIpcClientTest, ASilentServerTimesOutAfterNineSendsWithCode12) {
    openOk();
    server.SetDelayMs(150);  // beyond the shortened 60 ms time-out
    uint32_t value = 0, code = 0;
    SimIpcClient::Read(0x3324, 4, &value, code);
    const auto t0 = Clock::now();
    EXPECT_FALSE(SimIpcClient::Process(code));
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    EXPECT_EQ(code, SimIpcCode::SendFailed);
    EXPECT_GE(seconds, 9 * 0.060);
    EXPECT_LT(seconds, 9 * (0.060 + 0.002) + 1.0);
    platform::SleepMs(400);  // the server still takes each late message in the end
    EXPECT_EQ(server.Exchanges(), 1 + 9);  // the version exchange, then nine sends
    server.SetDelayMs(0);
}

TEST_F(SimIpcClientTest, AServerStoppingMidSessionCostsAtMostTheRetriesEachFrame) {
    openOk();
    SimIpcClient::SetTiming(ExchangeTiming{});  // the protocol's own waits
    server.Stop();
    for (int frame = 0; frame < 2; ++frame) {
        uint32_t value = 0, code = 0;
        SimIpcClient::Read(0x3324, 4, &value, code);
        const auto t0 = Clock::now();
        EXPECT_FALSE(SimIpcClient::Process(code));
        const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        EXPECT_EQ(code, SimIpcCode::SendFailed);  // refused connections carry an error value
        EXPECT_GE(seconds, 0.85);                 // nine sends, 100 ms apart
        EXPECT_LT(seconds, 2.0);
    }
    EXPECT_TRUE(SimIpcClient::IsOpen());
}

TEST_F(SimIpcClientTest, AServerRestartedUnderTheSameClassIsReachedAgain) {
    openOk();
    server.Stop();
    test::ScriptedServer again{"UIPCMAIN", "", sim::BlockDialect::DataServer};
    again.space.Put<int32_t>(0x3324, 4321);
    ASSERT_TRUE(again.Start());
    int32_t altitude = 0;
    uint32_t code = 0;
    SimIpcClient::Read(0x3324, 4, &altitude, code);
    EXPECT_TRUE(SimIpcClient::Process(code));
    EXPECT_EQ(altitude, 4321);
}

// A server window that takes each message and hangs up without answering.
class HangingUpServer {
public:
    explicit HangingUpServer(const std::string& className) {
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const std::string path = platform::ClassSocketPath(className);
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
        listener_ = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        ok_ = ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && ::listen(listener_, 16) == 0;
        thread_ = std::thread([this] {
            for (;;) {
                const int fd = ::accept(listener_, nullptr, nullptr);
                if (fd < 0) return;  // the listener was shut down
                char buffer[1024];
                (void)!::recv(fd, buffer, sizeof buffer, 0);
                ::close(fd);
            }
        });
        path_ = path;
    }
    ~HangingUpServer() {
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
        ::unlink(path_.c_str());
    }
    bool ok() const { return ok_; }

private:
    int listener_ = -1;
    bool ok_ = false;
    std::string path_;
    std::thread thread_;
};

TEST_F(SimIpcClientTest, AServerThatHangsUpWithoutAnsweringGivesCode11) {
    HangingUpServer server2("UIPCMAIN");
    ASSERT_TRUE(server2.ok());
    uint32_t code = 0;
    EXPECT_FALSE(SimIpcClient::Open(0, code));  // the version exchange cannot be answered
    EXPECT_EQ(code, SimIpcCode::SendFailedNoError);
    EXPECT_FALSE(SimIpcClient::IsOpen());
}

}  // namespace
}  // namespace halvex
