// A world-sized navigation data set for benchmarks, written in the six file formats:
// 200,000 fixes, 10,000 radio aids and 40,000 airport points (250,000 waypoints), 40,000
// airports with 120,000 runway lines, and 80,000 airway lines. Deterministic for one seed.
#pragma once

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace halvex::bench {

struct WorldSize {
    int fixes = 200000;
    int navaids = 10000;
    int airports = 40000;
    int runwaysPerAirport = 3;
    int airways = 8000;
    int pointsPerAirway = 10;
};

struct WorldIdents {
    std::vector<std::string> fixes;  // for look-ups in the benchmarks
    std::vector<std::string> navaids;
};

inline WorldIdents WriteWorldNavData(const std::filesystem::path& dir, const WorldSize& size = {}, unsigned seed = 2026) {
    std::filesystem::create_directories(dir);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> lat(-85, 85), lon(-180, 180);
    auto letters = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>('A' + rng() % 26);
        return s;
    };
    auto open = [&](const char* name) { return std::fopen((dir / name).c_str(), "w"); };
    WorldIdents idents;

    std::FILE* f = open("fmc_ident.txt");
    std::fprintf(f, "[Ident]\nNavData=2601\nOpProgram=WORLD-BENCH\n");
    std::fclose(f);

    struct Point {
        std::string ident;
        double lat, lon;
    };
    std::vector<Point> fixes;
    fixes.reserve(static_cast<size_t>(size.fixes));
    f = open("wpNavFIX.txt");
    std::fprintf(f, "; generated world fixes\n");
    for (int i = 0; i < size.fixes; ++i) {
        // A pool smaller than the count so that some idents repeat, as in real data.
        Point p{i % 4 == 3 ? fixes[rng() % fixes.size()].ident : letters(5), lat(rng), lon(rng)};
        std::fprintf(f, "%-5s%24s%10.6f%10.5f\n", p.ident.c_str(), "", p.lat, p.lon);
        fixes.push_back(p);
    }
    std::fclose(f);

    static const char* kTypes[] = {"VORD", "VOR ", "NDB ", "DME ", "ILSD", "ILS "};
    f = open("wpNavAID.txt");
    for (int i = 0; i < size.navaids; ++i) {
        const std::string ident = letters(3);
        std::fprintf(f, "%-24s%-5s%-4s%10.6f%10.5f  %6.2f\n", "GENERATED NAVAID", ident.c_str(), kTypes[i % 6], lat(rng),
                     lon(rng), 108.0 + i % 100 / 10.0);
        if (i % 10 == 0) idents.navaids.push_back(ident);
    }
    std::fclose(f);

    std::vector<Point> airports;
    f = open("airports.dat");
    for (int i = 0; i < size.airports; ++i) {
        char icao[8];
        std::snprintf(icao, sizeof icao, "%c%03d", 'A' + i / 1000 % 26, i % 1000);
        Point p{icao, lat(rng), lon(rng)};
        if (i >= 26000) p.ident[1] = static_cast<char>('A' + i % 26);  // keep 40,000 distinct
        std::fprintf(f, "%-4s%10.6f%10.5f\n", p.ident.c_str(), p.lat, p.lon);
        airports.push_back(p);
    }
    std::fclose(f);

    f = open("wpNavAPT.txt");
    for (const Point& a : airports) {
        for (int r = 0; r < size.runwaysPerAirport; ++r) {
            const int course = static_cast<int>(rng() % 360) + 1;
            std::fprintf(f, "%-24s%-4s%02d%c%5d%3d%10.6f%11.6f%6.2f%3d%5d\n", "GENERATED AIRPORT", a.ident.c_str(),
                         course / 10, "LCR"[r % 3], 5000 + static_cast<int>(rng() % 8000), course, a.lat + 0.01 * r,
                         a.lon, r == 0 ? 110.3 : 0.0, r == 0 ? course : 0, static_cast<int>(rng() % 9000));
        }
    }
    std::fclose(f);

    f = open("wpNavRTE.txt");
    for (int w = 0; w < size.airways; ++w) {
        const std::string name = (w % 2 ? "J" : "V") + std::to_string(w / 2);
        for (int p = 0; p < size.pointsPerAirway; ++p) {
            const Point& pt = fixes[rng() % fixes.size()];
            std::fprintf(f, "%-7s %03d %-5s %10.6f %11.6f\n", name.c_str(), p + 1, pt.ident.c_str(), pt.lat, pt.lon);
        }
    }
    std::fclose(f);

    for (size_t i = 0; i < fixes.size(); i += 97) idents.fixes.push_back(fixes[i].ident);
    return idents;
}

}  // namespace halvex::bench
