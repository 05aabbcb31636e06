// The data server's offsets the FMS uses, with their widths; client and substitute server share
// this table so they cannot drift apart.
#pragma once

#include <cstdint>

namespace halvex::offsets {

struct Offset {
    uint32_t at;
    uint32_t bytes;
};

// Aircraft (read by Update, in this order)
constexpr Offset Latitude{0x0560, 8};        // signed 64
constexpr Offset Longitude{0x0568, 8};       // signed 64
constexpr Offset TrueHeading{0x0580, 4};     // unsigned 32, 360 / 2^32 degrees
constexpr Offset MagneticVariation{0x02A0, 2};  // signed 16, 360 / 65536 degrees
constexpr Offset AltitudeFeet{0x3324, 4};    // signed 32 (data server)
constexpr Offset AltitudeFine{0x0570, 8};    // signed 64, metres * 2^32 (FDS)
constexpr Offset RadioAltitude{0x31E4, 4};   // unsigned 32, metres * 65536 (data server)
constexpr Offset GroundAltitude{0x0B4C, 2};  // signed 16, metres (FDS)
constexpr Offset VerticalSpeed{0x0842, 2};   // signed 16, metres per minute, down positive
constexpr Offset GroundSpeed{0x02B4, 4};     // signed 32, metres per second * 65536
constexpr Offset TrueAirspeed{0x02B8, 4};    // signed 32, knots * 128
constexpr Offset IndicatedAirspeed{0x02BC, 4};  // signed 32, knots * 128
constexpr Offset WindSpeed{0xC0FE, 2};       // signed 16, knots
constexpr Offset WindDirection{0xC102, 2};   // signed 16, 360 / 65536 degrees
constexpr Offset LongitudinalAcceleration{0x3070, 8};  // double, feet per second squared
constexpr Offset GrossWeight{0x30C0, 8};     // double
constexpr Offset AutopilotMaster{0x07BC, 4};
constexpr Offset FlightDirector{0x2EE0, 4};
constexpr Offset UtcHour{0x023B, 1};
constexpr Offset UtcMinute{0x023C, 1};
constexpr Offset UtcSecond{0x023A, 1};
constexpr Offset Year{0x0240, 2};
constexpr Offset DayOfYear{0x023E, 2};       // 1-based

// Autopilot
constexpr Offset HeadingHold{0x07C8, 4};
constexpr Offset NavHold{0x07C4, 4};
constexpr Offset AltitudeHold{0x07D0, 4};
constexpr Offset AirspeedHold{0x07DC, 4};
constexpr Offset ApproachHold{0x0800, 4};
constexpr Offset AutopilotHeading{0x07CC, 2};   // unsigned 16, 360 / 65536 degrees magnetic
constexpr Offset AutopilotAltitude{0x07D4, 4};  // signed 32, metres * 65536
constexpr Offset AutopilotAirspeed{0x07E2, 2};  // signed 16, knots
constexpr Offset AutopilotVerticalSpeed{0x07F2, 2};  // signed 16, feet per minute

// Radios
constexpr Offset Nav1Course{0x0C4E, 2};
constexpr Offset Nav2Course{0x0C5E, 2};
constexpr Offset Nav1RelativeBearing{0x0C56, 2};
constexpr Offset Nav2RelativeBearing{0x0C5C, 2};
constexpr Offset Nav1Dme{0x0300, 2};         // unsigned 16, 0.1 nm
constexpr Offset Nav2Dme{0x0306, 2};
constexpr Offset Nav1LateralNeedle{0x2AAC, 4};   // float
constexpr Offset Nav1VerticalNeedle{0x2AB0, 4};
constexpr Offset Nav2LateralNeedle{0x2AB4, 4};
constexpr Offset Nav2VerticalNeedle{0x2AB8, 4};
constexpr Offset Nav1GlideslopeValid{0x0C4C, 2};
constexpr Offset Nav2GlideslopeValid{0x0C6F, 2};

// Files
constexpr Offset AircraftFilePath{0x3C00, 256};
constexpr Offset SimulatorPath{0x3E00, 256};

// Version exchange
constexpr Offset ServerVersion{0x3304, 4};
constexpr Offset SimulatorWord{0x3308, 4};
constexpr Offset ProtocolLevel{0x330A, 2};

}  // namespace halvex::offsets
