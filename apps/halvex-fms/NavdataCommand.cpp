// halvex-fms navdata: statistics and look-ups on a navigation data folder.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"
#include "navdb/Geodesy.h"
#include "navdb/NavDatabase.h"

namespace halvex::cli {

namespace {

const char* KindName(WaypointKind kind) {
    switch (kind) {
        case WaypointKind::Fix: return "FIX";
        case WaypointKind::Vor: return "VOR";
        case WaypointKind::VorDme: return "VORD";
        case WaypointKind::Dme: return "DME";
        case WaypointKind::Ndb: return "NDB";
        case WaypointKind::Ils: return "ILS";
        case WaypointKind::Airport: return "APT";
    }
    return "?";
}

double Degrees(float rad) { return static_cast<double>(rad) * RadToDeg; }

struct NavdataOptions {
    std::string root = DefaultRoot();
    std::string ident;
    std::string near;
    std::string icao;
    std::string airway;
};

// Loads the database of the tree (relative to it, as inside the simulator); the load time in ms.
double LoadDatabase(NavDatabase& db) {
    const auto start = std::chrono::steady_clock::now();
    db.Load();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

int Stats(const NavDatabase& db, double loadMs) {
    int counts[8] = {};
    for (const NavWaypoint& w : db.Waypoints()) ++counts[static_cast<int>(w.kind) & 7];
    size_t runways = 0, airwayPoints = 0;
    for (const NavAirport& a : db.Airports()) runways += a.runways.size();
    for (const NavAirway& a : db.Airways()) airwayPoints += a.points.size();
    std::printf("navdata: %s\nopprogram: %s\n", db.NavDataId().c_str(), db.OpProgramId().c_str());
    std::printf("waypoints: %d\nfixes: %d\nvor: %d\nvordme: %d\ndme: %d\nndb: %d\nils: %d\nairport_waypoints: %d\n",
                db.WaypointCount(), counts[0], counts[1], counts[2], counts[3], counts[4], counts[5], counts[7]);
    std::printf("airports: %d\nrunways: %zu\nairways: %d\nairway_points: %zu\nidents: %zu\nload_ms: %.3f\n",
                db.AirportCount(), runways, db.AirwayCount(), airwayPoints, db.Index().DistinctCount(), loadMs);
    return 0;
}

std::optional<std::pair<float, float>> ParseLatLon(const std::string& text) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return std::nullopt;
    try {
        size_t usedLat = 0, usedLon = 0;
        const double lat = std::stod(text.substr(0, comma), &usedLat);
        const double lon = std::stod(text.substr(comma + 1), &usedLon);
        if (usedLat != comma || usedLon != text.size() - comma - 1) return std::nullopt;
        if (lat < -90 || lat > 90 || lon < -180 || lon > 180) return std::nullopt;
        return std::pair{static_cast<float>(lat / RadToDeg), static_cast<float>(lon / RadToDeg)};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

int Find(const NavDatabase& db, const NavdataOptions& o) {
    std::optional<std::pair<float, float>> near;
    if (!o.near.empty() && !(near = ParseLatLon(o.near))) {
        std::cerr << "halvex-fms navdata: --near wants LAT,LON in degrees, got '" << o.near << "'\n";
        return 2;
    }
    const WaypointRun run = db.FindWaypoints(o.ident);
    if (!run.Found()) {
        std::cerr << "halvex-fms navdata: no waypoint " << o.ident << "\n";
        return 1;
    }
    std::printf("ident: %s\ncount: %d\nfirst: %d\n", o.ident.c_str(), run.count, run.first);
    std::vector<int> rank(static_cast<size_t>(run.count), 0);
    std::vector<double> distanceNm(static_cast<size_t>(run.count), 0);
    if (near) {
        const GeoPoint from = MakeSurfacePoint(near->first, near->second);
        for (int i = 0; i < run.count; ++i) {
            const NavWaypoint& w = *db.GetWaypoint(run.first + i);
            distanceNm[static_cast<size_t>(i)] = GreatCircleDistance(from, MakeSurfacePoint(w.lat, w.lon));
        }
        std::vector<int> order(static_cast<size_t>(run.count));
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return distanceNm[static_cast<size_t>(a)] < distanceNm[static_cast<size_t>(b)];
        });
        for (size_t r = 0; r < order.size(); ++r) rank[static_cast<size_t>(order[r])] = static_cast<int>(r) + 1;
        std::printf("nearest: %d\n", db.FindNearestWaypoint(o.ident, near->first, near->second));
    }
    for (int i = 0; i < run.count; ++i) {
        const int index = run.first + i;
        const NavWaypoint& w = *db.GetWaypoint(index);
        std::printf("row index=%d kind=%d type=%s lat=%.6f lon=%.6f", index, static_cast<int>(w.kind), KindName(w.kind),
                    Degrees(w.lat), Degrees(w.lon));
        if (near) std::printf(" distance_nm=%.2f order=%d", distanceNm[static_cast<size_t>(i)], rank[static_cast<size_t>(i)]);
        std::printf("\n");
    }
    return 0;
}

int Airport(const NavDatabase& db, const std::string& icao) {
    const NavAirport* airport = db.GetAirport(db.FindAirport(icao));
    if (!airport) {
        std::cerr << "halvex-fms navdata: no airport " << icao << "\n";
        return 1;
    }
    std::printf("airport: %s\nname: %s\nrunways: %zu\n", airport->icao, airport->name,
                airport->runways.size());
    for (const NavRunway& r : airport->runways) {
        std::printf("runway ident=%s course=%d length=%d lat=%.6f lon=%.6f elevation=%.0f ils_frequency=%.2f "
                    "ils_course=%.0f\n",
                    r.ident, r.course, r.length, Degrees(r.lat), Degrees(r.lon), r.elevation, r.ilsFrequency,
                    r.ilsCourse);
    }
    return 0;
}

int Airway(const NavDatabase& db, const std::string& name) {
    int runs = 0;
    for (int32_t i = 0; i < db.AirwayCount(); ++i) {
        const NavAirway& airway = *db.GetAirway(i);
        if (airway.name != name) continue;
        std::printf("run index=%d name=%s points=%zu\n", i, airway.name.c_str(), airway.points.size());
        for (size_t p = 0; p < airway.points.size(); ++p) {
            const NavWaypoint& w = *db.GetWaypoint(airway.points[p]);
            std::printf("point seq=%zu index=%d ident=%s type=%s lat=%.6f lon=%.6f\n", p + 1, airway.points[p],
                        w.ident, KindName(w.kind), Degrees(w.lat), Degrees(w.lon));
        }
        ++runs;
    }
    if (runs == 0) {
        std::cerr << "halvex-fms navdata: no airway " << name << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

void AddNavdataCommand(CLI::App& app) {
    auto o = std::make_shared<NavdataOptions>();
    CLI::App* cmd = app.add_subcommand("navdata", "Statistics and look-ups on the navigation data (FMCWP/NavData/)");
    cmd->add_option("--root", o->root, "Simulator folder (default: the bundled tree)");
    cmd->require_subcommand(1);

    auto run = [o](auto&& body) {
        if (!EnterRoot(o->root)) throw CLI::RuntimeError(1);
        NavDatabase db;
        const double loadMs = LoadDatabase(db);
        const int rc = body(db, loadMs);
        if (rc != 0) throw CLI::RuntimeError(rc);
    };

    CLI::App* stats = cmd->add_subcommand("stats", "Counts of every table, the identifiers and the load time");
    stats->callback([run] { run([](const NavDatabase& db, double ms) { return Stats(db, ms); }); });

    CLI::App* find = cmd->add_subcommand("find", "Every waypoint row with an ident");
    find->add_option("IDENT", o->ident, "Waypoint ident")->required();
    find->add_option("--near", o->near, "LAT,LON in degrees: show distances and the nearest-match order");
    find->callback([run, o] { run([o](const NavDatabase& db, double) { return Find(db, *o); }); });

    CLI::App* airport = cmd->add_subcommand("airport", "An airport's runways");
    airport->add_option("ICAO", o->icao, "Airport ICAO ident")->required();
    airport->callback([run, o] { run([o](const NavDatabase& db, double) { return Airport(db, o->icao); }); });

    CLI::App* airway = cmd->add_subcommand("airway", "Every run of an airway with its points");
    airway->add_option("NAME", o->airway, "Airway name")->required();
    airway->callback([run, o] { run([o](const NavDatabase& db, double) { return Airway(db, o->airway); }); });
}

}  // namespace halvex::cli
