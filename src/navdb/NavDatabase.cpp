#include "navdb/NavDatabase.h"

#include <algorithm>
#include <cmath>

#include "navdb/DataFile.h"
#include "navdb/Geodesy.h"
#include "navdb/NavDataReaders.h"

namespace halvex {

namespace {
constexpr float kAirwayMatchRad = 0.001f;
}

NavDatabase::NavDatabase() = default;
NavDatabase::~NavDatabase() = default;

// ---- Loading -----------------------------------------------------------------------------------
int NavDatabase::Load() { return LoadFrom(kNavDataDirectory); }

int NavDatabase::LoadFrom(const std::filesystem::path& directory) {
    std::string text;  // one buffer for every file

    if (ReadDataFile(directory / "fmc_ident.txt", text)) {
        DataSetIdent ident;
        ReadIdentFile(text, ident);
        navDataId_ = std::move(ident.navDataId);
        opProgramId_ = std::move(ident.opProgramId);
    }

    waypoints_.reserve(kReservedWaypoints);
    if (ReadDataFile(directory / "wpNavFIX.txt", text)) ReadFixFile(text, waypoints_);
    if (ReadDataFile(directory / "wpNavAID.txt", text)) ReadNavaidFile(text, waypoints_);
    if (ReadDataFile(directory / "airports.dat", text)) ReadAirportPointFile(text, waypoints_);

    if (ReadDataFile(directory / "wpNavAPT.txt", text)) {
        AirportTable table;
        ReadAirportFile(text, table);
        // File each runway under its airport, keeping file order within an airport.
        std::vector<uint32_t> start(table.airports.size() + 1, 0);
        for (const RunwayLine& line : table.runways) ++start[static_cast<size_t>(line.airport) + 1];
        for (size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
        runways_.resize(table.runways.size());
        std::vector<uint32_t> next(start.begin(), start.end() - 1);
        for (const RunwayLine& line : table.runways) runways_[next[static_cast<size_t>(line.airport)]++] = line.runway;
        airports_ = std::move(table.airports);
        for (size_t i = 0; i < airports_.size(); ++i)
            airports_[i].runways = std::span<const NavRunway>(runways_.data() + start[i], start[i + 1] - start[i]);
    }

    BuildIndex();

    if (ReadDataFile(directory / "wpNavRTE.txt", text)) {
        airways_.reserve(kReservedAirways);
        struct Range {
            size_t first, count;
        };
        std::vector<Range> ranges;
        ranges.reserve(kReservedAirways);
        std::string_view building;
        size_t buildingStart = 0;
        bool started = false;
        auto finish = [&] {
            if (started && airwayPoints_.size() > buildingStart) {
                airways_.push_back(NavAirway{std::string(building), {}});
                ranges.push_back(Range{buildingStart, airwayPoints_.size() - buildingStart});
            }
        };
        ReadAirwayFile(text, [&](const AirwayLine& line) {
            if (!started || line.name != building) {
                finish();
                building = line.name;
                buildingStart = airwayPoints_.size();
                started = true;
            }
            const WaypointRun run = FindWaypoints(line.ident);
            for (int32_t i = run.first; i < run.first + run.count; ++i) {
                const NavWaypoint& row = waypoints_[static_cast<size_t>(i)];
                if (WithinTolerance(row.lat, line.lat, kAirwayMatchRad) &&
                    WithinTolerance(row.lon, line.lon, kAirwayMatchRad)) {
                    airwayPoints_.push_back(i);
                    break;
                }
            }
        });
        finish();
        for (size_t i = 0; i < airways_.size(); ++i)
            airways_[i].points = std::span<const int32_t>(airwayPoints_.data() + ranges[i].first, ranges[i].count);
    }
    return 0;
}

int32_t NavDatabase::BuildIndex() {
    // Sorting (key, row) pairs is a stable sort by ident: equal keys keep their row order.
    struct Keyed {
        uint64_t key;
        uint32_t row;
    };
    std::vector<Keyed> order(waypoints_.size());
    for (size_t i = 0; i < waypoints_.size(); ++i)
        order[i] = Keyed{IdentIndex::PackPadded(waypoints_[i].ident), static_cast<uint32_t>(i)};
    std::sort(order.begin(), order.end(),
              [](const Keyed& a, const Keyed& b) { return a.key != b.key ? a.key < b.key : a.row < b.row; });
    std::vector<NavWaypoint> sorted;
    sorted.reserve(std::max(waypoints_.capacity(), waypoints_.size()));
    std::vector<uint64_t> keys(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(waypoints_[order[i].row]);
        keys[i] = order[i].key;
    }
    waypoints_ = std::move(sorted);
    identIndex_.Build(keys);
    return static_cast<int32_t>(waypoints_.size());
}

// ---- Waypoints ---------------------------------------------------------------------------------
WaypointRun NavDatabase::FindWaypoints(std::string_view ident) const {
    WaypointRun run;
    const uint64_t key = IdentIndex::Pack(ident);
    const int32_t first = identIndex_.FirstRow(key);
    if (first < 0) return run;
    run.first = first;
    const int32_t count = WaypointCount();
    for (int32_t i = first; i < count && IdentIndex::PackPadded(waypoints_[static_cast<size_t>(i)].ident) == key; ++i)
        ++run.count;
    return run;
}

int32_t NavDatabase::FindNearestWaypoint(std::string_view ident, float latRad, float lonRad) const {
    const WaypointRun run = FindWaypoints(ident);
    if (run.count == 0) return -1;
    if (run.count == 1) return run.first;
    const double lat0 = latRad, lon0 = lonRad;
    const double sinLat0 = std::sin(lat0), cosLat0 = std::cos(lat0);
    double best = LargestFloat;
    int32_t bestIndex = -1;
    for (int32_t i = run.first; i < run.first + run.count; ++i) {
        const NavWaypoint& row = waypoints_[static_cast<size_t>(i)];
        const double lat = row.lat, lon = row.lon;
        const double c = std::cos(lon - lon0) * cosLat0 * std::cos(lat) + sinLat0 * std::sin(lat);
        const double d = std::acos(std::clamp(c, -1.0, 1.0)) * NmPerRadian;  // clamped: a row at the position itself
        if (d < best) {
            best = d;
            bestIndex = i;
        }
    }
    return bestIndex;
}

int32_t NavDatabase::FindWaypointLinear(std::string_view ident) const {
    for (size_t i = 0; i < waypoints_.size(); ++i)
        if (waypoints_[i].Ident() == ident) return static_cast<int32_t>(i);
    return -1;
}

int32_t NavDatabase::FindAirportWaypoint(std::string_view ident) const {
    for (size_t i = 0; i < waypoints_.size(); ++i)
        if (waypoints_[i].kind == WaypointKind::Airport && waypoints_[i].Ident() == ident) return static_cast<int32_t>(i);
    return -1;
}

const NavWaypoint* NavDatabase::GetWaypoint(int32_t index) const {
    return index >= 0 && index < WaypointCount() ? &waypoints_[static_cast<size_t>(index)] : nullptr;
}

const char* NavDatabase::WaypointIdent(int32_t index) const {
    const NavWaypoint* row = GetWaypoint(index);
    return row ? row->ident : nullptr;
}

int32_t NavDatabase::WaypointCount() const { return static_cast<int32_t>(waypoints_.size()); }

// ---- Airways -----------------------------------------------------------------------------------
int32_t NavDatabase::FindAirway(std::string_view name) const {
    for (size_t i = 0; i < airways_.size(); ++i)
        if (airways_[i].name == name) return static_cast<int32_t>(i);
    return -1;
}

int32_t NavDatabase::FindAirwayContaining(int32_t waypointIndex, std::string_view name) const {
    for (size_t i = 0; i < airways_.size(); ++i)
        if (airways_[i].name == name && AirwayContains(static_cast<int32_t>(i), waypointIndex))
            return static_cast<int32_t>(i);
    return -1;
}

bool NavDatabase::AirwayContains(int32_t airwayIndex, int32_t waypointIndex) const {
    const NavAirway* airway = GetAirway(airwayIndex);
    if (!airway) return false;
    return std::find(airway->points.begin(), airway->points.end(), waypointIndex) != airway->points.end();
}

const NavAirway* NavDatabase::GetAirway(int32_t index) const {
    return index >= 0 && index < AirwayCount() ? &airways_[static_cast<size_t>(index)] : nullptr;
}

const char* NavDatabase::AirwayName(int32_t index) const {
    const NavAirway* airway = GetAirway(index);
    return airway ? airway->name.c_str() : nullptr;
}

int32_t NavDatabase::AirwayCount() const { return static_cast<int32_t>(airways_.size()); }

// ---- Airports ----------------------------------------------------------------------------------
int32_t NavDatabase::FindAirport(std::string_view icao) const {
    for (size_t i = 0; i < airports_.size(); ++i)
        if (airports_[i].Icao() == icao) return static_cast<int32_t>(i);
    return -1;
}

const NavAirport* NavDatabase::GetAirport(int32_t index) const {
    return index >= 0 && index < AirportCount() ? &airports_[static_cast<size_t>(index)] : nullptr;
}

const char* NavDatabase::AirportName(int32_t index) const {
    const NavAirport* airport = GetAirport(index);
    return airport ? airport->name : nullptr;
}

const char* NavDatabase::AirportIdent(int32_t index) const {
    const NavAirport* airport = GetAirport(index);
    return airport ? airport->icao : nullptr;
}

int32_t NavDatabase::AirportCount() const { return static_cast<int32_t>(airports_.size()); }

}  // namespace halvex
