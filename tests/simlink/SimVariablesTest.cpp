// SimVariables over both transports against a scripted server: every conversion, the Update
// order and its failure, the writes, dates, paths, and the not-connected values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <tuple>
#include <vector>

#include "ScriptedServer.h"
#include "simlink/FdsClient.h"
#include "simlink/SimIpcClient.h"
#include "simlink/SimVariables.h"
#include "support/ScratchRuntime.h"

namespace halvex {
namespace {

uint32_t word(const uint8_t* b, size_t at) {
    uint32_t v;
    std::memcpy(&v, b + at, 4);
    return v;
}

// Raw values for every offset Update reads.
void fillAircraft(sim::OffsetSpace& s) {
    s.Put<int64_t>(0x0560, static_cast<int64_t>(47.5 / 2.0951091e-15));        // 47.5 N
    s.Put<int64_t>(0x0568, static_cast<int64_t>(-122.25 / 1.9515639e-17));     // 122.25 W
    s.Put<uint32_t>(0x0580, 0x40000000u);   // 90 degrees
    s.Put<int16_t>(0x02A0, -2731);          // about -15 degrees
    s.Put<int32_t>(0x3324, 12000);
    s.Put<int64_t>(0x0570, static_cast<int64_t>(9000.0 / 7.6388007e-10));
    s.Put<uint32_t>(0x31E4, 65536u * 100);  // 100 m
    s.Put<int16_t>(0x0B4C, 500);            // ground 500 m
    s.Put<int16_t>(0x0842, -300);           // 300 m/min up
    s.Put<int32_t>(0x02B4, 65536 * 200);    // 200 m/s
    s.Put<int32_t>(0x02B8, 300 * 128);
    s.Put<int32_t>(0x02BC, 250 * 128 + 64);
    s.Put<int16_t>(0xC0FE, 35);
    s.Put<int16_t>(0xC102, 16384);          // 90 degrees
    s.Put<double>(0x3070, -1.5);
    s.Put<double>(0x30C0, 143000.0);
    s.Put<uint32_t>(0x07BC, 1);
    s.Put<uint32_t>(0x2EE0, 0);
    s.Put<uint8_t>(0x023B, 7);
    s.Put<uint8_t>(0x023C, 4);
    s.Put<uint8_t>(0x023A, 59);
}

class SimVariablesTest : public ::testing::Test {
protected:
    SimVariablesTest() {
        ExchangeTiming quick;
        quick.sendTimeoutMs = 60;
        quick.retrySleepMs = 1;
        quick.versionPassSleepMs = 1;
        SimIpcClient::SetTiming(quick);
        FdsClient::SetTiming(quick);
        fillAircraft(ipc.space);
        fillAircraft(fds.space);
    }
    ~SimVariablesTest() override {
        SimIpcClient::SetTiming(ExchangeTiming{});
        FdsClient::SetTiming(ExchangeTiming{});
    }

    test::ScratchRuntime runtime;
    test::ScriptedServer ipc{"UIPCMAIN", "", sim::BlockDialect::DataServer};
    test::ScriptedServer fds{"FDSConnection", "", sim::BlockDialect::Fds};
};

TEST_F(SimVariablesTest, NotConnectedGivesTheFailureValuesForEver) {
    IpcSimVariables sim;
    EXPECT_FALSE(sim.IsConnected());
    EXPECT_EQ(sim.LastResult(), SimIpcCode::NoServerWindow);
    EXPECT_EQ(sim.Update(), -1);
    EXPECT_FLOAT_EQ(sim.Latitude(), -1.0f);
    EXPECT_FLOAT_EQ(sim.Longitude(), -1.0f);
    EXPECT_FLOAT_EQ(sim.Position().radiusNm, 3443.9185f);
    EXPECT_FLOAT_EQ(sim.Altitude(), -1.0f);
    EXPECT_EQ(sim.UtcHour(), 0);
    EXPECT_EQ(sim.Year(), 0);
    EXPECT_EQ(sim.Month(), 0);
    EXPECT_EQ(sim.AircraftFolder(), "\n");
    EXPECT_EQ(sim.SimulatorPath(), "\n");
    EXPECT_FLOAT_EQ(sim.Nav1DmeDistance(), 0.0f);
    EXPECT_FALSE(sim.Nav1GlideslopeValid());
    sim.SetAutopilotAltitude(1000);  // sends nothing, and nothing breaks
    FdsSimVariables fdsSim;
    EXPECT_FALSE(fdsSim.IsConnected());
    EXPECT_EQ(fdsSim.LastResult(), FdsCode::NoServerWindow);
}

TEST_F(SimVariablesTest, UpdateConvertsEveryValueInItsOrder) {
    std::vector<uint32_t> order;
    ipc.SetInspector([&](const uint8_t* b) { order.push_back(word(b, 4)); });
    ASSERT_TRUE(ipc.Start());
    IpcSimVariables sim;
    ASSERT_TRUE(sim.IsConnected());
    order.clear();
    ASSERT_EQ(sim.Update(), 0);
    const std::vector<uint32_t> expected = {0x0560, 0x0568, 0x0580, 0x02A0, 0x3324, 0x31E4, 0x0842,
                                            0x02B4, 0x02B8, 0x02BC, 0xC0FE, 0xC102, 0x3070, 0x30C0,
                                            0x07BC, 0x2EE0, 0x023B, 0x023C, 0x023A};
    EXPECT_EQ(order, expected);
    EXPECT_NEAR(sim.Latitude() * kRadToDeg, 47.5, 1e-4);
    EXPECT_NEAR(sim.Longitude() * kRadToDeg, -122.25, 1e-4);
    EXPECT_NEAR(sim.TrueHeading(), 90.0, 1e-4);
    EXPECT_NEAR(sim.MagneticVariation(), -15.0, 0.01);
    EXPECT_FLOAT_EQ(sim.Altitude(), 12000.0f);
    EXPECT_NEAR(sim.RadioAltitude(), 328.084, 1e-3);
    EXPECT_NEAR(sim.VerticalSpeed(), 984.252, 1e-3);
    EXPECT_NEAR(sim.GroundSpeed(), 388.77, 0.01);  // 200 m/s
    EXPECT_FLOAT_EQ(sim.TrueAirspeed(), 300.0f);
    EXPECT_FLOAT_EQ(sim.IndicatedAirspeed(), 250.5f);
    EXPECT_FLOAT_EQ(sim.WindSpeed(), 35.0f);
    EXPECT_FLOAT_EQ(sim.WindDirection(), 90.0f);
    EXPECT_FLOAT_EQ(sim.LongitudinalAcceleration(), -1.5f);
    EXPECT_FLOAT_EQ(sim.GrossWeight(), 143000.0f);
    EXPECT_TRUE(sim.AutopilotMaster());
    EXPECT_FALSE(sim.FlightDirector());
    EXPECT_EQ(sim.UtcHour(), 7);
    EXPECT_EQ(sim.UtcMinute(), 4);
    EXPECT_EQ(sim.UtcSecond(), 59);
    EXPECT_EQ(sim.LastResult(), 0u);
}

TEST_F(SimVariablesTest, TheFdsTransportReadsAltitudeAndRadioAltitudeElsewhere) {
    std::vector<uint32_t> order;
    fds.SetInspector([&](const uint8_t* b) { order.push_back(word(b, 4)); });
    ASSERT_TRUE(fds.Start());
    FdsSimVariables sim;
    ASSERT_TRUE(sim.IsConnected());
    ASSERT_EQ(sim.Update(), 0);
    ASSERT_EQ(order.size(), 19u);
    EXPECT_EQ(order[4], 0x0570u);
    EXPECT_EQ(order[5], 0x0B4Cu);
    EXPECT_NEAR(sim.Altitude(), 9000.0, 1e-2);
    EXPECT_NEAR(sim.RadioAltitude(), 9000.0 - 500 * 3.28084, 1e-2);
}

TEST_F(SimVariablesTest, AFailedExchangeMidUpdateKeepsLaterFieldsStale) {
    ASSERT_TRUE(ipc.Start());
    IpcSimVariables sim;
    ASSERT_TRUE(sim.IsConnected());
    int served = 0;
    ipc.SetTamper([&](uint8_t*, uint64_t r) { return ++served <= 3 ? r : 0; });  // heading is the last good one
    EXPECT_EQ(sim.Update(), -1);
    EXPECT_EQ(sim.LastResult(), SimIpcCode::BadServerResult);
    EXPECT_NEAR(sim.TrueHeading(), 90.0, 1e-4);
    EXPECT_FLOAT_EQ(sim.MagneticVariation(), -1.0f);  // never read
    EXPECT_FLOAT_EQ(sim.GrossWeight(), -1.0f);
    ipc.SetTamper(nullptr);
    EXPECT_EQ(sim.Update(), 0);  // the next frame tries again
    EXPECT_FLOAT_EQ(sim.GrossWeight(), 143000.0f);
}

TEST_F(SimVariablesTest, CommandsAreScaledTruncatedAndClamped) {
    ASSERT_TRUE(ipc.Start());
    IpcSimVariables sim;
    ASSERT_TRUE(sim.IsConnected());
    sim.SetNav1Course(-5);
    EXPECT_EQ(ipc.space.Get<int16_t>(0x0C4E), 0);
    sim.SetNav1Course(400);
    EXPECT_EQ(ipc.space.Get<int16_t>(0x0C4E), 360);
    sim.SetNav2Course(123.9f);
    EXPECT_EQ(ipc.space.Get<int16_t>(0x0C5E), 123);
    EXPECT_FLOAT_EQ(sim.Nav2Course(), 123.0f);
    sim.SetAutopilotHeading(90, false);
    EXPECT_EQ(ipc.space.Get<uint16_t>(0x07CC), 16384);
    EXPECT_FLOAT_EQ(sim.AutopilotHeading(), 90.0f);
    ipc.space.Put<uint16_t>(0x07CC, 16385);
    EXPECT_FLOAT_EQ(sim.AutopilotHeading(), 91.0f);  // rounded up
    ipc.space.Put<int16_t>(0x02A0, 1820);             // variation +10 (to 0.01)
    ASSERT_EQ(sim.Update(), 0);
    sim.SetAutopilotHeading(90, true);
    EXPECT_NEAR(ipc.space.Get<uint16_t>(0x07CC), 80.0 * 65536 / 360, 1.0);
    sim.SetAutopilotAltitude(10000.9f);
    EXPECT_EQ(ipc.space.Get<int32_t>(0x07D4), static_cast<int32_t>(10000.9f * 19975.373));
    sim.SetAutopilotAirspeed(250.9f);
    EXPECT_EQ(ipc.space.Get<int16_t>(0x07E2), 250);
    sim.SetAutopilotVerticalSpeed(-1500.7f);
    EXPECT_EQ(ipc.space.Get<int16_t>(0x07F2), -1500);
    sim.SetAutopilotVerticalSpeed(1e9f);  // saturates instead of wrapping
    EXPECT_EQ(ipc.space.Get<int16_t>(0x07F2), 32767);
    sim.SetAutopilotMaster(false);
    EXPECT_EQ(ipc.space.Get<uint32_t>(0x07BC), 0u);
    sim.SetFlightDirector(true);
    EXPECT_EQ(ipc.space.Get<uint32_t>(0x2EE0), 1u);
    sim.EngageHeadingHold();
    sim.EngageNavHold();
    sim.EngageAltitudeHold();
    sim.EngageAirspeedHold();
    sim.EngageApproachHold();
    for (uint32_t at : {0x07C8u, 0x07C4u, 0x07D0u, 0x07DCu, 0x0800u}) EXPECT_EQ(ipc.space.Get<uint32_t>(at), 1u) << at;
}

TEST_F(SimVariablesTest, RadiosReadTheirOffsets) {
    ipc.space.Put<uint16_t>(0x0C56, 45);
    ipc.space.Put<uint16_t>(0x0300, 123);
    ipc.space.Put<float>(0x2AAC, -63.5f);
    ipc.space.Put<float>(0x2AB0, 12.0f);
    ipc.space.Put<uint16_t>(0x0C4C, 1);
    ipc.space.Put<uint16_t>(0x0C5C, 270);
    ipc.space.Put<uint16_t>(0x0306, 7);
    ipc.space.Put<float>(0x2AB4, 127.0f);
    ipc.space.Put<float>(0x2AB8, -127.0f);
    ASSERT_TRUE(ipc.Start());
    IpcSimVariables sim;
    EXPECT_FLOAT_EQ(sim.Nav1RelativeBearing(), 45.0f);
    EXPECT_FLOAT_EQ(sim.Nav1DmeDistance(), 12.3f);
    EXPECT_FLOAT_EQ(sim.Nav1LateralNeedle(), -63.5f);
    EXPECT_FLOAT_EQ(sim.Nav1VerticalNeedle(), 12.0f);
    EXPECT_TRUE(sim.Nav1GlideslopeValid());
    EXPECT_FLOAT_EQ(sim.Nav2RelativeBearing(), 270.0f);
    EXPECT_FLOAT_EQ(sim.Nav2DmeDistance(), 0.7f);
    EXPECT_FLOAT_EQ(sim.Nav2LateralNeedle(), 127.0f);
    EXPECT_FLOAT_EQ(sim.Nav2VerticalNeedle(), -127.0f);
    EXPECT_FALSE(sim.Nav2GlideslopeValid());
}

TEST_F(SimVariablesTest, DatesFollowTheLeapYearRule) {
    ASSERT_TRUE(ipc.Start());
    IpcSimVariables sim;
    auto date = [&](uint16_t year, uint16_t day) {
        ipc.space.Put<uint16_t>(0x0240, year);
        ipc.space.Put<uint16_t>(0x023E, day);
        return std::make_tuple(int{sim.Year()}, int{sim.Month()}, int{sim.DayOfMonth()});
    };
    EXPECT_EQ(date(2007, 60), std::make_tuple(2007, 3, 1));
    EXPECT_EQ(date(2008, 60), std::make_tuple(2008, 2, 29));
    EXPECT_EQ(date(1900, 60), std::make_tuple(1900, 3, 1));
    EXPECT_EQ(date(2000, 60), std::make_tuple(2000, 2, 29));
    EXPECT_EQ(date(2006, 64), std::make_tuple(2006, 3, 5));
    EXPECT_EQ(date(2007, 365), std::make_tuple(2007, 12, 31));
    EXPECT_EQ(date(2008, 366), std::make_tuple(2008, 12, 31));
    EXPECT_EQ(date(2007, 366), std::make_tuple(2007, 0, 0));  // outside the year: no date
    EXPECT_EQ(date(2007, 0), std::make_tuple(2007, 0, 0));
}

TEST_F(SimVariablesTest, PathsAndTheAircraftFolder) {
    ipc.space.PutText(0x3E00, 256, "C:\\Sim\\");
    ipc.space.PutText(0x3C00, 256, "SimObjects\\Airplanes\\Zolan\\zolan.air");
    ASSERT_TRUE(ipc.Start());
    IpcSimVariables sim;
    EXPECT_EQ(sim.SimulatorPath(), "C:\\Sim\\");
    EXPECT_EQ(sim.AircraftFilePath(), "SimObjects\\Airplanes\\Zolan\\zolan.air");
    EXPECT_EQ(sim.AircraftFolder(), "SimObjects\\Airplanes\\Zolan\\");
    ipc.space.PutText(0x3C00, 256, "zolan.air");
    EXPECT_EQ(sim.AircraftFolder(), "z");  // no backslash: cut after the first byte
    std::string full(256, 'x');             // a server that leaves no terminator
    ipc.space.Write(0x3E00, 256, reinterpret_cast<const uint8_t*>(full.data()));
    EXPECT_EQ(sim.SimulatorPath(), full);
}

TEST_F(SimVariablesTest, ASecondObjectInTheSameProcessLeavesTheFirstConnected) {
    ASSERT_TRUE(ipc.Start());
    auto first = std::make_unique<IpcSimVariables>();
    ASSERT_TRUE(first->IsConnected());
    {
        IpcSimVariables second;
        EXPECT_FALSE(second.IsConnected());
        EXPECT_EQ(second.LastResult(), SimIpcCode::AlreadyOpen);
    }
    EXPECT_EQ(first->Update(), 0);
    first.reset();
    EXPECT_FALSE(SimIpcClient::IsOpen());  // the owner closes on destruction
}

}  // namespace
}  // namespace halvex
