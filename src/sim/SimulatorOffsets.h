// The mapping between the flight model and the data server's offsets: the model's state is
// published into the address space each frame; writes to the autopilot's offsets are turned into
// the model's autopilot inputs.
#pragma once

#include <cstdint>
#include <string>

#include "sim/OffsetSpace.h"
#include "sim/FlightModel.h"

namespace halvex::sim {

struct ServerIdentity {
    uint32_t versionWord = 0x20260001;  // at least what clients require (0x19980005)
    uint16_t simulatorId = 1;
    std::string simulatorPath;          // 0x3E00
    std::string aircraftFilePath;       // 0x3C00
};

// Writes every served offset from the model's state and autopilot panel.
void PublishState(const AircraftSnapshot& state, const AutopilotInputs& autopilot, const ServerIdentity& identity,
                  OffsetSpace& space);

// The version exchange's words (0x3304, 0x3308 with the signature in its upper half).
void PublishIdentity(const ServerIdentity& identity, OffsetSpace& space);

// A client stored sizeBytes at offset: hand what it touched on to the autopilot panel.
void ApplyWrite(uint32_t offset, uint32_t sizeBytes, const OffsetSpace& space, AutopilotInputs& autopilot);

}  // namespace halvex::sim
