// halvex-fms plan: edit a flight plan with a small command language and print its views.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "PlanVerbs.h"
#include "fms/VerticalPath.h"
#include "script/LuaHost.h"

namespace halvex::cli {

namespace {

struct PlanOptions {
    std::string root = DefaultRoot();
    std::string file;
    bool all = false;
    bool vpath = false;
    std::vector<std::string> commands;
};

std::vector<PlanVerb> AllPlanVerbs() {
    std::vector<PlanVerb> verbs = PlanEditVerbs();
    for (PlanVerb& v : PlanProcedureVerbs()) verbs.push_back(std::move(v));
    return verbs;
}

std::string Constraint(const WaypointEntry& e) {
    if (!e.HasAltitude()) return "";
    char text[24];
    std::snprintf(text, sizeof text, "%.0f%s", e.altitude, e.altitudeKind == 1 ? "B" : e.altitudeKind == 2 ? "A" : "");
    return text;
}

std::string Number(float value, const char* format) {
    if (value < 0) return "---";
    char text[24];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Airway(const NavDatabase& db, const WaypointEntry& e) {
    if (e.airwayIndex == -1) return "DIRECT";
    const char* name = db.AirwayName(e.airwayIndex);
    return name ? name : "?";
}

void PrintLine(std::ostream& out, const NavDatabase& db, int32_t position, const WaypointEntry& e) {
    char line[160];
    std::snprintf(line, sizeof line, "  %3d  %-10s %5s %8s  %-7s %s\n", position, e.name.c_str(),
                  Number(e.course, "%03.0f").c_str(), Number(e.legsDistance, "%.1f").c_str(), Constraint(e).c_str(),
                  Airway(db, e).c_str());
    out << line;
}

void PrintPlan(std::ostream& out, const NavDatabase& db, const char* label, const FlightPlan& plan, bool all) {
    out << label << " LEGS (" << plan.LegsCount() << ")  total " << Number(plan.totalDistance, "%.1f") << " nm\n";
    for (int32_t i = 0; const WaypointEntry* e = plan.LegsEntry(i); ++i) PrintLine(out, db, i, *e);
    out << label << " FPLN (" << plan.FplnCount() << ")\n";
    for (int32_t i = 0; const WaypointEntry* e = plan.FplnEntry(i); ++i) PrintLine(out, db, i, *e);
    if (!all) return;
    out << label << " ALL (" << plan.entries.size() << ")\n";
    for (size_t i = 0; i < plan.entries.size(); ++i) {
        const WaypointEntry& e = plan.entries[i];
        char line[200];
        std::snprintf(line, sizeof line, "  %3zu  %c%c k%-2d %-10s crs %5s  leg %7s  gc %7s  legs %7s\n", i,
                      e.onLegs ? 'L' : '-', e.onFpln ? 'F' : '-', e.kind, e.name.empty() ? "(hidden)" : e.name.c_str(),
                      Number(e.course, "%03.0f").c_str(), Number(e.legLength, "%.2f").c_str(),
                      Number(e.legDistance, "%.2f").c_str(), Number(e.legsDistance, "%.2f").c_str());
        out << line;
    }
}

// One point per line: index, kind, altitude, position, entry, distance.
void PrintVerticalPath(std::ostream& out, const FlightPlan& plan) {
    out << "ACT VPATH (" << plan.verticalPath.size() << ")\n";
    for (size_t i = 0; i < plan.verticalPath.size(); ++i) {
        const VPathPoint& p = plan.verticalPath[i];
        char line[200];
        std::snprintf(line, sizeof line, "  %3zu  %-10s %7.0f  %10.5f %11.5f  %4d  %7.1f\n", i, VPathKindName(p.kind),
                      p.altitude, p.position.lat * RadToDeg, p.position.lon * RadToDeg, p.entryIndex, p.distance);
        out << line;
    }
}

int RunPlan(const PlanOptions& o) {
    std::string text;
    if (!o.file.empty()) {
        std::ifstream in(o.file, std::ios::binary);
        if (!in) {
            std::cerr << "halvex-fms plan: cannot read " << o.file << "\n";
            return 1;
        }
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        text += '\n';
    }
    for (const std::string& c : o.commands) text += c + " ";
    if (!EnterRoot(o.root)) return 1;

    auto session = std::make_unique<PlanSession>();
    session->database.Load();
    session->model.AttachDatabase(&session->database);
    LuaHost engine;
    session->performance.load(engine, std::string());  // no table: standard-rate turns

    const std::vector<PlanVerb> verbs = AllPlanVerbs();
    for (const std::vector<std::string>& command : SplitPlanCommands(text)) {
        const PlanVerb* verb = nullptr;
        for (const PlanVerb& v : verbs)
            if (command[0] == v.name) verb = &v;
        if (!verb) {
            std::cerr << "halvex-fms plan: unknown command " << command[0] << "\n";
            return 1;
        }
        const std::vector<std::string> args(command.begin() + 1, command.end());
        if (args.size() < verb->minArgs || args.size() > verb->maxArgs) {
            std::cerr << "halvex-fms plan: usage: " << verb->name << " " << verb->usage << "\n";
            return 1;
        }
        int32_t result = 0;
        try {
            result = verb->run(*session, args);
        } catch (const std::exception&) {
            std::cerr << "halvex-fms plan: not a number in: " << verb->name << " " << verb->usage << "\n";
            return 1;
        }
        std::cout << "> " << CommandText(command) << "  " << PlanResultText(*verb, result, *session, args) << "\n";
    }

    const FlightPlanSet& plans = session->plans();
    std::cout << "modifying: " << (plans.isModifying() ? "yes" : "no") << "  cruise "
              << Number(plans.CruiseAltitudeFt(), "%.0f") << " ft\n";
    PrintPlan(std::cout, session->database, "MOD", plans.Modified(), o.all);
    PrintPlan(std::cout, session->database, "ACT", plans.Active(), o.all);
    if (o.vpath) PrintVerticalPath(std::cout, plans.Active());
    return 0;
}

}  // namespace

// Shared with the route command.
void PrintPlanViews(std::ostream& out, const NavDatabase& db, const char* label, const FlightPlan& plan, bool all) {
    PrintPlan(out, db, label, plan, all);
}

void AddPlanCommand(CLI::App& app) {
    auto options = std::make_shared<PlanOptions>();
    CLI::App* cmd = app.add_subcommand(
        "plan", "Edit a flight plan with commands (org, dst, orgrwy, dstrwy, wp, fpln, pbd, via, del, delr, fdel, "
                "direct, alt, crz, pos, exec, cancel) separated by ';' and print both plans");
    cmd->add_option("--root", options->root, "Simulator folder holding FMCWP/ and PMDG/ (default: the bundled tree)");
    cmd->add_option("--file", options->file, "Read commands from this file (one per line or ';'-separated) first");
    cmd->add_flag("--all", options->all, "Also list every entry, hidden subdivision points included");
    cmd->add_flag("--vpath", options->vpath, "Also list the active plan's vertical path points");
    cmd->add_option("COMMANDS", options->commands, "Commands, e.g. \"org KSEA; dst KPDX; wp 1 SEA; exec\"");
    cmd->callback([options] {
        const int rc = RunPlan(*options);
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

}  // namespace halvex::cli
