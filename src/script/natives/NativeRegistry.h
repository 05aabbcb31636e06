// Every FMScore_ native, gathered from the per-family tables.
#pragma once

#include <vector>

#include "script/NativeEntry.h"

namespace halvex {

NativeTable CduNatives();       // screen, keys and module
NativeTable AircraftNatives();  // autopilot modes, position, weights, simulator clock
const std::vector<NativeEntry>& AllNatives();

}  // namespace halvex
