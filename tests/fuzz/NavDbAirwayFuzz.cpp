// Arbitrary bytes as wpNavRTE.txt over a fixed set of waypoints, through the whole database
// load: every airway has points, and every point is a row of the table on that airway.
#include <cstdint>
#include <cstdlib>
#include <fstream>

#include "fuzz/NavDbFuzzSupport.h"
#include "navdb/NavDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::filesystem::path& dir = [] () -> const std::filesystem::path& {
        const std::filesystem::path& d = halvex::fuzz::NavDataFolder("navdb-airway-fuzz");
        std::ofstream(d / "wpNavFIX.txt", std::ios::binary)
            << std::ifstream(HALVEX_SOURCE_DIR "/tests/fuzz/navdb_seeds/wpNavFIX.txt", std::ios::binary).rdbuf();
        std::ofstream(d / "wpNavAID.txt", std::ios::binary)
            << std::ifstream(HALVEX_SOURCE_DIR "/tests/fuzz/navdb_seeds/wpNavAID.txt", std::ios::binary).rdbuf();
        return d;
    }();
    halvex::fuzz::WriteFile(dir / "wpNavRTE.txt", data, size);
    halvex::NavDatabase db;
    db.LoadFrom(dir);
    for (int32_t i = 0; i < db.AirwayCount(); ++i) {
        const halvex::NavAirway* airway = db.GetAirway(i);
        if (airway->points.empty()) std::abort();
        for (int32_t point : airway->points) {
            if (!db.GetWaypoint(point) || !db.AirwayContains(i, point)) std::abort();
            if (db.FindAirwayContaining(point, airway->name) > i) std::abort();
        }
    }
    return 0;
}
