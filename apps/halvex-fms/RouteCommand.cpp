// halvex-fms route: save a plan built with the plan command's language as a company route,
// load a route into the modified plan and print it, list the saved routes.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "PlanVerbs.h"
#include "fms/RouteFiles.h"
#include "script/LuaHost.h"

namespace halvex::cli {

namespace {

struct RouteOptions {
    std::string root = DefaultRoot();
    std::string name;
    std::vector<std::string> commands;
    bool all = false;
};

// A session on the root's database, as the plan command makes it.
std::unique_ptr<PlanSession> OpenSession(const std::string& root) {
    if (!EnterRoot(root)) return nullptr;
    auto session = std::make_unique<PlanSession>();
    session->database.Load();
    session->model.AttachDatabase(&session->database);
    LuaHost engine;
    session->performance.load(engine, std::string());  // no table: standard-rate turns
    return session;
}

bool RunCommands(PlanSession& session, const std::string& text) {
    const std::vector<PlanVerb> verbs = PlanEditVerbs();
    for (const std::vector<std::string>& command : SplitPlanCommands(text)) {
        const PlanVerb* verb = nullptr;
        for (const PlanVerb& v : verbs)
            if (command[0] == v.name) verb = &v;
        const std::vector<std::string> args(command.begin() + 1, command.end());
        if (!verb || args.size() < verb->minArgs || args.size() > verb->maxArgs) {
            std::cerr << "halvex-fms route: " << (verb ? "usage: " + std::string(verb->name) + " " + verb->usage
                                                       : "unknown command " + command[0])
                      << "\n";
            return false;
        }
        int32_t result = 0;
        try {
            result = verb->run(session, args);
        } catch (const std::exception&) {
            std::cerr << "halvex-fms route: not a number in: " << verb->name << " " << verb->usage << "\n";
            return false;
        }
        std::cout << "> " << CommandText(command) << "  " << PlanResultText(*verb, result, session, args) << "\n";
    }
    return true;
}

int RunSave(const RouteOptions& o) {
    std::string text;
    for (const std::string& c : o.commands) text += c + " ";
    auto session = OpenSession(o.root);
    if (!session || !RunCommands(*session, text)) return 1;
    FlightPlanSet& plans = session->plans();
    if (plans.isModifying()) plans.activate();  // the route saved is the active plan
    const std::string name = o.name == "-" ? std::string() : o.name;
    const std::optional<std::string> file = SaveRouteFile(plans, name);
    if (!file) {
        std::cerr << "halvex-fms route: saving failed (a name must be a plain file name; an unnamed save "
                     "needs an origin and a destination)\n";
        return 1;
    }
    std::cout << "saved " << kRouteDirectory << *file << "\n";
    PrintPlanViews(std::cout, session->database, "ACT", plans.Active(), o.all);
    return 0;
}

int RunLoad(const RouteOptions& o) {
    auto session = OpenSession(o.root);
    if (!session) return 1;
    FlightPlanSet& plans = session->plans();
    if (loadRoute(plans, o.name) != 0) {
        std::cerr << "halvex-fms route: cannot load " << o.name << " from " << kRouteDirectory << "\n";
        return 1;
    }
    std::cout << "loaded " << kRouteDirectory << o.name << ".xml\n";
    PrintPlanViews(std::cout, session->database, "MOD", plans.Modified(), o.all);
    return 0;
}

int RunList(const RouteOptions& o) {
    if (!EnterRoot(o.root)) return 1;
    for (const std::string& name : ListRoutes(o.name)) std::cout << name << "\n";
    return 0;
}

void OnResult(int rc) {
    if (rc != 0) throw CLI::RuntimeError(rc);
}

}  // namespace

void AddRouteCommand(CLI::App& app) {
    auto options = std::make_shared<RouteOptions>();
    CLI::App* cmd = app.add_subcommand("route", "Company routes in Gauges/HalvexFmsZolan/Route/: save, load, list");
    cmd->require_subcommand(1);
    cmd->add_option("--root", options->root, "Simulator folder holding FMCWP/, PMDG/ and Gauges/ (default: the bundled tree)");

    CLI::App* save = cmd->add_subcommand(
        "save", "Build a plan with the plan command's language, execute it and save the active plan as NAME. "
                "NAME \"-\" or \"\" saves under a generated name: origin + destination + the first free number "
                "(e.g. KSEAKPDX1). A name is a plain file name: no \"/\", \"\\\", \"..\", \":\" or control characters.");
    save->add_option("NAME", options->name, "Route name without .xml, or - for a generated one")->required();
    save->add_option("COMMANDS", options->commands, "Plan commands, e.g. \"org KSEA; dst KPDX; fpln 0 SEA; exec\"");
    save->add_flag("--all", options->all, "Also list every entry, hidden subdivision points included");
    save->fallthrough();
    save->callback([options] { OnResult(RunSave(*options)); });

    CLI::App* load = cmd->add_subcommand("load", "Load route NAME into the modified plan and print its views");
    load->add_option("NAME", options->name, "Route name without .xml")->required();
    load->add_flag("--all", options->all, "Also list every entry, hidden subdivision points included");
    load->fallthrough();
    load->callback([options] { OnResult(RunLoad(*options)); });

    CLI::App* list = cmd->add_subcommand("list", "List the saved routes (names without .xml)");
    list->add_option("PREFIX", options->name, "Only names starting with this, e.g. KSEAKPDX (case ignored)");
    list->fallthrough();
    list->callback([options] { OnResult(RunList(*options)); });
}

}  // namespace halvex::cli
