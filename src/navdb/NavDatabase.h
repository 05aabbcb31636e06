// NavDatabase: the world's navigation data in memory, loaded once from "FMCWP/NavData/" and
// read-only afterwards. Records are handed out by index or by pointer into the tables; they
// never move after loading. Indexes are 32-bit signed, -1 meaning none.
//
// Procedure loading lives with the procedures library (it needs their block type, which sits
// above this library).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "navdb/IdentIndex.h"
#include "navdb/NavRecords.h"

namespace halvex {

inline constexpr const char* kNavDataDirectory = "FMCWP/NavData/";

class NavDatabase {
public:
    static constexpr size_t kReservedWaypoints = 250000;
    static constexpr size_t kReservedAirways = 80000;

    NavDatabase();
    virtual ~NavDatabase();
    NavDatabase(const NavDatabase&) = delete;
    NavDatabase& operator=(const NavDatabase&) = delete;

    // ---- Loading ---------------------------------------------------------------------------
    // Reads the six files from kNavDataDirectory relative to the working directory. A file
    // that does not open contributes nothing. Always 0. Loading again replaces everything the
    // last load read (records handed out before are gone).
    virtual int Load();
    int LoadFrom(const std::filesystem::path& directory);  // the same from another folder
    // The same from file texts in memory, keyed by file name ("wpNavFIX.txt"); an absent name
    // counts as a file that does not open. For tests and fuzzing.
    int LoadFromTexts(const std::map<std::string, std::string, std::less<>>& files);
    // Stable byte-order sort of the waypoints and the first-row index; the number of rows.
    virtual int32_t BuildIndex();

    // ---- Waypoints -------------------------------------------------------------------------
    // The run of rows with this ident (one index lookup plus the run).
    virtual WaypointRun FindWaypoints(std::string_view ident) const;
    // The row of the run nearest to the position (great-circle); ties keep the earlier row.
    // -1 when the ident is absent.
    virtual int32_t FindNearestWaypoint(std::string_view ident, float latRad, float lonRad) const;
    // Linear scans from row 0: the first row with the ident (of kind airport for the second).
    virtual int32_t FindWaypointLinear(std::string_view ident) const;
    virtual int32_t FindAirportWaypoint(std::string_view ident) const;
    virtual const NavWaypoint* GetWaypoint(int32_t index) const;  // null when out of range
    virtual const char* WaypointIdent(int32_t index) const;       // null when out of range
    virtual int32_t WaypointCount() const;

    // ---- Airways ---------------------------------------------------------------------------
    virtual int32_t FindAirway(std::string_view name) const;  // first with the name, or -1
    // The first airway with the name whose points include the waypoint, or -1.
    virtual int32_t FindAirwayContaining(int32_t waypointIndex, std::string_view name) const;
    virtual bool AirwayContains(int32_t airwayIndex, int32_t waypointIndex) const;
    virtual const NavAirway* GetAirway(int32_t index) const;
    virtual const char* AirwayName(int32_t index) const;
    virtual int32_t AirwayCount() const;

    // ---- Airports --------------------------------------------------------------------------
    virtual int32_t FindAirport(std::string_view icao) const;  // the first with the ICAO, or -1
    virtual const NavAirport* GetAirport(int32_t index) const;
    virtual const char* AirportName(int32_t index) const;
    virtual const char* AirportIdent(int32_t index) const;
    virtual int32_t AirportCount() const;

    // ---- Data set --------------------------------------------------------------------------
    virtual const std::string& NavDataId() const { return navDataId_; }
    virtual const std::string& OpProgramId() const { return opProgramId_; }

    // Whole tables, read-only (tools and tests).
    const std::vector<NavWaypoint>& Waypoints() const { return waypoints_; }
    const std::vector<NavAirway>& Airways() const { return airways_; }
    const std::vector<NavAirport>& Airports() const { return airports_; }
    const IdentIndex& Index() const { return identIndex_; }

private:
    // Opens a data file by name: its text, valid until the next call, or false.
    using FileOpener = std::function<bool(const char* name, std::string_view& text)>;
    int LoadWith(const FileOpener& open);

    std::string navDataId_;
    std::string opProgramId_;
    std::vector<NavWaypoint> waypoints_;
    std::vector<NavAirway> airways_;
    std::vector<NavAirport> airports_;
    IdentIndex identIndex_;
    size_t indexedRows_ = 0;  // rows the index was built over
    std::unordered_map<std::string_view, int32_t> airportByIcao_;  // views into airports_
    std::vector<int32_t> airwayPoints_;  // every airway's points, back to back
    std::vector<NavRunway> runways_;     // every airport's runways, grouped by airport
};

}  // namespace halvex
