// halvex-fms fly: flies a route. The substitute simulator runs inside the process (its data server
// on the real transport, in its own thread); the gauge module is loaded into the panel host and
// driven as a simulator drives it. Headless, flight model and panel advance in lock-step,
// simulated time, no sleeping; in a window, in real time (or at a rate).
#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>
#include <cstdlib>
#include <filesystem>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Airframe.h"
#include "Commands.h"
#include "FlightPanel.h"
#include "FlyRecorder.h"
#include "PlanVerbs.h"
#include "fms/RouteFiles.h"
#include "panel/PanelWindow.h"
#include "sim/DataServer.h"

namespace halvex::cli {

namespace {

struct FlyOptions {
    std::string root = DefaultRoot();
    std::string plan, route, wind, track, kml, plot, scenario, module, panelPng;
    std::pair<double, std::string> pngEvery{0, ""};  // seconds between pictures, folder
    std::optional<double> lat, lon, alt, hdg, ias, crz, minutes;
    bool noLnav = false, noVnav = false, quiet = false, window = false;
    double hz = 18.0, rate = 1.0;
};

std::vector<PlanVerb> AllVerbs() {
    std::vector<PlanVerb> verbs = PlanEditVerbs();
    for (PlanVerb& v : PlanProcedureVerbs()) verbs.push_back(std::move(v));
    return verbs;
}

// Runs the plan commands on the core's plans, leaving out "exec": the plan is executed once the
// aircraft stands where the flight begins.
bool ApplyCommands(PlanSession& session, const std::string& text) {
    const std::vector<PlanVerb> verbs = AllVerbs();
    for (const std::vector<std::string>& command : SplitPlanCommands(text)) {
        if (command[0] == "exec") continue;
        const PlanVerb* verb = nullptr;
        for (const PlanVerb& v : verbs)
            if (command[0] == v.name) verb = &v;
        const std::vector<std::string> args(command.begin() + 1, command.end());
        if (!verb || args.size() < verb->minArgs || args.size() > verb->maxArgs) {
            std::cerr << "halvex-fms fly: " << (verb ? "usage: " + std::string(verb->name) + " " + verb->usage
                                                     : "unknown command " + command[0]) << "\n";
            return false;
        }
        try {
            const int32_t result = verb->run(session, args);
            if (result != 0)
                std::cerr << "halvex-fms fly: " << CommandText(command) << ": " << PlanResultText(*verb, result, session, args)
                          << "\n";
        } catch (const std::exception&) {
            std::cerr << "halvex-fms fly: not a number in: " << verb->name << " " << verb->usage << "\n";
            return false;
        }
    }
    return true;
}

bool ParseWind(const std::string& text, sim::FlightModelConfig& c) {
    double dir = 0, kt = 0;
    char slash = 0, tail = 0;
    if (std::sscanf(text.c_str(), "%lf %c %lf %c", &dir, &slash, &kt, &tail) != 3 || slash != '/' || !(kt >= 0) ||
        !std::isfinite(dir) || !std::isfinite(kt))
        return false;
    c.windFromDeg = dir;
    c.windSpeedKt = kt;
    return true;
}

// Where the flight begins: the given values, else 1,500 ft above the origin runway's threshold on
// its heading at 180 kt, else 3,000 ft above the first legs waypoint heading for the second.
void ChooseStart(const FlyOptions& o, const NavDatabase& db, const FlightPlan& plan, sim::FlightModelConfig& c) {
    double lat = 0, lon = 0, alt = 3000, hdg = 0, ias = 250;
    const NavAirport* origin = db.GetAirport(plan.origin);
    if (origin && plan.originRunway >= 0 && plan.originRunway < static_cast<int32_t>(origin->runways.size())) {
        const NavRunway& r = origin->runways[static_cast<size_t>(plan.originRunway)];
        lat = r.lat * RadToDeg;
        lon = r.lon * RadToDeg;
        alt = r.elevation + 1500.0;
        hdg = std::fmod(r.course + MagneticVariation(static_cast<float>(lat), static_cast<float>(lon)) + 360.0, 360.0);
        ias = 180;
    } else if (const WaypointEntry* first = plan.LegsEntry(0)) {
        lat = first->position.lat * RadToDeg;
        lon = first->position.lon * RadToDeg;
        alt = 3000.0 + std::max(first->altitude, 0.0f);
        if (const WaypointEntry* second = plan.LegsEntry(1)) hdg = CourseAndDistance(first->position, second->position).courseDeg;
    }
    c.latitudeDeg = o.lat.value_or(lat);
    c.longitudeDeg = o.lon.value_or(lon);
    c.altitudeFt = o.alt.value_or(alt);
    c.trueHeadingDeg = o.hdg.value_or(hdg);
    c.iasKt = o.ias.value_or(ias);
    // Flat ground at the lower of the two runways, so both ends of the flight have a radio altitude.
    double ground = 1e9;
    const NavAirport* destination = db.GetAirport(plan.destination);
    if (origin && plan.originRunway >= 0 && plan.originRunway < static_cast<int32_t>(origin->runways.size()))
        ground = std::min<double>(ground, origin->runways[static_cast<size_t>(plan.originRunway)].elevation);
    if (destination && plan.destinationRunway >= 0 && plan.destinationRunway < static_cast<int32_t>(destination->runways.size()))
        ground = std::min<double>(ground, destination->runways[static_cast<size_t>(plan.destinationRunway)].elevation);
    c.fieldElevationFt = ground < 1e8 ? std::min(ground, c.altitudeFt) : 0.0;
}

// The flight's own data server lives in a runtime folder of its own, so flights run side by side
// and a simulator already serving the user is never disturbed.
class PrivateRuntime {
public:
    PrivateRuntime() {
        std::string pattern = (std::filesystem::temp_directory_path() / "halvex-fly-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            folder_ = pattern;
            setenv("HALVEX_RUNTIME_DIR", folder_.c_str(), 1);
        }
    }
    ~PrivateRuntime() {
        if (folder_.empty()) return;
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    PrivateRuntime(const PrivateRuntime&) = delete;
    PrivateRuntime& operator=(const PrivateRuntime&) = delete;

private:
    std::string folder_;
};

// Output files are named from where the command was given, not from the simulator folder.
std::string FromHere(const std::string& path) {
    return path.empty() ? path : std::filesystem::absolute(path).string();
}

// The scenario's events, their files named from where the command was given.
std::optional<std::vector<panel::ScenarioEvent>> ReadScenario(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << "halvex-fms fly: cannot read scenario " << path << "\n";
        return std::nullopt;
    }
    std::string error;
    std::optional<std::vector<panel::ScenarioEvent>> events = panel::ParseScenario(in, error);
    if (!events) {
        std::cerr << "halvex-fms fly: " << path << ": " << error << "\n";
        return std::nullopt;
    }
    for (panel::ScenarioEvent& e : *events)
        if (!e.file.empty()) e.file = FromHere(e.file);
    return events;
}

// The exit status when --window finds no display, so a caller can fly headless instead.
constexpr int kNoWindow = 3;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int RunFly(const FlyOptions& given) {
    FlyOptions o = given;
    for (std::string* path : {&o.track, &o.kml, &o.plot, &o.pngEvery.second, &o.scenario, &o.module, &o.panelPng})
        *path = FromHere(*path);
    if (!(o.hz > 0) || o.hz > 1000) {
        std::cerr << "halvex-fms fly: --hz wants 1..1000\n";
        return 2;
    }
    if (!(o.rate > 0) || o.rate > 1000) {
        std::cerr << "halvex-fms fly: --rate wants a factor above 0, at most 1000\n";
        return 2;
    }
    std::vector<panel::ScenarioEvent> events;
    if (!o.scenario.empty()) {
        std::optional<std::vector<panel::ScenarioEvent>> read = ReadScenario(o.scenario);
        if (!read) return 2;
        events = std::move(*read);
    }
    std::string error;
    const std::string modulePath = FindGaugeModule(o.module, error);
    if (modulePath.empty()) {
        std::cerr << "halvex-fms fly: " << error << "\n";
        return 1;
    }
    if (o.pngEvery.first > 0) {
        std::error_code ec;
        std::filesystem::create_directories(o.pngEvery.second, ec);
    }
    if (!EnterRoot(o.root)) return 1;
    PrivateRuntime runtime;

    const Airframe airframe;
    sim::DataServerOptions options;
    options.ownClock = false;
    airframe.Fit(options.model);
    options.model.variationAt = [](double lat, double lon) { return MagneticVariation(float(lat), float(lon)); };
    if (!o.wind.empty() && !ParseWind(o.wind, options.model)) {
        std::cerr << "halvex-fms fly: --wind wants DIR/KT, got '" << o.wind << "'\n";
        return 2;
    }
    sim::DataServer server(options);
    if (!server.Start(&error)) {
        std::cerr << "halvex-fms fly: " << error << "\n";
        return 1;
    }

    std::unique_ptr<FlightPanel> flight = FlightPanel::Open(modulePath, error);
    if (!flight) {
        std::cerr << "halvex-fms fly: " << error << "\n";
        return 1;
    }
    std::unique_ptr<panel::PanelWindow> window;
    if (o.window) {
        window = panel::PanelWindow::Open("Halvex FMS Zolan", flight->Panel().Width(), flight->Panel().Height(), error);
        if (!window) {
            std::cerr << "halvex-fms fly: no window: " << error << "\n";
            return kNoWindow;
        }
        flight->Panel().window = window->Handle();
        flight->Panel().onStartupPicture = [&window](cairo_surface_t* picture) { window->Show(picture); };
    }
    if (!flight->Connect() || !flight->Core()->InitOk() || !flight->Core()->Simulator()->IsConnected()) {
        std::cerr << "halvex-fms fly: the FMS core did not start (configuration, performance table or data server)\n";
        return 1;
    }
    FmsCore& core = *flight->Core();
    PlanSession session(*core.Database(), core.Performance(), *core.Model());
    FlightPlanSet& plans = core.Model()->Plans();
    if (!o.route.empty()) {
        if (loadRoute(plans, o.route) != 0) {
            std::cerr << "halvex-fms fly: cannot load route " << o.route << "\n";
            return 1;
        }
    }
    if (!o.plan.empty() && !ApplyCommands(session, o.plan)) return 1;
    // The cruise altitude is in place before the plan is executed, as a pilot enters it on PERF
    // INIT before EXEC; a scenario's PERF INIT entry replaces it.
    if (o.crz) plans.setCruiseAltitude(static_cast<float>(*o.crz));
    else if (!(plans.CruiseAltitudeFt() > 0)) plans.setCruiseAltitude(20000.0f);
    // Without a plan or route on the command line the pilot builds the plan on the CDU, executes
    // it and engages the modes at the panel, all from the scenario or the window.
    const bool pilotFlies = o.plan.empty() && o.route.empty();
    if (pilotFlies && events.empty() && !window) {
        std::cerr << "halvex-fms fly: nothing to fly: give --plan, --route, --scenario or --window\n";
        return 2;
    }
    flight->SetScenario(std::move(events));

    // The scenario's first moment is the pilot's preflight, before the aircraft is placed where
    // the plan begins.
    const double frameS = 1.0 / o.hz;
    server.Step(0);
    flight->Update();
    if (!flight->PlayDue(0, error)) {
        std::cerr << "halvex-fms fly: " << error << "\n";
        return 1;
    }
    sim::FlightModelConfig start = options.model;
    ChooseStart(o, *core.Database(), plans.Active().LegsCount() >= 2 ? plans.Active() : plans.Current(), start);
    server.WithModel([&](sim::FlightModel& model, sim::OffsetSpace&) { model = sim::FlightModel(start); });
    server.Step(frameS);
    flight->Update();
    if (!pilotFlies && (plans.isModifying() || !plans.Modified().empty())) plans.activate();
    if (!pilotFlies && plans.Active().LegsCount() < 2) {
        std::cerr << "halvex-fms fly: the active plan has nothing to fly\n";
        return 1;
    }

    FlyRecorder recorder(core, o.quiet);
    if (!o.track.empty() && !recorder.OpenTrack(o.track)) {
        std::cerr << "halvex-fms fly: cannot write " << o.track << "\n";
        return 1;
    }
    core.Guidance()->SetSequenceListener(&recorder);
    if (!pilotFlies) {
        ApModeState& modes = *core.ApModes();
        modes.SetAutopilotMaster(true);
        if (!o.noLnav) modes.SetLateralMode(1);
        if (!o.noVnav) modes.SetVerticalMode(1);
    }

    // What the flight is measured against: the active plan as it stands once it has legs.
    bool planKnown = false;
    int legsToPass = 0;
    size_t vpathPoints = 0;
    auto rememberPlan = [&] {
        if (planKnown || plans.Active().LegsCount() < 2) return;
        planKnown = true;
        recorder.RememberPlan(plans.Active());
        legsToPass = plans.Active().LegsCount() - 1;
        vpathPoints = plans.Active().verticalPath.size();
    };
    rememberPlan();
    const double defaultMinutes = planKnown ? plans.Active().totalDistance / 200.0 * 60.0 * 1.5 + 10.0
                                  : window  ? 6000.0  // until the window is closed
                                            : flight->LastEventS() / 60.0 + 30.0;
    const double minutes = o.minutes.value_or(defaultMinutes);
    const auto frames = static_cast<long>(std::ceil(std::max(minutes, 0.0) * 60.0 * o.hz));
    constexpr double kDrawIntervalS = 1.0 / 30.0;  // the window's drawing rate, wall time
    const auto wallStart = std::chrono::steady_clock::now();
    double nextDrawS = 0, nextPictureS = 0;
    long frame = 0;
    bool windowClosed = false;
    for (; frame < frames; ++frame) {
        if (planKnown && plans.Active().LegsCount() <= 1) break;
        server.Step(frameS);
        flight->Update();
        const double timeS = static_cast<double>(frame + 1) * frameS;
        recorder.Sample(server.Snapshot(), server.Autopilot());
        if (!flight->PlayDue(timeS, error)) {
            std::cerr << "halvex-fms fly: " << error << "\n";
            return 1;
        }
        rememberPlan();
        if (o.pngEvery.first > 0 && timeS + 1e-9 >= nextPictureS) {
            nextPictureS += o.pngEvery.first;
            if (!flight->WriteGaugePictures(o.pngEvery.second, timeS)) {
                std::cerr << "halvex-fms fly: cannot write pictures into " << o.pngEvery.second << "\n";
                return 1;
            }
        }
        if (!window) continue;
        if (!window->PumpEvents(flight->Panel())) {
            windowClosed = true;
            ++frame;
            break;
        }
        // The window draws at most kDrawIntervalS apart; frames that fell behind the clock run
        // back to back, so the simulation never waits on a slow draw.
        const double wallS = SecondsSince(wallStart);
        if (wallS >= nextDrawS) {
            flight->Draw();
            window->Show(flight->Panel().Picture());
            nextDrawS = wallS + kDrawIntervalS;
        }
        const double aheadS = timeS / o.rate - SecondsSince(wallStart);
        if (aheadS > 0) std::this_thread::sleep_for(std::chrono::duration<double>(std::min(aheadS, kDrawIntervalS)));
    }
    const double wallS = SecondsSince(wallStart);
    const double simS = static_cast<double>(frame) * frameS;
    core.Guidance()->SetSequenceListener(nullptr);
    if (!o.panelPng.empty()) {
        flight->DrawCurrent();
        if (!flight->Panel().WritePng(o.panelPng)) {
            std::cerr << "halvex-fms fly: cannot write " << o.panelPng << "\n";
            return 1;
        }
    }
    server.Stop();

    if (windowClosed) std::printf("window: closed at t=%.0f s\n", simS);
    std::printf("sequenced: %d/%d\n", recorder.Sequenced(), legsToPass);
    std::printf("sim_minutes: %.2f\n", simS / 60.0);
    std::printf("wall_s: %.3f\n", wallS);
    std::printf("speedup: %.1f\n", wallS > 0 ? simS / wallS : 0.0);
    std::printf("max_abs_xtk_straight_nm: %.3f\n", recorder.MaxStraightXtkNm());
    std::printf("max_abs_xtk_turn_nm: %.3f\n", recorder.MaxTurnXtkNm());
    std::printf("vpath_points: %zu\n", vpathPoints);
    std::printf("tod_offset_nm: %.2f\n", recorder.TodOffsetNm());
    std::printf("cruise_max_dev_ft: %.0f\n", recorder.CruiseDeviationFt());
    std::printf("max_ias_below_10000_kt: %.1f\n", recorder.MaxIasBelow10000Kt());
    for (const auto& [name, errorFt] : recorder.ConstraintErrors()) std::printf("constraint: %s %+.0f\n", name.c_str(), errorFt);
    if (!o.kml.empty() && !recorder.WriteKml(o.kml)) {
        std::cerr << "halvex-fms fly: cannot write " << o.kml << "\n";
        return 1;
    }
    const std::string title = !o.plan.empty() ? o.plan : !o.route.empty() ? o.route : o.scenario;
    if (!o.plot.empty() && !recorder.WritePlot(o.plot, title)) {
        std::cerr << "halvex-fms fly: cannot write " << o.plot << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

void AddFlyCommand(CLI::App& app) {
    auto o = std::make_shared<FlyOptions>();
    CLI::App* cmd = app.add_subcommand("fly", "Fly a route through the gauge module and the substitute simulator");
    cmd->add_option("--root", o->root, "Simulator folder (default: the bundled tree)");
    cmd->add_option("--plan", o->plan, "Plan commands as for `plan`, ending with exec");
    cmd->add_option("--route", o->route, "Company route to load and execute");
    cmd->add_option("--lat", o->lat, "Start latitude, degrees")->check(CLI::Range(-89.9, 89.9));
    cmd->add_option("--lon", o->lon, "Start longitude, degrees")->check(CLI::Range(-180.0, 180.0));
    cmd->add_option("--alt", o->alt, "Start altitude, feet")->check(CLI::Range(-1000.0, 60000.0));
    cmd->add_option("--hdg", o->hdg, "Start true heading, degrees")->check(CLI::Range(0.0, 360.0));
    cmd->add_option("--ias", o->ias, "Start indicated airspeed, knots")->check(CLI::Range(0.0, 600.0));
    cmd->add_option("--wind", o->wind, "Wind DIR/KT (from, true degrees / knots)");
    cmd->add_option("--crz", o->crz, "Cruise altitude, feet")->check(CLI::Range(0.0, 65000.0));
    cmd->add_flag("--no-lnav", o->noLnav, "Leave the lateral mode off");
    cmd->add_flag("--no-vnav", o->noVnav, "Leave the vertical mode off");
    cmd->add_option("--minutes", o->minutes, "Simulated minutes at most (default: enough for the plan)")->check(CLI::Range(0.0, 6000.0));
    cmd->add_option("--hz", o->hz, "Frames per simulated second (default 18)");
    cmd->add_option("--track", o->track, "Write the flown track, one row per simulated second (CSV)");
    cmd->add_option("--kml", o->kml, "Write the flown track and the planned legs as KML");
    cmd->add_option("--plot", o->plot, "Write the planned legs and the flown track on one map (PNG)");
    cmd->add_option("--png-every", o->pngEvery, "SECONDS DIR: write the CDU and EHSI pictures along the flight");
    cmd->add_flag("--quiet", o->quiet, "No line per sequenced waypoint");
    cmd->add_option("--scenario", o->scenario, "Pilot's events at the panel: at SECONDS keys|click|snapshot|screen ...");
    cmd->add_flag("--window", o->window, "Fly in a window with the whole panel, in real time");
    cmd->add_option("--rate", o->rate, "With --window: simulated seconds per wall second (default 1)");
    cmd->add_option("--panel-png", o->panelPng, "Write the whole panel as it stands at the end (PNG)");
    cmd->add_option("--module", o->module, "The gauge module to load (default: beside this program, else this build's)");
    cmd->callback([o] {
        const int rc = RunFly(*o);
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

}  // namespace halvex::cli
