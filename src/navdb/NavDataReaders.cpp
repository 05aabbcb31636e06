#include "navdb/NavDataReaders.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace halvex {

// ---- Columns ---------------------------------------------------------------------------------
namespace {

struct ColumnSpec {
    size_t offset;
    size_t width;
};

// wpNavFIX.txt
// 10002                         48.999861-120.76786
namespace fix {
constexpr ColumnSpec kIdent{0, 5}, kLat{29, 10}, kLon{39, 10};
}

// wpNavAID.txt
// NANAIMO DME             1CD  DME  49.057222-123.87167  111.45
namespace aid {
constexpr ColumnSpec kIdent{24, 5}, kType{29, 4}, kLat{33, 10}, kLon{43, 10};
}

// airports.dat
// 00CA 35.354833-116.88542
namespace apt {
constexpr ColumnSpec kIdent{0, 4}, kLat{4, 10}, kLon{14, 10};
}

// wpNavAPT.txt
// GOLDSTONE GTS           00CA04  6191038 35.349333-116.893333  0.00000 3038
namespace rwy {
constexpr ColumnSpec kName{0, 24}, kIcao{24, 4}, kIdent{28, 3}, kLength{31, 5}, kCourse{36, 3}, kLat{39, 10},
    kLon{49, 11}, kIlsFrequency{60, 6}, kIlsCourse{66, 3}, kElevation{69, 5};
}

// A fixed-column line must reach into the last column it is read from.
bool Reaches(std::string_view line, ColumnSpec last) { return line.size() > last.offset; }

std::string_view Field(std::string_view line, ColumnSpec c) { return Column(line, c.offset, c.width); }

float Radians(std::string_view field) { return static_cast<float>(LenientReal(field) / RadToDeg); }

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

NavWaypoint MakeRow(std::string_view ident, float latRad, float lonRad, WaypointKind kind) {
    NavWaypoint row;
    row.lat = latRad;
    row.lon = lonRad;
    row.radius = EarthRadiusNm;
    std::memcpy(row.ident, ident.data(), std::min(ident.size(), size_t{kMaxIdentLength}));
    row.kind = kind;
    return row;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

// ---- Shared helpers ----------------------------------------------------------------------------
std::string_view Column(std::string_view line, size_t offset, size_t width) {
    if (offset >= line.size()) return {};
    return line.substr(offset, width);
}

std::string_view IdentColumn(std::string_view line, size_t offset, size_t width) {
    std::string_view field = Column(line, offset, width);
    const size_t end = field.find_first_of(std::string_view(" \0", 2));  // a NUL ends text too
    return field.substr(0, end);
}

double LenientReal(std::string_view field) {
    size_t i = 0;
    while (i < field.size() && IsSpace(field[i])) ++i;
    field.remove_prefix(i);
    bool unusual = false;  // hexadecimal, infinity or NaN spellings: leave them to strtod
    for (char c : field) {
        if ((c >= 'a' && c <= 'z' && c != 'e') || (c >= 'A' && c <= 'Z' && c != 'E')) unusual = true;
        if (c == '\0') break;
    }
    if (unusual) {
        char buffer[64];
        const size_t n = std::min(field.size(), sizeof buffer - 1);
        std::memcpy(buffer, field.data(), n);
        buffer[n] = '\0';
        return std::strtod(buffer, nullptr);
    }
    if (!field.empty() && field[0] == '+') field.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value untouched here; strtod gives the saturated or tiny value.
        char buffer[64];
        const size_t n = std::min(field.size(), sizeof buffer - 1);
        std::memcpy(buffer, field.data(), n);
        buffer[n] = '\0';
        return std::strtod(buffer, nullptr);
    }
    return ec == std::errc() ? value : 0.0;
}

int32_t LenientInteger(std::string_view field) {
    size_t i = 0;
    while (i < field.size() && IsSpace(field[i])) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    int64_t value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
        if (value > INT32_MAX) value = int64_t{INT32_MAX} + 1;  // saturate instead of overflowing
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// ---- fmc_ident.txt -----------------------------------------------------------------------------
void ReadIdentFile(std::string_view text, DataSetIdent& ident) {
    // Sample lines:
    // [Ident]
    // NavData=1310
    // OpProgram=2013.10
    ident.navDataId = "UNKNOWN";
    ident.opProgramId = "UNKNOWN";
    ForEachLine(text, [&](std::string_view line) {
        if (line.size() < 2) return;
        const unsigned char first = static_cast<unsigned char>(line[0]);
        if (first == ' ' || first == ';' || first == '[' || first == 0xFF) return;
        std::string_view tokens[2];
        size_t n = 0;
        size_t start = 0;
        while (n < 2 && start <= line.size()) {
            size_t end = line.find('=', start);
            if (end == std::string_view::npos) end = line.size();
            if (end > start) tokens[n++] = line.substr(start, end - start);  // empty tokens dropped
            start = end + 1;
        }
        if (n < 2) return;
        if (tokens[0] == "NavData") ident.navDataId = std::string(tokens[1]);
        else if (tokens[0] == "OpProgram") ident.opProgramId = std::string(tokens[1]);
    });
}

// ---- Waypoint files ----------------------------------------------------------------------------
void ReadFixFile(std::string_view text, std::vector<NavWaypoint>& rows) {
    ForEachLine(text, [&](std::string_view line) {
        if (SkippedDataLine(line) || !Reaches(line, fix::kLon)) return;
        rows.push_back(MakeRow(IdentColumn(line, fix::kIdent.offset, fix::kIdent.width),
                               Radians(Field(line, fix::kLat)), Radians(Field(line, fix::kLon)), WaypointKind::Fix));
    });
}

WaypointKind NavaidKind(std::string_view type) {
    static constexpr struct {
        std::string_view pattern;
        WaypointKind kind;
    } kPatterns[] = {
        {"VORD", WaypointKind::VorDme}, {"VOR", WaypointKind::Vor}, {"NDB", WaypointKind::Ndb},
        {"DME", WaypointKind::Dme},     {"ILSD", WaypointKind::Ils}, {"ILS", WaypointKind::Ils},
    };
    for (const auto& p : kPatterns)
        if (type.starts_with(p.pattern)) return p.kind;
    return WaypointKind::Fix;
}

void ReadNavaidFile(std::string_view text, std::vector<NavWaypoint>& rows) {
    ForEachLine(text, [&](std::string_view line) {
        if (SkippedDataLine(line) || !Reaches(line, aid::kLon)) return;
        const WaypointKind kind = NavaidKind(IdentColumn(line, aid::kType.offset, aid::kType.width));
        rows.push_back(MakeRow(IdentColumn(line, aid::kIdent.offset, aid::kIdent.width),
                               Radians(Field(line, aid::kLat)), Radians(Field(line, aid::kLon)), kind));
    });
}

void ReadAirportPointFile(std::string_view text, std::vector<NavWaypoint>& rows) {
    ForEachLine(text, [&](std::string_view line) {
        if (SkippedDataLine(line) || !Reaches(line, apt::kLon)) return;
        rows.push_back(MakeRow(IdentColumn(line, apt::kIdent.offset, apt::kIdent.width),
                               Radians(Field(line, apt::kLat)), Radians(Field(line, apt::kLon)),
                               WaypointKind::Airport));
    });
}

// ---- wpNavAPT.txt ------------------------------------------------------------------------------
void ReadAirportFile(std::string_view text, AirportTable& table) {
    std::unordered_map<std::string_view, int32_t> byIcao;  // views into text, live for this call
    ForEachLine(text, [&](std::string_view line) {
        if (line.empty()) return;
        const unsigned char first = static_cast<unsigned char>(line[0]);
        if (first == ' ' || first == ';' || first == '[' || first == 0xFF) return;
        if (!Reaches(line, rwy::kElevation)) return;  // outside the format
        const std::string_view icao = Field(line, rwy::kIcao);
        auto [it, added] = byIcao.try_emplace(icao, static_cast<int32_t>(table.airports.size()));
        if (added) {
            NavAirport& airport = table.airports.emplace_back();
            airport.name = std::string(TrimRight(Field(line, rwy::kName)));
            airport.icao = std::string(icao);
        }
        RunwayLine& out = table.runways.emplace_back();
        out.airport = it->second;
        NavRunway& r = out.runway;
        r.ident = std::string(TrimRight(Field(line, rwy::kIdent)));
        r.length = LenientInteger(Field(line, rwy::kLength));
        r.course = LenientInteger(Field(line, rwy::kCourse));
        r.lat = Radians(Field(line, rwy::kLat));
        r.lon = Radians(Field(line, rwy::kLon));
        r.radius = EarthRadiusNm;
        r.ilsFrequency = static_cast<float>(LenientReal(Field(line, rwy::kIlsFrequency)));
        r.ilsCourse = static_cast<float>(LenientReal(Field(line, rwy::kIlsCourse)));
        r.elevation = static_cast<float>(LenientReal(Field(line, rwy::kElevation)));
    });
}

}  // namespace halvex
