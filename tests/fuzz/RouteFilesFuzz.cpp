// Arbitrary bytes as a saved route, loaded into the modified plan of a small database, and
// whatever loaded saved again.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "fms/RouteFiles.h"
#include "navdb/NavDataLines.h"
#include "navdb/NavDatabase.h"

namespace {

namespace fs = std::filesystem;
using namespace halvex;
using namespace halvex::test;

class FixedAircraft : public AircraftSource {
public:
    GeoPoint PresentPosition() const override { return MakeSurfacePoint(0.8f, -2.1f); }
    float PresentAltitudeFt() const override { return 0; }
};

struct Fixture {
    Fixture() : folder(fs::temp_directory_path() / ("halvex-routefiles-fuzz-" + std::to_string(::getpid()))) {
        fs::create_directories(folder / "data");
        auto write = [this](const char* file, const std::string& text) { std::ofstream(folder / "data" / file) << text; };
        write("wpNavFIX.txt", FixLine("SEA", 47.43, -122.31) + FixLine("BTG", 45.74, -122.59));
        write("airports.dat", AirportPointLine("KSEA", 47.45, -122.31) + AirportPointLine("KPDX", 45.59, -122.60));
        write("wpNavAPT.txt", RunwayLine("SEATTLE TACOMA INTL", "KSEA", "16L", 11901, 163, 47.46, -122.31, 0, 0, 433) +
                                  RunwayLine("PORTLAND INTL", "KPDX", "10R", 11000, 98, 45.59, -122.61, 0, 0, 30));
        write("wpNavRTE.txt", AirwayLine("V23", 1, "SEA", 47.43, -122.31) + AirwayLine("V23", 2, "BTG", 45.74, -122.59));
        database.LoadFrom(folder / "data");
    }
    ~Fixture() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    fs::path folder;
    NavDatabase database;
    FixedAircraft aircraft;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    const fs::path routes = fixture.folder / "Route";
    fs::create_directories(routes);
    std::ofstream(routes / "FUZZ.xml", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    FlightPlanSet plans(&fixture.database, nullptr, &fixture.aircraft);
    if (loadRoute(plans, "FUZZ", routes) == 0) {
        plans.activate();
        saveRoute(plans, "AGAIN", routes);
        saveRoute(plans, {}, routes);
    }
    return 0;
}
