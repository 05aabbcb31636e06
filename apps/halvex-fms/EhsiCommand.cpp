// halvex-fms ehsi: build the core as the module does (connected to a running server when there
// is one), apply a plan and the EHSI's control codes, draw the EHSI once and write it as PNG.
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "display/TrackPlot.h"
#include "GaugePictures.h"
#include "PlanVerbs.h"
#include "gauge/EhsiCoreSource.h"
#include "gauge/StandardCore.h"
#include "script/LuaHost.h"

namespace halvex::cli {

namespace {

struct EhsiOptions {
    std::string root = DefaultRoot();
    std::string plan;
    std::string codes;
    std::string png = "ehsi.png";
    std::string plot;
    float scale = 1.0f;
};

// Runs the plan commands in a session of their own and hands both plans to the core's model;
// the session reads the same navigation data, so database indexes agree.
bool applyPlan(FmsCore& core, const std::string& text) {
    auto session = std::make_unique<PlanSession>();
    session->database.Load();
    session->model.AttachDatabase(&session->database);
    LuaHost engine;
    session->performance.load(engine, std::string());
    std::vector<PlanVerb> verbs = PlanEditVerbs();
    for (PlanVerb& v : PlanProcedureVerbs()) verbs.push_back(std::move(v));
    for (const std::vector<std::string>& command : SplitPlanCommands(text)) {
        const PlanVerb* verb = nullptr;
        for (const PlanVerb& v : verbs)
            if (command[0] == v.name) verb = &v;
        const std::vector<std::string> args(command.begin() + 1, command.end());
        if (!verb || args.size() < verb->minArgs || args.size() > verb->maxArgs) {
            std::cerr << "halvex-fms ehsi: bad plan command: " << command[0] << "\n";
            return false;
        }
        int32_t result = -1;
        try {
            result = verb->run(*session, args);
        } catch (const std::exception&) {
        }
        if (result != 0) std::cerr << "halvex-fms ehsi: plan command failed: " << command[0] << "\n";
    }
    FlightPlanSet& plans = core.Model()->Plans();
    plans.Active() = session->plans().Active();
    plans.Modified() = session->plans().Modified();
    plans.setModifying(session->plans().isModifying());
    return true;
}

bool parseCodes(const std::string& text, std::vector<int32_t>& out) {
    std::istringstream in(text);
    for (std::string word; std::getline(in, word, ',');) {
        if (word.empty()) continue;
        try {
            size_t used = 0;
            out.push_back(std::stoi(word, &used));
            if (used != word.size()) return false;
        } catch (const std::exception&) {
            return false;
        }
    }
    return true;
}

int runEhsi(const EhsiOptions& o) {
    std::vector<int32_t> codes;
    if (!parseCodes(o.codes, codes)) {
        std::cerr << "halvex-fms ehsi: --codes takes whole numbers separated by commas\n";
        return 2;
    }
    if (!EnterRoot(o.root)) return 1;
    std::unique_ptr<FmsCore> core = MakeStandardCore();
    if (!o.plan.empty() && !applyPlan(*core, o.plan)) return 1;
    core->Update();  // one frame: the simulator's values and the aircraft's position
    EhsiCoreSource source(*core);
    EhsiRenderer renderer(source);
    for (int32_t code : codes) renderer.PushCode(code);
    renderer.Update();
    if (!WriteEhsiPicture(renderer, o.png, o.scale)) {
        std::cerr << "halvex-fms ehsi: cannot write " << o.png << "\n";
        return 1;
    }
    if (!o.plot.empty()) {
        TrackPlotData data;
        data.title = "Active plan";
        for (const WaypointEntry& e : core->Model()->Plans().Active().entries)
            if (e.onLegs) data.planned.push_back({e.position, e.name});
        if (core->Simulator()->IsConnected()) data.flown.push_back(source.AircraftPoint());
        if (!WriteTrackPlot(data, o.plot)) {
            std::cerr << "halvex-fms ehsi: cannot write " << o.plot << "\n";
            return 1;
        }
    }
    std::cout << "range_nm: " << renderer.RangeNm() << "\nmap: " << (renderer.MapStyle() ? 1 : 0)
              << "\nsimulator: " << (core->Simulator()->IsConnected() ? "connected" : "not connected")
              << "\npng: " << o.png << "\n";
    return 0;
}

}  // namespace

void AddEhsiCommand(CLI::App& app) {
    auto options = std::make_shared<EhsiOptions>();
    CLI::App* cmd = app.add_subcommand("ehsi", "Draw the EHSI gauge once and write it as a PNG file");
    cmd->add_option("--root", options->root, "Simulator folder (default: the bundled tree)");
    cmd->add_option("--plan", options->plan, "Plan commands, as for `plan` (\"org KSEA; dst KPDX; ...; exec\")");
    cmd->add_option("--codes", options->codes,
                    "Control codes, comma-separated: 1 NAV, 2 MAP, 5 BRG, 12/13 range up/down, 41/42 course, "
                    "44/45 heading bug");
    cmd->add_option("--png", options->png, "Output file (default ehsi.png)");
    cmd->add_option("--plot", options->plot, "Also write the active plan's legs as a north-up map (PNG)");
    cmd->add_option("--scale", options->scale, "Gauge size as a multiple of the 492 x 492 face (default 1)")
        ->check(CLI::Range(0.1f, 8.0f));
    cmd->callback([options] {
        const int rc = runEhsi(*options);
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

}  // namespace halvex::cli
