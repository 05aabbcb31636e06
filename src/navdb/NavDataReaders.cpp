#include "navdb/NavDataReaders.h"

#include "navdb/LargePages.h"

#include <cstdlib>
#include <cstring>
#include <optional>
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

// Into a NUL-padded array, keeping room for the terminating NUL.
template <size_t N>
void CopyText(std::string_view text, char (&out)[N]) {
    std::memcpy(out, text.data(), std::min(text.size(), N - 1));
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

// Plain decimals with at most 15 significant digits: the digits as an integer divided by a
// power of ten, both exact in double, so the one rounding gives what strtod gives. Nothing when
// the text needs the general reader.
std::optional<double> PlainDecimal(std::string_view field) {
    static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    size_t i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
    uint64_t digits = 0;
    int count = 0, fraction = 0;
    bool any = false, point = false;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c >= '0' && c <= '9') {
            any = true;
            if (digits == 0 && c == '0') {
                if (point) ++fraction;  // leading zeros are not significant
                continue;
            }
            if (++count > 15) return std::nullopt;
            digits = digits * 10 + static_cast<uint64_t>(c - '0');
            if (point) ++fraction;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (i < field.size()) {
        const char c = field[i];
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return std::nullopt;  // exponents and the like
    }
    if (!any) return std::nullopt;
    if (fraction > 15) return std::nullopt;
    const double value = static_cast<double>(digits) / kPow10[fraction];
    return negative ? -value : value;
}

double LenientReal(std::string_view field) {
    size_t i = 0;
    while (i < field.size() && IsSpace(field[i])) ++i;
    field.remove_prefix(i);
    if (const std::optional<double> plain = PlainDecimal(field)) return *plain;
    // Anything else (exponents, hexadecimal, infinities, junk) as strtod reads it. Fields come
    // from lines of at most kLongestLine characters, so the copy holds the whole field.
    char buffer[kLongestLine + 2];
    const size_t n = std::min(field.size(), sizeof buffer - 1);
    std::memcpy(buffer, field.data(), n);
    buffer[n] = '\0';
    return std::strtod(buffer, nullptr);
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
    // Sized from the file so that nothing regrows on the way (lines are about 75 bytes).
    const size_t lineEstimate = text.size() / 70 + 16;
    ReserveLarge(table.runways, table.runways.size() + lineEstimate);
    table.airports.reserve(table.airports.size() + lineEstimate / 2);
    std::unordered_map<uint32_t, int32_t> byIcao;  // the four ICAO bytes as one key
    byIcao.reserve(lineEstimate / 2);
    ForEachLine(text, [&](std::string_view line) {
        if (line.empty()) return;
        const unsigned char first = static_cast<unsigned char>(line[0]);
        if (first == ' ' || first == ';' || first == '[' || first == 0xFF) return;
        if (!Reaches(line, rwy::kElevation)) return;  // outside the format
        const std::string_view icao = Field(line, rwy::kIcao);  // four bytes: the line reaches column 69
        uint32_t icaoKey = 0;
        std::memcpy(&icaoKey, icao.data(), sizeof icaoKey);
        auto [it, added] = byIcao.try_emplace(icaoKey, static_cast<int32_t>(table.airports.size()));
        if (added) {
            NavAirport& airport = table.airports.emplace_back();
            CopyText(TrimRight(Field(line, rwy::kName)), airport.name);
            CopyText(icao, airport.icao);
        }
        RunwayLine& out = table.runways.emplace_back();
        out.airport = it->second;
        NavRunway& r = out.runway;
        CopyText(TrimRight(Field(line, rwy::kIdent)), r.ident);
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
