// Procedure loading speed: reading, parsing and running a 3,000-line procedure file against the
// bundled western-US navigation data (the load runs on the simulator's thread, so it is frame
// time).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "navdb/NavDatabase.h"
#include "procedures/LoadProcedures.h"
#include "procedures/ProcedureLexer.h"
#include "procedures/ProgramAssembler.h"
#include "support/TempTree.h"

namespace {

const std::string kData = std::string(HALVEX_SOURCE_DIR) + "/data/";

const halvex::NavDatabase& database() {
    static const std::unique_ptr<halvex::NavDatabase> db = [] {
        auto loaded = std::make_unique<halvex::NavDatabase>();
        loaded->LoadFrom(kData + "FMCWP/NavData");
        return loaded;
    }();
    return *db;
}

// The San Francisco sample repeated (every procedure again, sections and all) to 3,000 lines.
const std::string& bigFile() {
    static const std::string text = [] {
        std::ifstream in(kData + "PMDG/SIDSTARS/KSFO.txt", std::ios::binary);
        const std::string one{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::string all;
        size_t lines = 0;
        while (lines < 3000) {
            all += one;
            lines = static_cast<size_t>(std::count(all.begin(), all.end(), '\n'));
        }
        return all;
    }();
    return text;
}

void BM_LoadFromText3000Lines(benchmark::State& state) {
    const halvex::NavDatabase& db = database();
    size_t legs = 0;
    for (auto _ : state) {
        halvex::ProcedureBlock block;
        if (halvex::LoadProceduresFromText(db, block, "KSFO", bigFile()) != 0) state.SkipWithError("load failed");
        legs = 0;
        for (const auto& sid : block.sids)
            for (const auto& part : sid.runwayParts) legs += part.legs.size();
        benchmark::DoNotOptimize(block);
    }
    state.counters["lines"] = static_cast<double>(std::count(bigFile().begin(), bigFile().end(), '\n'));
    state.counters["sid_runway_legs"] = static_cast<double>(legs);
}
BENCHMARK(BM_LoadFromText3000Lines)->Unit(benchmark::kMillisecond);

void BM_LoadProceduresFile3000Lines(benchmark::State& state) {
    const halvex::NavDatabase& db = database();
    halvex::test::TempTree tree;
    tree.write("PMDG/SIDSTARS/KSFO.txt", bigFile());
    for (auto _ : state) {
        halvex::ProcedureBlock block;
        if (halvex::LoadProcedures(db, block, "KSFO") != 0) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(block);
    }
}
BENCHMARK(BM_LoadProceduresFile3000Lines)->Unit(benchmark::kMillisecond);

void BM_TokenizeParseAssemble3000Lines(benchmark::State& state) {
    const std::vector<std::string> lines = halvex::SplitProcedureLines(bigFile());
    for (auto _ : state) {
        auto program = halvex::AssembleProgram(lines);
        benchmark::DoNotOptimize(program);
    }
}
BENCHMARK(BM_TokenizeParseAssemble3000Lines)->Unit(benchmark::kMillisecond);

// A hostile file (81 KB): one SID common part of 98 legs, then 10,000 runway lines. Program
// nodes and stored legs must grow with the file, not with 98 x 10,000.
void BM_LoadCommonPartAndTenThousandRunwayLines(benchmark::State& state) {
    const halvex::NavDatabase& db = database();
    std::string text = "SIDS\nSID BIG1";
    for (int i = 0; i < 98; ++i) text += " FIX SEA";
    text += "\n";
    for (int i = 0; i < 10000; ++i) text += "RNW 16L\n";
    uint64_t nodes = 0;
    size_t legs = 0;
    for (auto _ : state) {
        const uint64_t before = halvex::ProcNodesCreated();
        halvex::ProcedureBlock block;
        if (halvex::LoadProceduresFromText(db, block, "KSEA", text) != 0) state.SkipWithError("load failed");
        nodes = halvex::ProcNodesCreated() - before;
        legs = 0;
        for (const auto& sid : block.sids)
            for (const auto& part : sid.runwayParts) legs += part.legs.size();
        benchmark::DoNotOptimize(block);
    }
    state.counters["file_kb"] = static_cast<double>(text.size()) / 1024.0;
    state.counters["program_nodes"] = static_cast<double>(nodes);
    state.counters["sid_runway_legs"] = static_cast<double>(legs);
}
BENCHMARK(BM_LoadCommonPartAndTenThousandRunwayLines)->Unit(benchmark::kMillisecond);

}  // namespace
