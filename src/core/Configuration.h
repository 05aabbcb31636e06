// Configuration: the settings of "FMS_ZOLAN.ini", a Lua chunk run in the core's engine.
#pragma once

#include <cstdint>
#include <filesystem>

namespace halvex {

class ScriptHost;

struct Configuration {
    static constexpr const char* kFile = "Gauges/HalvexFmsZolan/FMS_ZOLAN.ini";

    int32_t interfaceType = 0;  // "FSIF_TYPE": 0 data server, 1 FDS connection; anything else keeps 0
    bool fastBlt = false;       // "FAST_BLT"
    bool smoothHigh = false;    // "DRAW_SMOOTH_HIGH"
    bool interpolateHigh = false;  // "DRAW_INTERPOLATE_HIGH"

    // Runs the file in engine and reads the keys. 0 on success, -1 when the file is missing or
    // raises an error (the settings then keep their defaults). The file is looked for under
    // root, by default the working directory.
    int load(ScriptHost& engine, const std::filesystem::path& root = {});
};

}  // namespace halvex
