#include "fms/RouteFiles.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <system_error>

#include <boost/lexical_cast.hpp>

#include "fms/RouteXml.h"
#include "procedures/LoadProcedures.h"

namespace halvex {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRoot = "FMS_COROUTE";
constexpr const char* kExtension = ".xml";

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != Lower(prefix[i])) return false;
    return true;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && StartsWithNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// The identifier of an airport the database knows, or empty.
std::string KnownAirportIdent(const NavDatabase* db, int32_t airport) {
    const char* ident = db ? db->AirportIdent(airport) : nullptr;
    return ident ? std::string(ident) : std::string();
}

bool EnsureDirectory(const fs::path& directory) {
    std::error_code ec;
    if (fs::is_directory(directory, ec)) return true;
    fs::create_directories(directory, ec);
    return fs::is_directory(directory, ec);
}

// ---- Writing ---------------------------------------------------------------------------------

XmlElementRecord Waypoint(const NavDatabase& db, const WaypointEntry& e, int index) {
    XmlElementRecord wp{"WP", {}};
    auto& a = wp.attributes;
    a.emplace_back("INDEX", std::to_string(index));
    a.emplace_back("ID", e.name);
    if (e.airwayIndex >= 0)
        if (const char* airway = db.AirwayName(e.airwayIndex)) a.emplace_back("RTE", airway);
    a.emplace_back("LAT", RouteNumberText(e.position.lat));
    a.emplace_back("LNG", RouteNumberText(e.position.lon));
    a.emplace_back("ALT", RouteNumberText(e.altitude));
    if (e.altitudeKind == static_cast<uint32_t>(AltitudeKind::AtOrAbove)) a.emplace_back("ALT_SFX", "ABOVE");
    if (e.altitudeKind == static_cast<uint32_t>(AltitudeKind::AtOrBelow)) a.emplace_back("ALT_SFX", "BELOW");
    a.emplace_back("TYPE", std::to_string(e.kind));
    a.emplace_back("VFLAG", std::to_string((e.onLegs ? 1 : 0) | (e.onFpln ? 2 : 0)));
    return wp;
}

bool IsAirportEntry(const WaypointEntry& e) {
    return e.kind == static_cast<int32_t>(EntryKind::OriginAirport) ||
           e.kind == static_cast<int32_t>(EntryKind::DestinationAirport);
}

// ---- Reading ---------------------------------------------------------------------------------

struct NotANumber {};

// The whole text as a number; non-finite values count as faults too (they would poison
// every course and distance of the plan).
float ToFloat(const std::string& text) {
    float value = 0;
    if (!boost::conversion::try_lexical_convert(text, value) || !std::isfinite(value)) throw NotANumber{};
    return value;
}

int32_t ToInt(const std::string& text) {
    int32_t value = 0;
    if (!boost::conversion::try_lexical_convert(text, value)) throw NotANumber{};
    return value;
}

struct OffTheSphere {};

// Latitude within the poles, longitude within half a turn either way; the slack lets the
// seven-digit text of a point on the date line or at a pole read back in.
constexpr float kAngleSlackRad = 1e-5f;
constexpr float kPi = TwoPi * 0.5f;

float Latitude(const std::string& text) {
    const float lat = ToFloat(text);
    if (std::abs(lat) > HalfPi + kAngleSlackRad) throw OffTheSphere{};
    return lat;
}

float Longitude(const std::string& text) {
    const float lon = ToFloat(text);
    if (std::abs(lon) > kPi + kAngleSlackRad) throw OffTheSphere{};
    return lon;
}

enum class WaypointRead { Complete, Fault, OffTheSphere };

// Fills the entry from the attributes in the DOM's order, field by field, so a fault leaves
// everything read before it in place.
WaypointRead FillWaypoint(const NavDatabase& db, const XmlElementRecord& wp, WaypointEntry& e) {
    float lat = 0, lng = 0;
    bool altitudeTaken = false;
    try {
        for (const auto& [key, value] : wp.attributes) {
            if (key == "ID") {
                e.name = value;
            } else if (key == "RTE") {
                e.airwayIndex = db.FindAirway(value);
            } else if (key == "LAT") {
                lat = Latitude(value);
                e.position = MakeGeoPoint(lat, lng, EarthRadiusNm);
            } else if (key == "LNG") {
                lng = Longitude(value);
                e.position = MakeGeoPoint(lat, lng, EarthRadiusNm);
            } else if (key == "ALT") {
                const float altitude = ToFloat(value);
                altitudeTaken = altitude <= FlightPlanSet::kMaxAltitudeFt;
                if (altitudeTaken) e.altitude = altitude;
            } else if (key == "ALT_PREFIX") {
                const int32_t kind = ToInt(value);
                if (kind < 0 || kind > static_cast<int32_t>(AltitudeKind::AtOrAbove)) throw NotANumber{};
                if (altitudeTaken) e.altitudeKind = static_cast<uint32_t>(kind);
            } else if (key == "TYPE") {
                e.kind = ToInt(value);
            } else if (key == "VFLAG") {
                const int32_t flags = ToInt(value);
                e.onLegs = (flags & 1) ? 1 : 0;
                e.onFpln = (flags & 2) ? 1 : 0;
            }
        }
    } catch (const NotANumber&) {
        return WaypointRead::Fault;
    } catch (const OffTheSphere&) {
        return WaypointRead::OffTheSphere;
    }
    return WaypointRead::Complete;
}

// The first child element with the name whose first attribute (in the DOM's order) is ID.
std::optional<std::string> AirportIdentOf(const XmlDocumentRecord& doc, std::string_view element) {
    for (const XmlElementRecord& child : doc.children) {
        if (child.name != element) continue;
        if (child.attributes.empty() || child.attributes.front().first != "ID") return std::nullopt;
        return child.attributes.front().second;
    }
    return std::nullopt;
}

// Puts the airport into the modified plan as setting the origin or destination does, except
// that no modification is begun from the active plan (the plan was emptied for the load) and,
// for the origin, no SID is cleared first. The procedures not loading is not a failure: the
// airport simply has no procedure file.
void PlaceAirport(FlightPlanSet& plans, const std::string& ident, bool isOrigin) {
    if (!isOrigin) {
        plans.clearProcedure(ProcedureSlot::Star);
        plans.clearProcedure(ProcedureSlot::Approach);
    }
    plans.placeAirport(ident, isOrigin);
    plans.setModifying(true);
}

}  // namespace

std::string RouteNumberText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
    return text;
}

namespace {

// Windows opens a device, not a file, for these base names whatever the extension ("CON.xml",
// "nul .xml"); route files travel between systems, so no system gets such a name.
bool IsDeviceName(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (base.size() == device.size() && StartsWithNoCase(base, device)) return true;
    return base.size() == 4 && (StartsWithNoCase(base, "COM") || StartsWithNoCase(base, "LPT")) && base[3] >= '1' &&
           base[3] <= '9';
}

}  // namespace

bool IsRouteName(std::string_view name) {
    if (name.empty() || name.find("..") != std::string_view::npos) return false;
    if (name.back() == '.' || name.back() == ' ' || IsDeviceName(name)) return false;  // Windows drops or misreads them
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return c == '/' || c == '\\' || c == ':' || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' ||
               c == '*' || u < 0x20 || u == 0x7F;
    });
}

std::string GeneratedRouteFileName(std::string_view origin, std::string_view destination,
                                   const std::vector<std::string>& listedFileNames) {
    char candidate[64];
    const std::string o(origin), d(destination);
    for (int n = 1; n <= kMaxGeneratedRouteNumber; ++n) {
        std::snprintf(candidate, sizeof candidate, "%s%s%d%s", o.c_str(), d.c_str(), n, kExtension);
        const bool taken = std::any_of(listedFileNames.begin(), listedFileNames.end(),
                                       [&](const std::string& listed) { return StartsWithNoCase(listed, candidate); });
        if (!taken) return candidate;
    }
    return candidate;  // the last one, overwritten
}

std::vector<std::string> ListRoutes(std::string_view prefix, const fs::path& directory) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = it->path().filename().string();
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        if (!StartsWithNoCase(file, prefix) || !EndsWithNoCase(file, kExtension)) continue;
        names.push_back(file.substr(0, file.size() - std::string_view(kExtension).size()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> SaveRouteFile(FlightPlanSet& plans, std::string_view name, const fs::path& directory) {
    const NavDatabase* db = plans.Database();
    std::string fileName;
    if (!name.empty()) {
        if (!IsRouteName(name)) return std::nullopt;
        fileName = std::string(name) + kExtension;
        if (!EnsureDirectory(directory)) return std::nullopt;
    } else {
        const FlightPlan& current = plans.Current();
        const std::string origin = KnownAirportIdent(db, current.origin);
        const std::string destination = KnownAirportIdent(db, current.destination);
        if (origin.empty() || destination.empty()) return std::nullopt;
        if (!EnsureDirectory(directory)) return std::nullopt;
        std::vector<std::string> listed;
        for (const std::string& route : ListRoutes(origin + destination, directory)) listed.push_back(route + kExtension);
        fileName = GeneratedRouteFileName(origin, destination, listed);
    }

    // The document comes from the active plan, whatever plan named the file.
    const FlightPlan& active = plans.Active();
    const std::string origin = KnownAirportIdent(db, active.origin);
    const std::string destination = KnownAirportIdent(db, active.destination);
    if (origin.empty() || destination.empty()) {
        std::cerr << "ERROR" << std::endl;
        return std::nullopt;
    }
    XmlDocumentRecord doc{kRoot, {}};
    doc.children.reserve(active.entries.size() + 2);
    doc.children.push_back({"ORIGIN", {{"ID", origin}}});
    doc.children.push_back({"DESTINATION", {{"ID", destination}}});
    int index = 0;
    for (const WaypointEntry& e : active.entries)
        if (!IsAirportEntry(e)) doc.children.push_back(Waypoint(*db, e, index++));

    if (!WriteXmlDocument((directory / fileName).string(), doc)) {
        std::cerr << "ERROR" << std::endl;
        return std::nullopt;
    }
    return fileName;
}

int32_t saveRoute(FlightPlanSet& plans, std::string_view name, const fs::path& directory) {
    return SaveRouteFile(plans, name, directory) ? 0 : -1;
}

int32_t loadRoute(FlightPlanSet& plans, std::string_view name, const fs::path& directory) {
    const NavDatabase* db = plans.Database();
    if (!db || !IsRouteName(name)) return -1;
    const fs::path path = directory / (std::string(name) + kExtension);
    std::error_code ec;
    if (!fs::exists(path, ec)) return -1;
    const std::optional<XmlDocumentRecord> doc = ReadXmlDocument(path.string());
    if (!doc || doc->root != kRoot) return -1;

    // Everything that can refuse the file is checked before the modified plan is touched, so a
    // refused file never costs the crew a modification in progress.
    const std::optional<std::string> origin = AirportIdentOf(*doc, "ORIGIN");
    const std::optional<std::string> destination = AirportIdentOf(*doc, "DESTINATION");
    if (!origin || !destination || !plans.KnowsAirport(*origin) || !plans.KnowsAirport(*destination)) return -1;

    // A point off the sphere is no place anyone can fly to and says the file is not a route.
    std::vector<WaypointEntry> waypoints;
    for (const XmlElementRecord& child : doc->children) {
        if (child.name != "WP") continue;
        WaypointEntry e;
        const WaypointRead read = FillWaypoint(*db, child, e);
        if (read == WaypointRead::OffTheSphere) return -1;
        if (read == WaypointRead::Fault) std::cerr << "ERROR elemToWp" << std::endl;
        waypoints.push_back(std::move(e));
    }

    FlightPlan& plan = plans.Modified();
    plan.Reset();
    PlaceAirport(plans, *origin, true);
    PlaceAirport(plans, *destination, false);
    plan.entries.erase(std::remove_if(plan.entries.begin(), plan.entries.end(),
                                      [](const WaypointEntry& e) { return !e.onLegs && !e.onFpln; }),
                       plan.entries.end());

    // Each WP goes in front of the last entry; gathered first so a long file costs one insert.
    const auto at = plan.entries.empty() ? plan.entries.end() : plan.entries.end() - 1;
    plan.entries.insert(at, std::make_move_iterator(waypoints.begin()), std::make_move_iterator(waypoints.end()));
    plans.Recompute(plan);
    return 0;
}

}  // namespace halvex
