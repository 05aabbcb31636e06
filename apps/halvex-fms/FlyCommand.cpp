// halvex-fms fly: flies a route headless. The substitute simulator runs inside the process (its
// data server on the real transport, in its own thread); the FMS core is built as the module
// builds it; flight model and core advance in lock-step, simulated time, no sleeping.
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "FlyRecorder.h"
#include "GaugePictures.h"
#include "PlanVerbs.h"
#include "fms/PerformanceRates.h"
#include "fms/RouteFiles.h"
#include "gauge/EhsiCoreSource.h"
#include "gauge/StandardCore.h"
#include "script/LuaHost.h"
#include "sim/DataServer.h"

namespace halvex::cli {

namespace {

struct FlyOptions {
    std::string root = DefaultRoot();
    std::string plan, route, wind, track, kml, plot;
    std::pair<double, std::string> pngEvery{0, ""};  // seconds between pictures, folder
    std::optional<double> lat, lon, alt, hdg, ias, crz, minutes;
    bool noLnav = false, noVnav = false, quiet = false;
    double hz = 18.0;
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
            if (verb->run(session, args) != 0) std::cerr << "halvex-fms fly: failed: " << command[0] << "\n";
        } catch (const std::exception&) {
            std::cerr << "halvex-fms fly: not a number in: " << verb->name << " " << verb->usage << "\n";
            return false;
        }
    }
    return true;
}

// The CDU and EHSI as the panel shows them, written every so many simulated seconds.
class GaugeSnapshots {
public:
    GaugeSnapshots(FmsCore& core, double everyS, std::string folder)
        : core_(core), everyS_(everyS), folder_(std::move(folder)) {
        if (everyS_ > 0) {
            source_ = std::make_unique<EhsiCoreSource>(core);
            ehsi_ = std::make_unique<EhsiRenderer>(*source_);
        }
    }
    // False when a picture could not be written.
    bool At(double timeS) {
        if (!ehsi_ || timeS + 1e-9 < nextS_) return true;
        nextS_ += everyS_;
        core_.RunCduCycle();
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%06.0f", timeS);
        const std::string cdu = folder_ + "/cdu-" + stamp + ".png", ehsi = folder_ + "/ehsi-" + stamp + ".png";
        if (WriteCduPicture(core_, cdu, 1.0f) && WriteEhsiPicture(*ehsi_, ehsi, 1.0f)) return true;
        std::cerr << "halvex-fms fly: cannot write " << cdu << " or " << ehsi << "\n";
        return false;
    }

private:
    FmsCore& core_;
    double everyS_;
    std::string folder_;
    double nextS_ = 0;
    std::unique_ptr<EhsiCoreSource> source_;
    std::unique_ptr<EhsiRenderer> ehsi_;
};

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

int RunFly(const FlyOptions& given) {
    FlyOptions o = given;
    for (std::string* path : {&o.track, &o.kml, &o.plot, &o.pngEvery.second}) *path = FromHere(*path);
    if (o.pngEvery.first > 0) {
        std::error_code ec;
        std::filesystem::create_directories(o.pngEvery.second, ec);
    }
    if (!EnterRoot(o.root)) return 1;
    PrivateRuntime runtime;
    if (!(o.hz > 0) || o.hz > 1000) {
        std::cerr << "halvex-fms fly: --hz wants 1..1000\n";
        return 2;
    }

    // The simulator's airframe climbs and descends by the bundled performance table.
    LuaHost tableEngine;
    PerfSpecTable airframe;
    airframe.load(tableEngine, std::string());
    PerformanceRates airframeRates(&airframe);
    sim::DataServerOptions options;
    options.ownClock = false;
    if (!airframeRates.empty()) {
        options.model.climbPerformance = [&airframeRates](double weight, double ias, double alt) {
            return sim::ClimbLimits{airframeRates.ClimbFpm(float(weight), float(ias), float(alt)),
                                    airframeRates.DescentFpm(float(weight), float(ias), float(alt))};
        };
    }
    options.model.variationAt = [](double lat, double lon) { return MagneticVariation(float(lat), float(lon)); };
    if (!o.wind.empty() && !ParseWind(o.wind, options.model)) {
        std::cerr << "halvex-fms fly: --wind wants DIR/KT, got '" << o.wind << "'\n";
        return 2;
    }
    sim::DataServer server(options);
    std::string error;
    if (!server.Start(&error)) {
        std::cerr << "halvex-fms fly: " << error << "\n";
        return 1;
    }

    std::unique_ptr<FmsCore> core = MakeStandardCore();
    if (!core->InitOk() || !core->Simulator()->IsConnected()) {
        std::cerr << "halvex-fms fly: the FMS core did not start (configuration, performance table or data server)\n";
        return 1;
    }
    PlanSession session(*core->Database(), core->Performance(), *core->Model());
    FlightPlanSet& plans = core->Model()->Plans();
    if (!o.route.empty()) {
        if (loadRoute(plans, o.route) != 0) {
            std::cerr << "halvex-fms fly: cannot load route " << o.route << "\n";
            return 1;
        }
    }
    if (!o.plan.empty() && !ApplyCommands(session, o.plan)) return 1;

    // The aircraft where the flight begins, then the plan executed from there.
    sim::FlightModelConfig start = options.model;
    ChooseStart(o, *core->Database(), plans.Current(), start);
    server.WithModel([&](sim::FlightModel& model, sim::OffsetSpace&) { model = sim::FlightModel(start); });
    const double frameS = 1.0 / o.hz;
    server.Step(0);
    core->Update();
    server.Step(frameS);
    core->Update();
    if (plans.isModifying() || !plans.Modified().empty()) plans.activate();
    if (o.crz) plans.setCruiseAltitude(static_cast<float>(*o.crz));
    else if (!(plans.CruiseAltitudeFt() > 0)) plans.setCruiseAltitude(20000.0f);
    if (plans.Active().LegsCount() < 2) {
        std::cerr << "halvex-fms fly: the active plan has nothing to fly\n";
        return 1;
    }

    FlyRecorder recorder(*core, o.quiet);
    if (!o.track.empty() && !recorder.OpenTrack(o.track)) {
        std::cerr << "halvex-fms fly: cannot write " << o.track << "\n";
        return 1;
    }
    recorder.RememberPlan(plans.Active());
    core->Guidance()->SetSequenceListener(&recorder);
    ApModeState& modes = *core->ApModes();
    modes.SetAutopilotMaster(true);
    if (!o.noLnav) modes.SetLateralMode(1);
    if (!o.noVnav) modes.SetVerticalMode(1);

    const int legsToPass = plans.Active().LegsCount() - 1;
    const size_t vpathPoints = plans.Active().verticalPath.size();
    const double minutes = o.minutes.value_or(plans.Active().totalDistance / 200.0 * 60.0 * 1.5 + 10.0);
    const auto frames = static_cast<long>(std::ceil(std::max(minutes, 0.0) * 60.0 * o.hz));
    const auto wallStart = std::chrono::steady_clock::now();
    long frame = 0;
    GaugeSnapshots snapshots(*core, o.pngEvery.first, o.pngEvery.second);
    for (; frame < frames && plans.Active().LegsCount() > 1; ++frame) {
        server.Step(frameS);
        core->Update();
        recorder.Sample(server.Snapshot(), server.Autopilot());
        if (!snapshots.At(static_cast<double>(frame + 1) * frameS)) return 1;
    }
    const double wallS = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double simS = static_cast<double>(frame) * frameS;
    core->Guidance()->SetSequenceListener(nullptr);
    server.Stop();

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
    if (!o.plot.empty() && !recorder.WritePlot(o.plot, o.plan.empty() ? o.route : o.plan)) {
        std::cerr << "halvex-fms fly: cannot write " << o.plot << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

void AddFlyCommand(CLI::App& app) {
    auto o = std::make_shared<FlyOptions>();
    CLI::App* cmd = app.add_subcommand("fly", "Fly a route headless in lock-step with the substitute simulator");
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
    cmd->callback([o] {
        const int rc = RunFly(*o);
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

}  // namespace halvex::cli
