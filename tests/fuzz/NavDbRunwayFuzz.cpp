// Arbitrary bytes as wpNavAPT.txt, through the whole database load: every runway belongs to an
// airport, and every airport is found again by its ICAO ident.
#include <cstdint>
#include <cstdlib>

#include "navdb/NavDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One database reloaded for every input, as a reload starts from nothing: its tables keep
    // their reserved capacity instead of reserving a world's rows again for each input.
    static halvex::NavDatabase db;
    db.LoadFromTexts({{"wpNavAPT.txt", std::string(reinterpret_cast<const char*>(data), size)}});
    size_t runways = 0;
    for (int32_t i = 0; i < db.AirportCount(); ++i) {
        const halvex::NavAirport* airport = db.GetAirport(i);
        runways += airport->runways.size();
        if (airport->runways.empty()) std::abort();
        const int32_t found = db.FindAirport(airport->Icao());
        if (found < 0 || found > i) std::abort();
    }
    if (db.GetAirport(db.AirportCount()) != nullptr) std::abort();
    (void)runways;
    return 0;
}
