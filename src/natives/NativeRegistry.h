// Every FMScore_ native, gathered from the per-family tables.
#pragma once

#include <vector>

#include "script/NativeEntry.h"

namespace halvex {

NativeTable CduNatives();       // screen, keys and module
NativeTable NavDataNatives();   // navigation database look-ups
NativeTable FlightPlanNatives(); // origin, destination, runways, FPLN and LEGS pages, cruise altitude
NativeTable ProcedureNatives();  // departure, arrival and approach slots
NativeTable RouteNatives();      // company-route files
NativeTable AircraftNatives();  // autopilot modes, position, weights, simulator clock
NativeTable GuidanceNatives();  // distances, cross-track errors, vertical path
const std::vector<NativeEntry>& AllNatives();

}  // namespace halvex
