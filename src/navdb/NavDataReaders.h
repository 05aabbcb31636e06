// The six navigation data file readers. Each takes the whole file's bytes and appends what it
// reads; lines end at a line feed, a trailing carriage return is dropped, and a line of 199
// characters or more is skipped (the rest of the file is still read). Numbers are lenient: what
// does not read as a number is 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "navdb/Geodesy.h"
#include "navdb/NavRecords.h"

namespace halvex {

inline constexpr size_t kLongestLine = 198;  // longer lines are skipped

struct DataSetIdent {
    std::string navDataId;
    std::string opProgramId;
};

// A runway line as read, before it is filed under its airport.
struct RunwayLine {
    int32_t airport = -1;  // index into the airport list
    NavRunway runway;
};

// An airway line: name, point ident and position (radians).
struct AirwayLine {
    std::string_view name;
    std::string_view ident;
    float lat = 0;
    float lon = 0;
};

// fmc_ident.txt: sets both identifiers to "UNKNOWN", then reads NavData= and OpProgram=.
void ReadIdentFile(std::string_view text, DataSetIdent& ident);
// wpNavFIX.txt, wpNavAID.txt, airports.dat: append waypoint rows (kind 0, by type, 7).
void ReadFixFile(std::string_view text, std::vector<NavWaypoint>& rows);
void ReadNavaidFile(std::string_view text, std::vector<NavWaypoint>& rows);
void ReadAirportPointFile(std::string_view text, std::vector<NavWaypoint>& rows);
// The kind for a navaid type text ("VORD", "ILS", ...), 0 when nothing matches.
WaypointKind NavaidKind(std::string_view typeText);

// wpNavAPT.txt: airports by ICAO ident (first line of an ident makes the airport) and every
// runway line in file order.
struct AirportTable {
    std::vector<NavAirport> airports;
    std::vector<RunwayLine> runways;
};
void ReadAirportFile(std::string_view text, AirportTable& table);

// wpNavRTE.txt: calls onLine for each usable line (fewer than five tokens: skipped). The views
// point into text.
template <typename OnLine>
void ReadAirwayFile(std::string_view text, OnLine&& onLine);

// ---- Shared helpers (also used by tests) -----------------------------------------------------
// Calls onLine for each line without its line feed and trailing carriage return, skipping lines
// longer than kLongestLine.
template <typename OnLine>
void ForEachLine(std::string_view text, OnLine&& onLine);
double LenientReal(std::string_view field);  // atof-like: leading blanks, stops at the first misfit
int32_t LenientInteger(std::string_view field);  // atoi-like
// The characters of a column before its first blank, at most width, cut at the end of the line.
std::string_view IdentColumn(std::string_view line, size_t offset, size_t width);
// A substring of the line, cut at its end (empty when the line ends before offset).
std::string_view Column(std::string_view line, size_t offset, size_t width);

}  // namespace halvex

#include "navdb/NavDataReaders.inl"
