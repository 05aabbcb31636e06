#include "procedures/ProcedureListing.h"

#include <cmath>
#include <cstdio>

#include "navdb/Geodesy.h"
#include "procedures/ProgramAssembler.h"

namespace halvex {

namespace {

const char* const kInterceptName = "(INTC)";

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// Degrees as the listing prints them: the single-precision product, four decimals.
std::string degrees(float rad) { return format("%.4f", static_cast<double>(rad * RadToDeg)); }

const NavAirport* airportOf(const ProcedureBlock& block, const NavDatabase& database) {
    const int32_t index = database.FindAirport(block.airportIdent);
    return index >= 0 ? database.GetAirport(index) : nullptr;
}

std::string runwayIdent(const NavAirport* airport, int32_t index) {
    if (!airport || index < 0 || static_cast<size_t>(index) >= airport->runways.size()) return "?";
    return std::string(airport->runways[static_cast<size_t>(index)].Ident());
}

bool madeByGeometry(const WaypointEntry& leg) { return leg.name == kInterceptName; }

// ---- listing ----

void listPart(std::string& out, const LegList& list, bool named) {
    out += "PART " + (named ? list.name : std::string("-")) + " " + std::to_string(list.legs.size()) + "\n";
    for (const WaypointEntry& leg : list.legs) {
        out += "    " + leg.name + " " + std::to_string(leg.kind) + " " + std::to_string(leg.altitudeKind) + " " +
               ListingAltitude(leg.altitude) + " " + std::to_string(leg.fixIndex) + " ";
        out += madeByGeometry(leg) ? std::string("geom") : degrees(leg.position.lat) + " " + degrees(leg.position.lon);
        out += "\n";
    }
}

void listParts(std::string& out, const char* title, const std::vector<LegList>& lists, bool named) {
    out += std::string(title) + " " + std::to_string(lists.size()) + "\n";
    for (const LegList& list : lists) listPart(out, list, named);
}

void listProcedures(std::string& out, const char* title, const char* kind, const std::vector<ProcedureRecord>& records,
                    const NavAirport* airport) {
    out += std::string(title) + " " + std::to_string(records.size()) + "\n";
    for (size_t i = 0; i < records.size(); ++i) {
        const ProcedureRecord& r = records[i];
        out += std::string("PROC ") + kind + " " + std::to_string(i) + " " + r.name + " " + std::to_string(r.type) + "\n";
        out += "RUNWAYS " + std::to_string(r.runways.size());
        for (int32_t runway : r.runways) out += " " + runwayIdent(airport, runway);
        out += "\n";
        listParts(out, "RUNWAYPARTS", r.runwayParts, false);
        listParts(out, "COMMONPARTS", r.commonParts, false);
        listParts(out, "TRANSITIONS", r.transitions, true);
    }
}

// ---- report ----

const char* kindName(int32_t kind) {
    switch (kind) {
    case 5: return "SID";
    case 6: return "SID-TRANS";
    case 7: return "STAR";
    case 8: return "STAR-TRANS";
    case 9: return "APPR";
    case 10: return "APPR-TRANS";
    case 11: return "APPR-EXTRA";
    default: return "WPT";
    }
}

std::string constraintText(const WaypointEntry& leg) {
    if (!leg.HasAltitude()) return "-";
    const char* prefix = leg.altitudeKind == 1 ? "AT OR BELOW " : leg.altitudeKind == 2 ? "AT OR ABOVE " : "AT ";
    return prefix + ListingAltitude(leg.altitude);
}

std::string sourceText(const WaypointEntry& leg, const NavDatabase& database) {
    if (leg.runwayIndex >= 0) return "runway threshold";
    if (madeByGeometry(leg)) return "computed";
    if (leg.fixIndex < 0) return "file fix";
    static const char* const kinds[] = {"fix", "VOR", "VOR/DME", "DME", "NDB", "ILS", "?", "airport"};
    const NavWaypoint* row = database.GetWaypoint(leg.fixIndex);
    const int kind = row ? static_cast<int>(row->kind) : 6;
    return "db #" + std::to_string(leg.fixIndex) + " " + kinds[kind >= 0 && kind <= 7 ? kind : 6];
}

void reportPart(std::string& out, const std::string& title, const LegList& list, const NavDatabase& database) {
    out += "    " + title + "\n";
    for (const WaypointEntry& leg : list.legs) {
        char line[256];
        std::snprintf(line, sizeof line, "      %-8s %-10s %-18s %9s %10s  %s\n", leg.name.c_str(), kindName(leg.kind),
                      constraintText(leg).c_str(), degrees(leg.position.lat).c_str(), degrees(leg.position.lon).c_str(),
                      sourceText(leg, database).c_str());
        out += line;
    }
}

void reportProcedures(std::string& out, const char* kind, const std::vector<ProcedureRecord>& records,
                      const NavAirport* airport, const NavDatabase& database) {
    for (const ProcedureRecord& r : records) {
        out += std::string(kind) + " " + r.name + "  (type " + std::to_string(r.type) + ")  runways:";
        if (r.runways.empty()) out += " none";
        for (int32_t runway : r.runways) out += " " + runwayIdent(airport, runway);
        out += "\n";
        for (size_t i = 0; i < r.runwayParts.size(); ++i) reportPart(out, "runway part " + std::to_string(i + 1), r.runwayParts[i], database);
        for (size_t i = 0; i < r.commonParts.size(); ++i) reportPart(out, "common part " + std::to_string(i + 1), r.commonParts[i], database);
        for (const LegList& t : r.transitions) reportPart(out, "transition " + t.name, t, database);
    }
}

// ---- program tree ----

std::string nodeText(const ProcNode& n) {
    switch (n.kind) {
    case ProcNodeKind::Group: return "GROUP";
    case ProcNodeKind::Op: return std::string(OpName(n.op));
    case ProcNodeKind::Number: return format("%g", static_cast<double>(n.number));
    case ProcNodeKind::Text: return "\"" + n.text + "\"";
    default: return "EMPTY";
    }
}

void treeLines(std::string& out, const ProcNode* chain, int depth) {
    for (const ProcNode* n = chain; n; n = n->next.get()) {
        out.append(static_cast<size_t>(depth) * 2, ' ');
        out += nodeText(*n) + "\n";
        if (n->body) treeLines(out, n->body.get(), depth + 1);  // nesting is bounded by the grammar
        if (n->sharedNext) {  // legs owned by another part: named, not repeated
            out.append(static_cast<size_t>(depth) * 2, ' ');
            const std::string& name = FixOpName(*n->sharedNext);
            out += "-> " + nodeText(*n->sharedNext) + (name.empty() ? "" : " " + name) + " (shared)\n";
        }
    }
}

}  // namespace

std::string ListingAltitude(float altitudeFt) {
    const double a = altitudeFt;
    if (std::isfinite(a) && a == std::floor(a) && std::fabs(a) < 1e15) return format("%.0f", a);
    return format("%.2f", a);
}

std::string ProcedureListing(int32_t loadResult, const ProcedureBlock& block, const NavDatabase& database) {
    if (loadResult != 0) return "LOAD -1\n";
    const NavAirport* airport = airportOf(block, database);
    std::string out = "LOAD 0\nAIRPORT " + block.airportIdent.substr(0, 4) + "\n";
    out += "FIXES " + std::to_string(block.fixes.size()) + "\n";
    for (size_t i = 0; i < block.fixes.size(); ++i) {
        const bool geometry = i < block.fixNotes.size() && block.fixNotes[i].byGeometry;
        const std::string name = i < block.fixNotes.size() ? block.fixNotes[i].name : std::string(block.fixes[i].Ident());
        out += "FIX " + name + " " + (geometry ? std::string("geom") : degrees(block.fixes[i].lat) + " " + degrees(block.fixes[i].lon)) + "\n";
    }
    listProcedures(out, "SIDS", "SID", block.sids, airport);
    listProcedures(out, "STARS", "STAR", block.stars, airport);
    listProcedures(out, "APPROACHES", "APPROACH", block.approaches, airport);
    out += "END\n";
    return out;
}

std::string ProcedureReport(const ProcedureBlock& block, const NavDatabase& database) {
    const NavAirport* airport = airportOf(block, database);
    std::string out = block.airportIdent + (airport ? "  " + std::string(airport->Name()) : std::string("  (airport not in the database)")) + "\n";
    out += "Local fixes: " + std::to_string(block.fixes.size()) + "\n";
    for (size_t i = 0; i < block.fixes.size(); ++i) {
        const bool geometry = i < block.fixNotes.size() && block.fixNotes[i].byGeometry;
        const std::string name = i < block.fixNotes.size() ? block.fixNotes[i].name : std::string(block.fixes[i].Ident());
        char line[160];
        std::snprintf(line, sizeof line, "  %-8s %9s %10s  %s\n", name.c_str(), degrees(block.fixes[i].lat).c_str(),
                      degrees(block.fixes[i].lon).c_str(), geometry ? "from bearing and distance" : "from latitude and longitude");
        out += line;
    }
    out += "SIDs: " + std::to_string(block.sids.size()) + "\n";
    reportProcedures(out, "SID", block.sids, airport, database);
    out += "STARs: " + std::to_string(block.stars.size()) + "\n";
    reportProcedures(out, "STAR", block.stars, airport, database);
    out += "Approaches: " + std::to_string(block.approaches.size()) + "\n";
    reportProcedures(out, "APPROACH", block.approaches, airport, database);
    return out;
}

std::string ProgramTree(const ProcNode* root) {
    std::string out;
    treeLines(out, root, 0);
    return out;
}

}  // namespace halvex
