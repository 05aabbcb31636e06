// The rows of the navigation database: waypoints, airways, airports and their runways.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace halvex {

enum class WaypointKind : int32_t {
    Fix = 0,
    Vor = 1,
    VorDme = 2,
    Dme = 3,
    Ndb = 4,
    Ils = 5,  // with or without DME
    Airport = 7,
};

// Longest ident the data files can give (fixes and aids 5, airports 4).
inline constexpr int kMaxIdentLength = 5;

// One row of the sorted waypoint table.
struct NavWaypoint {
    float lat = 0;     // radians
    float lon = 0;     // radians
    float radius = 0;  // always EarthRadiusNm
    char ident[8] = {};  // at most kMaxIdentLength characters, NUL-padded (the index reads all 8)
    WaypointKind kind = WaypointKind::Fix;

    std::string_view Ident() const { return std::string_view(ident); }
};

struct NavAirway {
    std::string name;
    std::span<const int32_t> points;  // waypoint indexes, in file order
};

struct NavRunway {
    char ident[4] = {};   // such as "09L", trailing blanks removed, NUL-padded
    int32_t course = 0;   // degrees
    int32_t length = 0;
    float elevation = 0;
    float ilsFrequency = 0;
    float ilsCourse = 0;  // degrees
    float lat = 0;        // threshold, radians
    float lon = 0;
    float radius = 0;

    std::string_view Ident() const { return std::string_view(ident); }
};

struct NavAirport {
    char name[25] = {};  // trailing blanks removed, NUL-padded
    char icao[5] = {};   // 4 characters as cut from the file
    std::span<const NavRunway> runways;  // in file order

    std::string_view Name() const { return std::string_view(name); }
    std::string_view Icao() const { return std::string_view(icao); }
};

// A run of equal idents in the sorted waypoint table.
struct WaypointRun {
    int32_t count = 0;
    int32_t first = -1;
    bool Found() const { return count > 0; }
    int32_t Status() const { return count > 0 ? 0 : -1; }
};

}  // namespace halvex
