// The substitute simulator's data server: record serving, the offset mapping both ways, and
// both protocols reaching the flight model.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/SharedBlock.h"
#include "platform/WindowMessages.h"
#include "simlink/FdsClient.h"
#include "simlink/RequestQueue.h"
#include "simlink/SimIpcClient.h"
#include "simlink/SimVariables.h"
#include "sim/DataServer.h"
#include "sim/RecordServing.h"
#include "support/ScratchRuntime.h"

namespace halvex {
namespace {

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

TEST(RecordServing, ServesReadsAndWritesAndLeavesHeadersAlone) {
    sim::OffsetSpace space;
    space.Put<uint32_t>(0x100, 0xCAFEF00D);
    std::vector<uint8_t> block(64, 0);
    put32(block, 0, 1), put32(block, 4, 0x100), put32(block, 8, 4), put32(block, 12, 77);
    put32(block, 20, 2), put32(block, 24, 0x200), put32(block, 28, 2), block[32] = 0x34, block[33] = 0x12;
    put32(block, 34, 0);
    std::vector<std::pair<uint32_t, uint32_t>> writes;
    EXPECT_EQ(sim::ServeRecords(block.data(), block.size(), sim::BlockDialect::DataServer, space,
                                [&](uint32_t o, uint32_t s) { writes.emplace_back(o, s); }),
              1u);
    uint32_t read;
    std::memcpy(&read, block.data() + 16, 4);
    EXPECT_EQ(read, 0xCAFEF00Du);
    EXPECT_EQ(block[12], 77);  // the token passes through
    EXPECT_EQ(space.Get<uint16_t>(0x200), 0x1234);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], std::make_pair(0x200u, 2u));
}

TEST(RecordServing, RefusesRecordsThatRunPastTheBlockOrAreUnknown) {
    sim::OffsetSpace space;
    std::vector<uint8_t> block(64, 0);
    put32(block, 0, 1), put32(block, 4, 0), put32(block, 8, 1000);
    EXPECT_EQ(sim::ServeRecords(block.data(), block.size(), sim::BlockDialect::DataServer, space, nullptr), 0u);
    put32(block, 0, 5);  // an FDS record type on the data server
    EXPECT_EQ(sim::ServeRecords(block.data(), block.size(), sim::BlockDialect::DataServer, space, nullptr), 0u);
    put32(block, 4, 0x560), put32(block, 20, 0);
    EXPECT_EQ(sim::ServeRecords(block.data(), block.size(), sim::BlockDialect::Fds, space, nullptr), 1u);
    std::vector<uint8_t> full(16, 0xFF);  // no terminator anywhere
    put32(full, 0, 6);
    EXPECT_EQ(sim::ServeRecords(full.data(), full.size(), sim::BlockDialect::Fds, space, nullptr), 0u);
}

TEST(RecordServing, OffsetsPastTheSpaceReadZeroAndIgnoreWrites) {
    sim::OffsetSpace space;
    uint8_t out[8];
    std::memset(out, 0xAA, sizeof out);
    space.Put<uint32_t>(0xFFFC, 0x01020304);
    space.Read(0xFFFE, 8, out);
    EXPECT_EQ(out[0], 0x02);
    EXPECT_EQ(out[1], 0x01);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[7], 0);
    const uint8_t bytes[4] = {9, 9, 9, 9};
    space.Write(0xFFFFFFF0u, 4, bytes);  // no crash, no effect
    space.Write(0xFFFF, 4, bytes);
    EXPECT_EQ(space.Get<uint8_t>(0xFFFF), 9);
}

class DataServerTest : public ::testing::Test {
protected:
    DataServerTest() {
        ExchangeTiming quick;
        quick.versionPassSleepMs = 1;
        SimIpcClient::SetTiming(quick);
        options.ownClock = false;
        options.model.latitudeDeg = 47.45;
        options.model.longitudeDeg = -122.31;
        options.model.altitudeFt = 3000;
        options.model.trueHeadingDeg = 160;
        options.model.iasKt = 220;
        options.model.fieldElevationFt = 400;
        options.model.windFromDeg = 200;
        options.model.windSpeedKt = 15;
        options.model.utcDate = sim::SimDate{2008, 2, 29, 23, 58};
        options.model.magneticVariationDeg = 15.5;
        options.identity.simulatorPath = "/sim/";
        options.identity.aircraftFilePath = "Aircraft\\Zolan\\zolan.air";
    }
    ~DataServerTest() override { SimIpcClient::SetTiming(ExchangeTiming{}); }

    test::ScratchRuntime runtime;
    sim::DataServerOptions options;
};

void expectSameAircraft(SimVariables& v, const sim::AircraftSnapshot& s) {
    EXPECT_NEAR(v.Latitude() * kRadToDeg, s.latitudeDeg, 1e-4);
    EXPECT_NEAR(v.Longitude() * kRadToDeg, s.longitudeDeg, 1e-4);
    EXPECT_NEAR(v.TrueHeading(), s.trueHeadingDeg, 1e-3);
    EXPECT_NEAR(v.MagneticVariation(), s.magneticVariationDeg, 0.01);
    EXPECT_NEAR(v.Altitude(), s.altitudeFt, 1.0);
    EXPECT_NEAR(v.RadioAltitude(), s.radioAltitudeFt, 3.5);  // whole metres on the FDS ground offset
    EXPECT_NEAR(v.VerticalSpeed(), s.verticalSpeedFpm, 3.5);
    EXPECT_NEAR(v.IndicatedAirspeed(), s.iasKt, 0.01);
    EXPECT_NEAR(v.TrueAirspeed(), s.tasKt, 0.01);
    EXPECT_NEAR(v.GroundSpeed(), s.groundSpeedKt, 0.01);
    EXPECT_NEAR(v.WindSpeed(), s.windSpeedKt, 0.5);
    EXPECT_NEAR(std::fmod(v.WindDirection() + s.magneticVariationDeg + 720.0, 360.0), s.windFromDeg, 0.01);  // served magnetic
    EXPECT_NEAR(v.GrossWeight(), s.grossWeightLb, 1.0);
    EXPECT_EQ(v.UtcHour(), s.utcHour);
    EXPECT_EQ(v.UtcMinute(), s.utcMinute);
    EXPECT_EQ(v.UtcSecond(), s.utcSecond);
}

TEST_F(DataServerTest, BothProtocolsServeTheFlightModelsState) {
    sim::DataServer server(options);
    ASSERT_TRUE(server.Start());
    server.Step(1.0);
    IpcSimVariables ipc;
    ASSERT_TRUE(ipc.IsConnected());
    EXPECT_EQ(server.ClientProtocolLevel(), 1004);
    ASSERT_EQ(ipc.Update(), 0);
    const sim::AircraftSnapshot s = server.Snapshot();
    expectSameAircraft(ipc, s);
    EXPECT_EQ(ipc.Year(), 2008);
    EXPECT_EQ(ipc.Month(), 2);
    EXPECT_EQ(ipc.DayOfMonth(), 29);
    EXPECT_EQ(ipc.SimulatorPath(), "/sim/");
    EXPECT_EQ(ipc.AircraftFolder(), "Aircraft\\Zolan\\");

    FdsSimVariables fds;
    ASSERT_TRUE(fds.IsConnected());
    ASSERT_EQ(fds.Update(), 0);
    expectSameAircraft(fds, s);
}

TEST_F(DataServerTest, AutopilotWritesReachTheModelAndReadBack) {
    sim::DataServer server(options);
    ASSERT_TRUE(server.Start());
    IpcSimVariables sim;
    ASSERT_EQ(sim.Update(), 0);
    sim.SetAutopilotMaster(true);
    sim.SetFlightDirector(true);
    sim.EngageHeadingHold();
    sim.EngageAltitudeHold();
    sim.SetAutopilotHeading(270, false);
    sim.SetAutopilotAltitude(11000);
    sim.SetAutopilotVerticalSpeed(1800);
    sim.SetAutopilotAirspeed(280);
    sim.SetNav1Course(93);
    sim::AutopilotInputs ap = server.Autopilot();
    EXPECT_TRUE(ap.master);
    EXPECT_TRUE(ap.flightDirector);
    EXPECT_TRUE(ap.headingHold);
    EXPECT_TRUE(ap.altitudeHold);
    EXPECT_NEAR(ap.headingBugDegMag, 270.0, 0.01);
    EXPECT_NEAR(ap.targetAltitudeFt, 11000.0, 0.01);
    EXPECT_DOUBLE_EQ(ap.targetVerticalSpeedFpm, 1800);
    EXPECT_DOUBLE_EQ(ap.targetIasKt, 280);
    EXPECT_DOUBLE_EQ(ap.nav1CourseDegMag, 93);
    sim.EngageNavHold();  // the lateral holds exclude each other
    ap = server.Autopilot();
    EXPECT_TRUE(ap.navHold);
    EXPECT_FALSE(ap.headingHold);

    server.Step(0.1);
    ASSERT_EQ(sim.Update(), 0);
    EXPECT_TRUE(sim.AutopilotMaster());
    EXPECT_TRUE(sim.FlightDirector());
    EXPECT_FLOAT_EQ(sim.AutopilotHeading(), 270.0f);
    EXPECT_FLOAT_EQ(sim.Nav1Course(), 93.0f);
    EXPECT_EQ(SimIpcClient::SimulatorWord(), 1u);  // the signature survived the protocol-level write
}

TEST_F(DataServerTest, ANameInUseByALiveServerIsRefused) {
    sim::DataServer first(options);
    ASSERT_TRUE(first.Start());
    sim::DataServer second(options);
    std::string error;
    EXPECT_FALSE(second.Start(&error));
    EXPECT_NE(error.find("another server"), std::string::npos);
    first.Stop();
    EXPECT_TRUE(second.Start());  // the name is free again once the first stopped
}

// The block as the system keeps it (another process's view of it).
std::string shmFile(const std::string& blockName) { return "/dev/shm" + platform::SharedBlockSystemName(blockName); }

bool shrink(const std::string& blockName, off_t bytes) {
    const int fd = ::shm_open(platform::SharedBlockSystemName(blockName).c_str(), O_RDWR, 0);
    const bool done = fd >= 0 && ::ftruncate(fd, bytes) == 0;
    if (fd >= 0) ::close(fd);
    return done;
}

TEST_F(DataServerTest, BlocksHaveTheirMemoryReservedOrFailToOpen) {
    sim::DataServer server(options);
    ASSERT_TRUE(server.Start());
    uint32_t code = 0;
    ASSERT_TRUE(SimIpcClient::Open(0, code));
    struct stat st {};
    ASSERT_EQ(::stat(shmFile(SimIpcClient::BlockName(SimIpcClient::OpenCounter())).c_str(), &st), 0);
    EXPECT_GE(st.st_blocks * 512, static_cast<off_t>(RequestQueue::kBlockBytes));  // pages held now, not at first touch
    SimIpcClient::Close();

    // A system without room: the open fails with the block's own code and leaves no name behind.
    const auto previous = platform::SetBlockReservation([](int, uint64_t) { return ENOSPC; });
    EXPECT_FALSE(SimIpcClient::Open(0, code));
    EXPECT_EQ(code, SimIpcCode::CreateBlockFailed);
    EXPECT_FALSE(std::filesystem::exists(shmFile(SimIpcClient::BlockName(SimIpcClient::OpenCounter()))));
    EXPECT_FALSE(FdsClient::Open(code));
    EXPECT_EQ(code, FdsCode::CreateBlockFailed);
    platform::SetBlockReservation(previous);
    EXPECT_TRUE(SimIpcClient::Open(0, code));
    SimIpcClient::Close();
}

// Another process of the user may truncate a block at any time; neither end may die of it.
TEST_F(DataServerTest, AShrunkBlockNeverKillsTheClient) {
    sim::DataServer server(options);
    ASSERT_TRUE(server.Start());
    server.WithModel([](sim::FlightModel&, sim::OffsetSpace& space) { space.Put<uint32_t>(0x0100, 0x5EED5EED); });
    uint32_t code = 0, value = 0;
    ASSERT_TRUE(SimIpcClient::Open(0, code));
    ASSERT_TRUE(shrink(SimIpcClient::BlockName(SimIpcClient::OpenCounter()), 0));
    ASSERT_TRUE(SimIpcClient::Read(0x0100, 4, &value, code));
    EXPECT_TRUE(SimIpcClient::Process(code)) << code;  // the request is written anew
    EXPECT_EQ(value, 0x5EED5EEDu);
    SimIpcClient::Close();
}

TEST_F(DataServerTest, AShrunkBlockNeverKillsTheServer) {
    sim::DataServer server(options);
    ASSERT_TRUE(server.Start());
    server.WithModel([](sim::FlightModel&, sim::OffsetSpace& space) { space.Put<uint32_t>(0x0100, 0x5EED5EED); });
    // The test is the client here, so that the block can shrink after it was written.
    const std::string name = "FsasmLib:IPC:shrink:1";
    platform::SharedBlock block;
    ASSERT_EQ(block.Create(name, RequestQueue::kBlockBytes), platform::SharedBlock::Created::Ok);
    const uint16_t atom = platform::AddGlobalAtom(name);
    const uint32_t message = platform::RegisterMessage(SimIpcClient::kMessageName);
    const platform::WindowHandle window = platform::FindWindowByClass(SimIpcClient::kServerClass);
    ASSERT_NE(window, 0u);
    const uint32_t request[6] = {1, 0x0100, 4, 1, 0, 0};  // read 4 bytes of 0x100, then the terminator
    auto exchange = [&] { return platform::SendMessageWithTimeout(window, message, atom, 0, 2000); };

    ASSERT_TRUE(block.WriteAt(0, request, sizeof request));
    ASSERT_EQ(exchange().result, 1u);  // the server holds the block open from here on
    uint32_t served = 0;
    ASSERT_EQ(block.ReadAt(16, &served, 4), 4u);
    EXPECT_EQ(served, 0x5EED5EEDu);

    ASSERT_TRUE(shrink(name, 8));  // the list now ends inside its first record
    const platform::SendOutcome cut = exchange();
    EXPECT_TRUE(cut.delivered);
    EXPECT_EQ(cut.result, 0u);
    ASSERT_TRUE(block.WriteAt(0, request, sizeof request));
    EXPECT_EQ(exchange().result, 1u);  // and it serves on
    platform::DeleteGlobalAtom(atom);
    platform::ReleaseWindow(window);
}

TEST_F(DataServerTest, ItsOwnClockFliesTheModel) {
    options.ownClock = true;
    options.frameSeconds = 0.005;
    sim::DataServer server(options);
    ASSERT_TRUE(server.Start());
    const double before = server.Snapshot().simulatedSeconds;
    platform::SleepMs(100);
    EXPECT_GT(server.Snapshot().simulatedSeconds, before + 0.05);
    server.Stop();
}

}  // namespace
}  // namespace halvex
