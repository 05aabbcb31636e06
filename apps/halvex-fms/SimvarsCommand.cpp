// halvex-fms simvars: connect to the simulator the way the module does and print what the FMS
// sees, once, every second, or time the exchanges.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "simlink/SimVariables.h"

namespace halvex::cli {

namespace {

struct SimvarsOptions {
    bool fds = false;
    bool watch = false;
    int bench = 0;
};

std::string shown(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}
std::string shown(bool v) { return v ? "true" : "false"; }
std::string shown(int v) { return std::to_string(v); }
std::string shown(const std::string& v) { return "\"" + (v == SimVariables::kNoText ? std::string("\\n") : v) + "\""; }

void printAll(SimVariables& sim) {
    const int update = sim.Update();
    auto line = [](const char* name, const std::string& value) { std::cout << name << ": " << value << "\n"; };
    line("Update", shown(update));
    line("IsConnected", shown(sim.IsConnected()));
    line("Latitude", shown(sim.Latitude()));
    line("Longitude", shown(sim.Longitude()));
    const PositionTriple& p = sim.Position();
    line("Position", shown(p.latRad) + " " + shown(p.lonRad) + " " + shown(p.radiusNm));
    line("TrueHeading", shown(sim.TrueHeading()));
    line("MagneticVariation", shown(sim.MagneticVariation()));
    line("Altitude", shown(sim.Altitude()));
    line("RadioAltitude", shown(sim.RadioAltitude()));
    line("VerticalSpeed", shown(sim.VerticalSpeed()));
    line("IndicatedAirspeed", shown(sim.IndicatedAirspeed()));
    line("TrueAirspeed", shown(sim.TrueAirspeed()));
    line("GroundSpeed", shown(sim.GroundSpeed()));
    line("LongitudinalAcceleration", shown(sim.LongitudinalAcceleration()));
    line("WindDirection", shown(sim.WindDirection()));
    line("WindSpeed", shown(sim.WindSpeed()));
    line("GrossWeight", shown(sim.GrossWeight()));
    line("AutopilotMaster", shown(sim.AutopilotMaster()));
    line("FlightDirector", shown(sim.FlightDirector()));
    line("SimulatorPath", shown(sim.SimulatorPath()));
    line("AircraftFilePath", shown(sim.AircraftFilePath()));
    line("AircraftFolder", shown(sim.AircraftFolder()));
    line("UtcHour", shown(int{sim.UtcHour()}));
    line("UtcMinute", shown(int{sim.UtcMinute()}));
    line("UtcSecond", shown(int{sim.UtcSecond()}));
    line("Year", shown(int{sim.Year()}));
    line("Month", shown(int{sim.Month()}));
    line("DayOfMonth", shown(int{sim.DayOfMonth()}));
    line("AutopilotHeading", shown(sim.AutopilotHeading()));
    line("Nav1RelativeBearing", shown(sim.Nav1RelativeBearing()));
    line("Nav1DmeDistance", shown(sim.Nav1DmeDistance()));
    line("Nav1LateralNeedle", shown(sim.Nav1LateralNeedle()));
    line("Nav1Course", shown(sim.Nav1Course()));
    line("Nav1GlideslopeValid", shown(sim.Nav1GlideslopeValid()));
    line("Nav1VerticalNeedle", shown(sim.Nav1VerticalNeedle()));
    line("Nav2RelativeBearing", shown(sim.Nav2RelativeBearing()));
    line("Nav2DmeDistance", shown(sim.Nav2DmeDistance()));
    line("Nav2LateralNeedle", shown(sim.Nav2LateralNeedle()));
    line("Nav2Course", shown(sim.Nav2Course()));
    line("Nav2GlideslopeValid", shown(sim.Nav2GlideslopeValid()));
    line("Nav2VerticalNeedle", shown(sim.Nav2VerticalNeedle()));
    line("LastResult", shown(static_cast<int>(sim.LastResult())));
    std::cout << std::flush;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int bench(SimVariables& sim, int n) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> exchangeUs, updateMs;
    exchangeUs.reserve(static_cast<size_t>(n));
    updateMs.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const auto t0 = Clock::now();
        sim.Nav1LateralNeedle();  // one 4-byte read, one exchange
        const auto t1 = Clock::now();
        if (sim.LastResult() != 0) {
            std::cerr << "halvex-fms simvars: exchange failed with code " << sim.LastResult() << "\n";
            return 1;
        }
        exchangeUs.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    }
    for (int i = 0; i < n; ++i) {
        const auto t0 = Clock::now();
        const int rc = sim.Update();  // nineteen exchanges
        const auto t1 = Clock::now();
        if (rc != 0) {
            std::cerr << "halvex-fms simvars: update failed with code " << sim.LastResult() << "\n";
            return 1;
        }
        updateMs.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::printf("exchange_us_median: %.2f\nupdate_ms_median: %.4f\n", median(exchangeUs), median(updateMs));
    return 0;
}

int runSimvars(const SimvarsOptions& o) {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    if (o.watch) pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::unique_ptr<SimVariables> sim;
    if (o.fds)
        sim = std::make_unique<FdsSimVariables>();
    else
        sim = std::make_unique<IpcSimVariables>();
    if (!sim->IsConnected()) {
        std::cerr << "halvex-fms simvars: no connection to the " << (o.fds ? "FDS connection server" : "data server")
                  << " (code " << sim->LastResult() << "); is `halvex-fms server` running?\n";
        return 1;
    }
    if (o.bench > 0) return bench(*sim, o.bench);
    printAll(*sim);
    if (!o.watch) return 0;
    const timespec second{1, 0};
    for (;;) {
        const int signal = sigtimedwait(&stopSignals, nullptr, &second);
        if (signal == SIGINT || signal == SIGTERM) return 0;
        std::cout << "\n";
        printAll(*sim);
    }
}

}  // namespace

void AddSimvarsCommand(CLI::App& app) {
    auto o = std::make_shared<SimvarsOptions>();
    CLI::App* cmd = app.add_subcommand("simvars", "Print every simulator value the FMS reads");
    cmd->add_flag("--fds", o->fds, "Use the FDS connection instead of the data server");
    auto* watch = cmd->add_flag("--watch", o->watch, "Print again every second until interrupted");
    auto* benchOpt = cmd->add_option("--bench", o->bench, "Time N single exchanges and N full updates")
                         ->check(CLI::PositiveNumber);
    watch->excludes(benchOpt);
    cmd->callback([o] {
        const int rc = runSimvars(*o);
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

}  // namespace halvex::cli
