// Arbitrary bytes as airports.dat: every row read has a short ident and a finite-or-not position,
// never a crash.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "navdb/NavDataReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<halvex::NavWaypoint> rows;
    halvex::ReadAirportPointFile(std::string_view(reinterpret_cast<const char*>(data), size), rows);
    for (const halvex::NavWaypoint& row : rows) {
        if (row.Ident().size() > 4 || row.ident[7] != '\0') std::abort();
        if (row.radius != halvex::EarthRadiusNm) std::abort();
    }
    return 0;
}
