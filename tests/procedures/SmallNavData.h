// A small navigation data folder in the data files' own column layouts, for procedure tests,
// the procedure fuzz target and nothing else. Positions are those of the sample data around
// San Francisco; two fixes share the ident TWIN (one near, one far) to exercise nearest-fix
// choice, and DUPE is both a database fix and (in some tests) a file fix.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace halvex::test {

inline std::string FixLine(const char* ident, double latDeg, double lonDeg) {
    char line[96];
    std::snprintf(line, sizeof line, "%-29s%10.6f%10.5f", ident, latDeg, lonDeg);
    return line;
}

inline std::string AidLine(const char* name, const char* ident, const char* type, double latDeg, double lonDeg) {
    char line[128];
    std::snprintf(line, sizeof line, "%-24s%-5s%-4s%10.6f%10.5f  115.80", name, ident, type, latDeg, lonDeg);
    return line;
}

inline std::string RunwayLine(const char* name, const char* icao, const char* runway, int course, double latDeg,
                              double lonDeg, int elevationFt) {
    char line[128];
    std::snprintf(line, sizeof line, "%-24s%-4s%-3s%5d%3d%10.6f%11.6f%6.2f%3d%5d", name, icao, runway, 10000, course,
                  latDeg, lonDeg, 0.0, 0, elevationFt);
    return line;
}

inline std::string AirportLine(const char* icao, double latDeg, double lonDeg) {
    char line[64];
    std::snprintf(line, sizeof line, "%-4s%10.6f%10.5f", icao, latDeg, lonDeg);
    return line;
}

// Writes FMCWP/NavData/ under root.
inline void WriteSmallNavData(const std::filesystem::path& root) {
    const std::filesystem::path dir = root / "FMCWP" / "NavData";
    std::filesystem::create_directories(dir);
    auto write = [&dir](const char* file, const std::string& text) { std::ofstream(dir / file, std::ios::binary) << text; };
    write("fmc_ident.txt", "NavData=TEST\nOpProgram=TEST\n");
    write("wpNavFIX.txt", FixLine("PORTE", 37.489775, -122.47459) + "\n" + FixLine("WESLA", 37.664394, -122.48028) + "\n" +
                              FixLine("TWIN", 37.700000, -122.40000) + "\n" + FixLine("TWIN", 45.000000, -120.00000) + "\n" +
                              FixLine("DUPE", 37.800000, -122.30000) + "\n" + FixLine("MENLO", 37.463611, -122.15361) + "\n");
    write("wpNavAID.txt", AidLine("SAN FRANCISCO VOR-DME", "SFO", "VORD", 37.619472, -122.37389) + "\n" +
                              AidLine("WOODSIDE VORTAC", "OSI", "VORD", 37.392500, -122.28131) + "\n" +
                              AidLine("SAUSALITO VORTAC", "SAU", "VORD", 37.855333, -122.52275) + "\n" +
                              AidLine("FAR TWIN NDB", "TWIN", "NDB", 48.000000, -118.00000) + "\n");
    write("airports.dat", AirportLine("KSFO", 37.618972, -122.37489) + "\n");
    write("wpNavAPT.txt", RunwayLine("SAN FRANCISCO INTL", "KSFO", "28L", 285, 37.611694, -122.358374, 13) + "\n" +
                              RunwayLine("SAN FRANCISCO INTL", "KSFO", "28R", 285, 37.613519, -122.357169, 13) + "\n" +
                              RunwayLine("SAN FRANCISCO INTL", "KSFO", "01R", 15, 37.607398, -122.380355, 13) + "\n" +
                              RunwayLine("HIGH FIELD", "KHIG", "09", 90, 37.000000, -122.000000, 70000) + "\n");
    write("wpNavRTE.txt", "");
}

}  // namespace halvex::test
