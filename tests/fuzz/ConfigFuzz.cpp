// Arbitrary bytes as the configuration file and as the performance file.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "core/Configuration.h"
#include "fms/PerfSpecTable.h"
#include "script/LuaHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace fs = std::filesystem;
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("halvex-config-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(d / "Gauges/HalvexFmsZolan");
        fs::current_path(d);
        return d;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::ofstream("Gauges/HalvexFmsZolan/FMS_ZOLAN.ini", std::ios::binary | std::ios::trunc) << text;
    std::ofstream("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc", std::ios::binary | std::ios::trunc) << text;
    halvex::LuaHost engine;
    halvex::Configuration config;
    config.load(engine);
    halvex::PerfSpecTable table;
    if (table.load(engine, "") == 0) table.climbAt(150000, 250, 10000);
    return 0;
}
