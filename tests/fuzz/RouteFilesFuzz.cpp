// Arbitrary bytes as a saved route, loaded into the modified plan of a small database, and
// whatever loaded activated and saved again (and what is saved loads), under a given and under a generated name.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <xercesc/util/PlatformUtils.hpp>

#include "ScratchFolder.h"
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
    Fixture() {
        // The library initialises and terminates Xerces around every read and write; one outer
        // initialisation keeps its tables alive between inputs (the calls nest by count).
        xercesc::XMLPlatformUtils::Initialize();
        database.LoadFromTexts(
            {{"wpNavFIX.txt", FixLine("SEA", 47.43, -122.31) + FixLine("BTG", 45.74, -122.59)},
             {"airports.dat", AirportPointLine("KSEA", 47.45, -122.31) + AirportPointLine("KPDX", 45.59, -122.60)},
             {"wpNavAPT.txt", RunwayLine("SEATTLE TACOMA INTL", "KSEA", "16L", 11901, 163, 47.46, -122.31, 0, 0, 433) +
                                  RunwayLine("PORTLAND INTL", "KPDX", "10R", 11000, 98, 45.59, -122.61, 0, 0, 30)},
             {"wpNavRTE.txt", AirwayLine("V23", 1, "SEA", 47.43, -122.31) + AirwayLine("V23", 2, "BTG", 45.74, -122.59)}});
    }
    ~Fixture() { xercesc::XMLPlatformUtils::Terminate(); }
    fuzz::ScratchFolder folder{"route-files-fuzz"};
    NavDatabase database;
    FixedAircraft aircraft;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    const fs::path routes = fixture.folder.path() / "Route";
    fixture.folder.write("Route/FUZZ.xml", data, size);
    FlightPlanSet plans(&fixture.database, nullptr, &fixture.aircraft);
    if (loadRoute(plans, "FUZZ", routes) == 0) {
        plans.activate();
        // What was saved loads again.
        FlightPlanSet again(&fixture.database, nullptr, &fixture.aircraft);
        if (saveRoute(plans, "AGAIN", routes) == 0 && loadRoute(again, "AGAIN", routes) != 0) std::abort();
        saveRoute(plans, {}, routes);
    }
    // Generated names count up with the files present: start every input from the same folder.
    std::error_code ec;
    fs::remove_all(routes, ec);
    return 0;
}
