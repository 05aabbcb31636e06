// A server that stops answering: the substitute simulator in this process, its window thread
// stuck behind the frame lock. Every exchange gives up after its time-outs with the protocol's
// codes, the queue is empty afterwards, and the connection works again once the server does.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <future>
#include <thread>

#include "sim/DataServer.h"
#include "simlink/FdsClient.h"
#include "simlink/SimIpcClient.h"
#include "simlink/SimOffsets.h"

namespace halvex {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

class StalledServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::DataServerOptions options;
        options.ownClock = false;
        server_ = std::make_unique<sim::DataServer>(options);
        std::string error;
        ASSERT_TRUE(server_->Start(&error)) << error;
    }
    void TearDown() override {
        Resume();
        SimIpcClient::Close();
        SimIpcClient::SetTiming(ExchangeTiming{});
        FdsClient::Close();
        FdsClient::SetTiming(ExchangeTiming{});
        server_->Stop();
    }
    // Holds the frame lock on another thread until Resume: the window stops answering.
    void Stall() {
        std::promise<void> holding;
        auto held = holding.get_future();
        stall_ = std::thread([this, &holding] {
            server_->WithModel([&](auto&, auto&) {
                holding.set_value();
                release_.get_future().wait();
            });
        });
        held.wait();
    }
    void Resume() {
        if (!stall_.joinable()) return;
        release_.set_value();
        stall_.join();
    }

    std::unique_ptr<sim::DataServer> server_;
    std::thread stall_;
    std::promise<void> release_;
};

TEST_F(StalledServerTest, DataServerClientGivesUpAfterNineTimedOutSends) {
    uint32_t code = 99;
    ASSERT_TRUE(SimIpcClient::Open(0, code)) << "code " << code;
    EXPECT_EQ(server_->ClientProtocolLevel(), SimIpcClient::kProtocolLevel);
    ExchangeTiming quick;
    quick.sendTimeoutMs = 150;
    quick.retrySleepMs = 50;
    SimIpcClient::SetTiming(quick);

    Stall();
    uint32_t heading = 0xDEADBEEF;
    ASSERT_TRUE(SimIpcClient::Read(offsets::TrueHeading.at, 4, &heading, code));
    const auto t0 = Clock::now();
    EXPECT_FALSE(SimIpcClient::Process(code));
    const double seconds = secondsSince(t0);
    EXPECT_EQ(code, SimIpcCode::SendFailed) << "a time-out is an error the system names";
    EXPECT_EQ(heading, 0xDEADBEEFu) << "nothing copied back from an unanswered block";
    EXPECT_GE(seconds, 9 * 0.150 * 0.9);
    EXPECT_LT(seconds, 9 * (0.150 + 0.050) + 2.0);
    EXPECT_FALSE(SimIpcClient::Process(code));
    EXPECT_EQ(code, SimIpcCode::NothingQueued) << "the failed exchange emptied the queue";

    Resume();
    ASSERT_TRUE(SimIpcClient::Read(offsets::TrueHeading.at, 4, &heading, code));
    EXPECT_TRUE(SimIpcClient::Process(code)) << "code " << code;
    EXPECT_NE(heading, 0xDEADBEEFu);
}

// With the protocol's own time-outs: four sends of 2000 ms and their sleeps, about 8.4 s.
TEST_F(StalledServerTest, FdsClientGivesUpAfterFourSendsOfTwoSeconds) {
    uint32_t code = 99;
    ASSERT_TRUE(FdsClient::Open(code)) << "code " << code;
    Stall();
    uint32_t heading = 0;
    ASSERT_TRUE(FdsClient::Write(offsets::AutopilotHeading.at, 2, &heading, code));
    const auto t0 = Clock::now();
    EXPECT_FALSE(FdsClient::Process(code));
    const double seconds = secondsSince(t0);
    EXPECT_EQ(code, FdsCode::SendFailed);
    EXPECT_GE(seconds, 4 * 2.0 * 0.95);
    EXPECT_LT(seconds, 4 * 2.1 + 2.0);
}

}  // namespace
}  // namespace halvex
