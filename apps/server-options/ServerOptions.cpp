#include "ServerOptions.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <tuple>
#include <vector>

#include "navdb/Geodesy.h"

namespace halvex::cli {

namespace {

std::vector<std::string> split(const std::string& text, char by) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, by);) parts.push_back(part);
    return parts;
}

std::optional<double> number(const std::string& text) {
    try {
        size_t used = 0;
        const double v = std::stod(text, &used);
        if (used != text.size()) return std::nullopt;
        return v;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool parseWind(const std::string& text, sim::FlightModelConfig& c) {
    const auto parts = split(text, '/');
    if (parts.size() != 2) return false;
    const auto dir = number(parts[0]), kt = number(parts[1]);
    if (!dir || !kt || *kt < 0) return false;
    c.windFromDeg = *dir;
    c.windSpeedKt = *kt;
    return true;
}

bool parseTime(const std::string& text, sim::FlightModelConfig& c) {
    int y, mo, d, h, mi;
    char tail;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d%c", &y, &mo, &d, &h, &mi, &tail) != 5) return false;
    if (y < 1 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > sim::DaysInMonth(y, mo) || h < 0 || h > 23 || mi < 0 || mi > 59)
        return false;
    c.utcDate = sim::SimDate{y, mo, d, h, mi};
    return true;
}

std::optional<sim::NavStation> parseStation(const std::string& text) {
    const auto parts = split(text, ',');
    if (parts.size() != 2 && parts.size() != 3) return std::nullopt;
    const auto lat = number(parts[0]), lon = number(parts[1]);
    if (!lat || !lon || *lat < -90 || *lat > 90 || *lon < -180 || *lon > 180) return std::nullopt;
    sim::NavStation s;
    s.latitudeDeg = *lat;
    s.longitudeDeg = *lon;
    if (parts.size() == 3) {
        const auto crs = number(parts[2]);
        if (!crs) return std::nullopt;
        s.localizerCourseDegMag = *crs;
    }
    return s;
}

}  // namespace

void AddServerOptions(CLI::App& cmd, ServerOptions& o) {
    cmd.add_option("--lat", o.latDeg, "Start latitude, degrees (north positive)")->check(CLI::Range(-89.9, 89.9));
    cmd.add_option("--lon", o.lonDeg, "Start longitude, degrees (east positive)")->check(CLI::Range(-180.0, 180.0));
    cmd.add_option("--alt", o.altFt, "Start altitude, feet")->check(CLI::Range(-1000.0, 60000.0));
    cmd.add_option("--hdg", o.hdgDeg, "Start true heading, degrees")->check(CLI::Range(0.0, 360.0));
    cmd.add_option("--ias", o.iasKt, "Start indicated airspeed, knots")->check(CLI::Range(0.0, 600.0));
    cmd.add_option("--wind", o.wind, "Wind DIR/KT (from, true degrees / knots)");
    cmd.add_option("--elev", o.elevFt, "Field elevation, feet")->check(CLI::Range(-1000.0, 20000.0));
    cmd.add_option("--time", o.time, "Simulator UTC date and time, YYYY-MM-DDTHH:MM");
    cmd.add_option("--rate", o.rate, "Time factor")->check(CLI::Range(0.0, 64.0));
    cmd.add_option("--nav1", o.nav1, "NAV1 station LAT,LON[,CRS] (a course makes it a localizer)");
    cmd.add_option("--nav2", o.nav2, "NAV2 station LAT,LON[,CRS]");
    cmd.add_flag("--quiet", o.quiet, "No status line");
}

std::optional<sim::DataServerOptions> ToDataServerOptions(const ServerOptions& o, std::string& error) {
    sim::DataServerOptions options;
    sim::FlightModelConfig& c = options.model;
    c.latitudeDeg = o.latDeg;
    c.longitudeDeg = o.lonDeg;
    c.altitudeFt = o.altFt;
    c.trueHeadingDeg = o.hdgDeg;
    c.iasKt = o.iasKt;
    c.fieldElevationFt = o.elevFt;
    c.timeFactor = o.rate;
    // The variation of the FMS's own grid at the start point, so both sides agree on magnetic.
    c.magneticVariationDeg = MagneticVariation(static_cast<float>(o.latDeg), static_cast<float>(o.lonDeg));
    c.variationAt = [](double lat, double lon) { return MagneticVariation(static_cast<float>(lat), static_cast<float>(lon)); };
    if (!o.wind.empty() && !parseWind(o.wind, c)) {
        error = "--wind wants DIR/KT, got '" + o.wind + "'";
        return std::nullopt;
    }
    if (!o.time.empty() && !parseTime(o.time, c)) {
        error = "--time wants YYYY-MM-DDTHH:MM, got '" + o.time + "'";
        return std::nullopt;
    }
    for (auto [text, slot, name] : {std::tuple{&o.nav1, &c.nav1, "--nav1"}, std::tuple{&o.nav2, &c.nav2, "--nav2"}}) {
        if (text->empty()) continue;
        *slot = parseStation(*text);
        if (!*slot) {
            error = std::string(name) + " wants LAT,LON[,CRS], got '" + *text + "'";
            return std::nullopt;
        }
    }
    std::error_code ec;
    options.identity.simulatorPath =
        std::filesystem::current_path(ec).string() + static_cast<char>(std::filesystem::path::preferred_separator);
    options.identity.aircraftFilePath = "SimObjects\\Airplanes\\Halvex Zolan\\Halvex Zolan.air";
    return options;
}

std::string StatusLine(const sim::AircraftSnapshot& s, const sim::AutopilotInputs& ap) {
    char line[400];
    std::string holds;
    if (ap.headingHold) holds += " HDG";
    if (ap.navHold) holds += " NAV";
    if (ap.approachHold) holds += " APR";
    if (ap.altitudeHold) holds += " ALT";
    if (ap.airspeedHold) holds += " SPD";
    if (holds.empty()) holds = " -";
    std::snprintf(line, sizeof line,
                  "%04d-%02d-%02d %02d:%02d:%02dZ  %c%.4f %c%.4f  ALT %.0f RA %.0f VS %+.0f  HDG %03.0f TRK %03.0f  "
                  "IAS %.0f TAS %.0f GS %.0f  AP %s FD %s%s  BUG %03.0f ALT %.0f VS %.0f IAS %.0f",
                  s.utcYear, s.month, s.dayOfMonth, s.utcHour, s.utcMinute, s.utcSecond, s.latitudeDeg < 0 ? 'S' : 'N',
                  std::abs(s.latitudeDeg), s.longitudeDeg < 0 ? 'W' : 'E', std::abs(s.longitudeDeg), s.altitudeFt,
                  s.radioAltitudeFt, s.verticalSpeedFpm, s.trueHeadingDeg, s.groundTrackDegTrue, s.iasKt, s.tasKt,
                  s.groundSpeedKt, ap.master ? "ON" : "OFF", ap.flightDirector ? "ON" : "OFF", holds.c_str(),
                  ap.headingBugDegMag, ap.targetAltitudeFt, ap.targetVerticalSpeedFpm, ap.targetIasKt);
    return line;
}

}  // namespace halvex::cli
