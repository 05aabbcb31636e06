// Both data-server clients against halvex-server.exe in another process: real window lookup,
// registered messages, global atoms and named file mappings between two Windows processes.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>

#include "ServerProcess.h"
#include "simlink/FdsClient.h"
#include "simlink/SimIpcClient.h"
#include "simlink/SimOffsets.h"
#include "simlink/SimVariables.h"

namespace halvex {
namespace {

constexpr double kStartLatDeg = 47.45, kStartLonDeg = -122.31;

class ServerProgramTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new test::ServerProcess;
        started_ = server_->Start("--quiet --lat 47.45 --lon -122.31 --alt 3000 --hdg 90 --ias 250");
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(started_) << "halvex-server.exe did not come up: " << test::ServerProcess::ProgramPath(); }
    void TearDown() override {
        SimIpcClient::Close();
        FdsClient::Close();
    }

    static test::ServerProcess* server_;
    static bool started_;
};

test::ServerProcess* ServerProgramTest::server_ = nullptr;
bool ServerProgramTest::started_ = false;

TEST_F(ServerProgramTest, VersionExchangeReadsTheServerWords) {
    uint32_t code = 99;
    ASSERT_TRUE(SimIpcClient::Open(0, code)) << "code " << code;
    EXPECT_EQ(code, SimIpcCode::Ok);
    EXPECT_GE(SimIpcClient::ServerVersion(), SimIpcClient::kMinimumServerVersion);
    EXPECT_NE(SimIpcClient::SimulatorWord(), 0u);
    EXPECT_EQ(SimIpcClient::SimulatorWord() & 0xFFFF0000u, 0u) << "only the identifier remains";

    EXPECT_FALSE(SimIpcClient::Open(0, code));  // a second open leaves the first working
    EXPECT_EQ(code, SimIpcCode::AlreadyOpen);
    uint32_t version = 0;
    ASSERT_TRUE(SimIpcClient::Read(SimIpcClient::kVersionOffset, 4, &version, code));
    ASSERT_TRUE(SimIpcClient::Process(code)) << "code " << code;
    EXPECT_EQ(version, SimIpcClient::ServerVersion());

    const uint32_t wrongSimulator = (SimIpcClient::SimulatorWord() + 1) & 0xFFFF;
    SimIpcClient::Close();
    EXPECT_FALSE(SimIpcClient::Open(static_cast<uint16_t>(wrongSimulator ? wrongSimulator : 2), code));
    EXPECT_EQ(code, SimIpcCode::WrongSimulator);
}

// Reads land in the caller's variables through the 32-bit addresses carried in the records.
TEST_F(ServerProgramTest, ReadsDeliverOnlyToTheirOwnDestinations) {
    uint32_t code = 99;
    ASSERT_TRUE(SimIpcClient::Open(0, code)) << "code " << code;
    int64_t latitude = 0, longitude = 0;
    uint32_t heading = 0;
    uint8_t guard[8];
    std::memset(guard, 0xA5, sizeof guard);
    ASSERT_TRUE(SimIpcClient::Read(offsets::Latitude.at, 8, &latitude, code));
    ASSERT_TRUE(SimIpcClient::Read(offsets::TrueHeading.at, 4, &heading, code));
    ASSERT_TRUE(SimIpcClient::Read(offsets::Longitude.at, 8, nullptr, code));  // answered, copied nowhere
    ASSERT_TRUE(SimIpcClient::Read(offsets::Longitude.at, 8, &longitude, code));
    ASSERT_TRUE(SimIpcClient::Process(code)) << "code " << code;
    // latitude: 90 / (10001750 * 65536 * 65536) degrees per unit; longitude: 360 / 2^64
    EXPECT_NEAR(static_cast<double>(latitude) * 90.0 / (10001750.0 * 65536.0 * 65536.0), kStartLatDeg, 0.05);
    EXPECT_NEAR(static_cast<double>(longitude) * 360.0 / (65536.0 * 65536.0 * 65536.0 * 65536.0), kStartLonDeg, 0.05);
    EXPECT_NEAR(heading * 360.0 / 4294967296.0, 90.0, 2.0);
    for (uint8_t b : guard) EXPECT_EQ(b, 0xA5);
}

TEST_F(ServerProgramTest, WritesReachTheServerAndReadBack) {
    IpcSimVariables sim;
    ASSERT_TRUE(sim.IsConnected()) << "code " << sim.LastResult();
    ASSERT_EQ(sim.Update(), 0) << "code " << sim.LastResult();
    EXPECT_NEAR(sim.Latitude() * kRadToDeg, kStartLatDeg, 0.05);
    EXPECT_NEAR(sim.Longitude() * kRadToDeg, kStartLonDeg, 0.05);
    EXPECT_NEAR(sim.IndicatedAirspeed(), 250.0, 15.0);
    for (float headingDeg : {123.0f, 271.0f}) {
        sim.SetAutopilotHeading(headingDeg, false);
        EXPECT_NEAR(sim.AutopilotHeading(), headingDeg, 0.01f);
    }
    sim.SetAutopilotAltitude(12000.0f);
    sim.SetAutopilotAirspeed(280.0f);
    uint32_t code = 99;
    int16_t airspeedKt = 0;
    ASSERT_TRUE(SimIpcClient::Read(offsets::AutopilotAirspeed.at, 2, &airspeedKt, code));
    ASSERT_TRUE(SimIpcClient::Process(code));
    EXPECT_EQ(airspeedKt, 280);
}

TEST_F(ServerProgramTest, FdsConnectionServesTheSameOffsets) {
    uint32_t code = 99;
    ASSERT_TRUE(FdsClient::Open(code)) << "code " << code;
    EXPECT_FALSE(FdsClient::Open(code));
    EXPECT_EQ(code, FdsCode::AlreadyOpen);
    int64_t latitude = 0;
    uint8_t eight[8] = {};
    ASSERT_TRUE(FdsClient::Read(offsets::Latitude.at, 8, &latitude, code));
    ASSERT_TRUE(FdsClient::ReadEightBytes(offsets::Longitude.at, eight, code));
    ASSERT_TRUE(FdsClient::Process(code)) << "code " << code;
    EXPECT_NEAR(static_cast<double>(latitude) * 90.0 / (10001750.0 * 65536.0 * 65536.0), kStartLatDeg, 0.05);
    int64_t longitude;
    std::memcpy(&longitude, eight, 8);
    EXPECT_NEAR(static_cast<double>(longitude) * 360.0 / (65536.0 * 65536.0 * 65536.0 * 65536.0), kStartLonDeg, 0.05);

    // After Close the same block name comes back (its counter stays 0): the old mapping is gone.
    FdsClient::Close();
    ASSERT_TRUE(FdsClient::Open(code)) << "code " << code;
    FdsSimVariables sim;  // a second user of the open connection would be refused
    EXPECT_FALSE(sim.IsConnected());
}

// Last: the server dies under an open connection. Every exchange fails quickly with the
// error-valued code and leaves the queue empty; nothing hangs.
TEST_F(ServerProgramTest, ServerThatDiesFailsEveryExchangeBounded) {
    uint32_t code = 99;
    ASSERT_TRUE(SimIpcClient::Open(0, code));
    ASSERT_TRUE(FdsClient::Open(code));
    server_->Kill();
    uint32_t value = 0;
    ASSERT_TRUE(SimIpcClient::Read(offsets::TrueHeading.at, 4, &value, code));
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(SimIpcClient::Process(code));
    EXPECT_EQ(code, SimIpcCode::SendFailed);  // the system names the dead window
    ASSERT_TRUE(FdsClient::Read(offsets::TrueHeading.at, 4, &value, code));
    EXPECT_FALSE(FdsClient::Process(code));
    EXPECT_EQ(code, FdsCode::SendFailed);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(seconds, 9 * 0.1 + 4 * 0.1 + 2.0) << "a dead window costs only the retry sleeps";
    EXPECT_FALSE(SimIpcClient::Process(code));
    EXPECT_EQ(code, SimIpcCode::NothingQueued);
}

}  // namespace
}  // namespace halvex
