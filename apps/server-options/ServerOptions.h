// The substitute simulator's command line, shared by `halvex-fms server` and halvex-server.exe:
// the options, their checks, the flight model they start, and the status line.
#pragma once

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "sim/DataServer.h"

namespace halvex::cli {

struct ServerOptions {
    double latDeg = 30.0, lonDeg = 135.0, altFt = 5000.0, hdgDeg = 0.0, iasKt = 250.0, elevFt = 0.0, rate = 1.0;
    std::string wind, time, nav1, nav2;
    bool quiet = false;
};

// Adds every server option to cmd, storing into options.
void AddServerOptions(CLI::App& cmd, ServerOptions& options);

// The data server's settings, or nullopt with a message naming the bad option.
std::optional<sim::DataServerOptions> ToDataServerOptions(const ServerOptions& options, std::string& error);

// One line: time, position, altitudes, speeds, autopilot holds and targets.
std::string StatusLine(const sim::AircraftSnapshot& aircraft, const sim::AutopilotInputs& autopilot);

}  // namespace halvex::cli
