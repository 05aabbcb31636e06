#include "navdb/NavDatabase.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "navdb/AirwayMatching.h"
#include "navdb/DataFile.h"
#include "navdb/Geodesy.h"
#include "navdb/LargePages.h"
#include "navdb/NavDataReaders.h"

namespace halvex {

namespace {
constexpr float kAirwayMatchRad = 0.001f;

// Fills matched for the lines whose ident run is too long to scan line by line.
void matchCrowdedLines(const std::vector<NavWaypoint>& waypoints, const std::vector<AirwayLine>& lines,
                       const std::vector<int32_t>& firstRows, std::vector<uint32_t>& crowded, std::vector<int32_t>& matched) {
    // One sweep per crowded ident, over its whole run and every line naming it.
    std::stable_sort(crowded.begin(), crowded.end(), [&](uint32_t a, uint32_t b) { return firstRows[a] < firstRows[b]; });
    std::vector<PositionRad> rows, queries;
    for (size_t g = 0; g < crowded.size();) {
        const int32_t first = firstRows[crowded[g]];
        const uint64_t key = IdentIndex::PackPadded(waypoints[static_cast<size_t>(first)].ident);
        rows.clear();
        for (size_t r = static_cast<size_t>(first); r < waypoints.size() && IdentIndex::PackPadded(waypoints[r].ident) == key; ++r)
            rows.push_back(PositionRad{waypoints[r].lat, waypoints[r].lon});
        size_t end = g;
        queries.clear();
        for (; end < crowded.size() && firstRows[crowded[end]] == first; ++end)
            queries.push_back(PositionRad{lines[crowded[end]].lat, lines[crowded[end]].lon});
        const std::vector<int32_t> found = FirstRowsWithin(rows, queries, kAirwayMatchRad);
        for (size_t q = 0; q < found.size(); ++q)
            if (found[q] >= 0) matched[crowded[g + q]] = first + found[q];
        g = end;
    }
}

}  // namespace

NavDatabase::NavDatabase() = default;
NavDatabase::~NavDatabase() = default;

// ---- Loading -----------------------------------------------------------------------------------
int NavDatabase::Load() { return LoadFrom(kNavDataDirectory); }

int NavDatabase::LoadFrom(const std::filesystem::path& directory) {
    DataBuffer buffer;  // one buffer for every file
    return LoadWith([&](const char* name, std::string_view& text) {
        if (!buffer.ReadFile(directory / name)) return false;
        text = buffer.View();
        return true;
    });
}

int NavDatabase::LoadFromTexts(const std::map<std::string, std::string, std::less<>>& files) {
    return LoadWith([&](const char* name, std::string_view& text) {
        const auto it = files.find(name);
        if (it == files.end()) return false;
        text = it->second;
        return true;
    });
}

int NavDatabase::LoadWith(const FileOpener& open) {
    std::string_view text;  // the file opened last
    auto read = [&](const char* name) { return open(name, text); };

    // Start from nothing: the airway spans below are built for this load's tables only.
    navDataId_.clear();
    opProgramId_.clear();
    waypoints_.clear();
    airways_.clear();
    airports_.clear();
    airportByIcao_.clear();
    identIndex_.Clear();
    indexedRows_ = 0;
    airwayPoints_.clear();
    runways_.clear();

    if (read("fmc_ident.txt")) {
        DataSetIdent ident;
        ReadIdentFile(text, ident);
        navDataId_ = std::move(ident.navDataId);
        opProgramId_ = std::move(ident.opProgramId);
    }

    waypoints_.reserve(kReservedWaypoints);
    // Fault in only the rows a file can fill (no data line is shorter than 24 bytes), so a
    // small data set does not pay for the whole reserve.
    auto prepareRows = [&] {
        const size_t room = waypoints_.capacity() - waypoints_.size();
        const size_t rows = std::min(room, text.size() / 24 + 1);
        AdviseLargePages(waypoints_.data() + waypoints_.size(), rows * sizeof(NavWaypoint));
    };
    if (read("wpNavFIX.txt")) {
        prepareRows();
        ReadFixFile(text, waypoints_);
    }
    if (read("wpNavAID.txt")) {
        prepareRows();
        ReadNavaidFile(text, waypoints_);
    }
    if (read("airports.dat")) {
        prepareRows();
        ReadAirportPointFile(text, waypoints_);
    }

    if (read("wpNavAPT.txt")) {
        AirportTable table;
        ReadAirportFile(text, table);
        // File each runway under its airport, keeping file order within an airport.
        std::vector<uint32_t> start(table.airports.size() + 1, 0);
        for (const RunwayLine& line : table.runways) ++start[static_cast<size_t>(line.airport) + 1];
        for (size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
        ReserveLarge(runways_, table.runways.size());
        runways_.resize(table.runways.size());
        std::vector<uint32_t> next(start.begin(), start.end() - 1);
        for (const RunwayLine& line : table.runways) runways_[next[static_cast<size_t>(line.airport)]++] = line.runway;
        airports_ = std::move(table.airports);
        for (size_t i = 0; i < airports_.size(); ++i)
            airports_[i].runways = std::span<const NavRunway>(runways_.data() + start[i], start[i + 1] - start[i]);
        // The first airport of an ICAO wins, as a scan from the start finds it.
        airportByIcao_.reserve(airports_.size());
        for (size_t i = 0; i < airports_.size(); ++i) airportByIcao_.emplace(airports_[i].Icao(), static_cast<int32_t>(i));
    }

    BuildIndex();

    if (read("wpNavRTE.txt")) {
        // The lines first, so that the index look-ups can run ahead of their use: each line
        // costs two cache misses (its index slot, then its waypoint rows) on a world-sized set,
        // and fetching them a few lines early overlaps them.
        std::vector<AirwayLine> lines;
        ReserveLarge(lines, text.size() / 24 + 1);
        ReadAirwayFile(text, [&](const AirwayLine& line) { lines.push_back(line); });
        std::vector<uint64_t> keys(lines.size());
        std::vector<int32_t> firstRows(lines.size(), -1);
        for (size_t i = 0; i < lines.size(); ++i) keys[i] = IdentIndex::Pack(lines[i].ident);
        constexpr size_t kSlotsAhead = 16, kRowsAhead = 8;
        for (size_t i = 0; i < std::min(lines.size(), kSlotsAhead); ++i) identIndex_.Prefetch(keys[i]);
        for (size_t i = 0; i < std::min(lines.size(), kRowsAhead); ++i) firstRows[i] = identIndex_.FirstRow(keys[i]);

        // Each line's row, the first of its ident's run within the tolerance (as FindWaypoints
        // gives the run). Short runs are scanned here; a run longer than kScanRows is left to
        // the sweep below, so that many lines naming a crowded ident cost n log n, not n * run.
        constexpr int32_t kScanRows = 32;
        std::vector<int32_t> matched(lines.size(), -1);
        std::vector<uint32_t> crowded;
        const int32_t count = WaypointCount();
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i + kSlotsAhead < lines.size()) identIndex_.Prefetch(keys[i + kSlotsAhead]);
            if (i + kRowsAhead < lines.size()) {
                const int32_t row = firstRows[i + kRowsAhead] = identIndex_.FirstRow(keys[i + kRowsAhead]);
                if (row >= 0) __builtin_prefetch(&waypoints_[static_cast<size_t>(row)]);
            }
            const AirwayLine& line = lines[i];
            const int32_t first = firstRows[i];
            for (int32_t r = first; r >= 0 && r < count; ++r) {
                const NavWaypoint& row = waypoints_[static_cast<size_t>(r)];
                if (IdentIndex::PackPadded(row.ident) != keys[i]) break;
                if (r - first == kScanRows) {
                    crowded.push_back(static_cast<uint32_t>(i));
                    break;
                }
                if (WithinTolerance(row.lat, line.lat, kAirwayMatchRad) &&
                    WithinTolerance(row.lon, line.lon, kAirwayMatchRad)) {
                    matched[i] = r;
                    break;
                }
            }
        }
        matchCrowdedLines(waypoints_, lines, firstRows, crowded, matched);

        airways_.reserve(kReservedAirways);
        struct Range {
            size_t first, count;
        };
        std::vector<Range> ranges;
        ranges.reserve(std::min(kReservedAirways, lines.size()));  // one airway a line at most
        std::string_view building;
        size_t buildingStart = 0;
        auto finish = [&] {
            if (airwayPoints_.size() > buildingStart) {
                airways_.push_back(NavAirway{std::string(building), {}});
                ranges.push_back(Range{buildingStart, airwayPoints_.size() - buildingStart});
            }
        };
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i == 0 || lines[i].name != building) {
                if (i > 0) finish();
                building = lines[i].name;
                buildingStart = airwayPoints_.size();
            }
            if (matched[i] >= 0) airwayPoints_.push_back(matched[i]);
        }
        if (!lines.empty()) finish();
        for (size_t i = 0; i < airways_.size(); ++i)
            airways_[i].points = std::span<const int32_t>(airwayPoints_.data() + ranges[i].first, ranges[i].count);
    }
    return 0;
}

int32_t NavDatabase::BuildIndex() {
    // A least-significant-digit radix sort of (key, row) pairs is stable: equal idents keep
    // their loading order. Bytes that no key uses (idents are short) cost no pass, and every
    // pass's histogram comes from one counting sweep.
    struct Keyed {
        uint64_t key;
        uint32_t row;
    };
    const size_t n = waypoints_.size();
    std::vector<Keyed> order, scratch;
    ReserveLarge(order, n);
    ReserveLarge(scratch, n);
    order.resize(n);
    scratch.resize(n);
    std::vector<std::array<uint32_t, 257>> counts(8);
    for (auto& c : counts) c.fill(0);
    uint64_t used = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint64_t key = IdentIndex::PackPadded(waypoints_[i].ident);
        order[i] = Keyed{key, static_cast<uint32_t>(i)};
        used |= key;
        for (int b = 0; b < 8; ++b) ++counts[static_cast<size_t>(b)][(key >> (8 * b) & 0xFF) + 1];
    }
    for (int b = 0; b < 8; ++b) {
        const int shift = 8 * b;
        if ((used >> shift & 0xFF) == 0) continue;
        auto& start = counts[static_cast<size_t>(b)];
        for (int d = 1; d <= 256; ++d) start[d] += start[d - 1];
        for (const Keyed& k : order) scratch[start[k.key >> shift & 0xFF]++] = k;
        order.swap(scratch);
    }
    scratch = {};
    // Gather the rows in sorted order (sequential writes, one read per row), then copy them back
    // so that the table keeps its reserved capacity for the next load.
    {
        std::vector<NavWaypoint> sorted;
        ReserveLarge(sorted, n);
        for (const Keyed& k : order) sorted.push_back(waypoints_[k.row]);
        std::copy(sorted.begin(), sorted.end(), waypoints_.begin());
    }
    identIndex_.Build(n, [&](size_t i) { return order[i].key; });
    indexedRows_ = n;
    return static_cast<int32_t>(n);
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
    // Once indexed, the rows of one ident sit together in loading order, so the first airport row
    // of the run is the first a scan from row 0 would meet.
    if (indexedRows_ == waypoints_.size() && indexedRows_ > 0) {
        const WaypointRun run = FindWaypoints(ident);
        for (int32_t i = run.first; i >= 0 && i < run.first + run.count; ++i)
            if (waypoints_[static_cast<size_t>(i)].kind == WaypointKind::Airport && waypoints_[static_cast<size_t>(i)].Ident() == ident)
                return i;
        return -1;
    }
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
    if (!airportByIcao_.empty()) {
        const auto found = airportByIcao_.find(icao);
        return found == airportByIcao_.end() ? -1 : found->second;
    }
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
