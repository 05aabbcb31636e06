// Arbitrary bytes as wpNavRTE.txt over a fixed set of waypoints, through the whole database
// load: every airway has points, and every point is a row of the table on that airway.
#include <cstdint>
#include <cstdlib>
#include <fstream>

#include <sstream>
#include <string>

#include "navdb/NavDatabase.h"

namespace {
std::string Seed(const char* name) {
    std::ostringstream text;
    text << std::ifstream(std::string(HALVEX_SOURCE_DIR "/tests/fuzz/navdb_seeds/") + name, std::ios::binary).rdbuf();
    return text.str();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string fixes = Seed("wpNavFIX.txt"), navaids = Seed("wpNavAID.txt");
    // One database reloaded for every input, as a reload starts from nothing: its tables keep
    // their reserved capacity instead of reserving a world's rows again for each input.
    static halvex::NavDatabase db;
    db.LoadFromTexts({{"wpNavFIX.txt", fixes},
                      {"wpNavAID.txt", navaids},
                      {"wpNavRTE.txt", std::string(reinterpret_cast<const char*>(data), size)}});
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
