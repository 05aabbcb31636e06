// RouteFiles: company routes. The active plan is saved as an XML document in the route folder
// and a saved document is loaded into the modified plan.
//
// Document: root FMS_COROUTE; ORIGIN ID=...; DESTINATION ID=...; then one WP per plan entry
// other than the two airports (hidden subdivision points included) with INDEX, ID, RTE (only
// when reached by airway), LAT, LNG (radians), ALT (feet, -1 none), ALT_SFX (ABOVE/BELOW, only
// for those kinds), TYPE (entry kind), VFLAG (1 legs view, 2 route view). Numbers are written
// as single-precision values with seven significant digits. The constraint kind is read from
// ALT_PREFIX, which is never written: a saved ABOVE or BELOW comes back as an at-constraint,
// and files in the field rely on exactly that.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fms/FlightPlan.h"

namespace halvex {

// Relative to the working directory, like every path of the module.
inline constexpr const char* kRouteDirectory = "Gauges/HalvexFmsZolan/Route/";
inline constexpr int kMaxGeneratedRouteNumber = 999;

// A route name is a file name without extension, never a path, valid on every system the file
// may travel to: not empty, no "/", "\\", "..", ":" (drive prefixes), control characters or
// < > " | ? *, no device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an
// extension) and no dot or space at the end.
bool IsRouteName(std::string_view name);

// Saves the active plan. An empty name asks for a generated one: current origin + destination
// + the first free number 1..999 (999 is overwritten when all are taken). The folder is created
// when missing. The previous file of that name survives any failure. The file name used
// (with ".xml"), or nullopt.
std::optional<std::string> SaveRouteFile(FlightPlanSet& plans, std::string_view name,
                                         const std::filesystem::path& directory = kRouteDirectory);
int32_t saveRoute(FlightPlanSet& plans, std::string_view name = {},
                  const std::filesystem::path& directory = kRouteDirectory);  // 0 or -1

// Loads the named route into the modified plan (which becomes the current plan) and
// recomputes it. A file that cannot be used (missing, not XML, wrong root, ORIGIN or
// DESTINATION missing, without attributes, with ID not first, naming an airport the database
// does not know, or a WP latitude or longitude outside the sphere's range) gives -1 and leaves
// both plans as they were. A WP whose attributes do not convert keeps what was read before
// the fault ("ERROR elemToWp" on standard error).
int32_t loadRoute(FlightPlanSet& plans, std::string_view name,
                  const std::filesystem::path& directory = kRouteDirectory);

// Names (without ".xml") of the route files in the folder that start with the prefix, both
// compared without regard to case, sorted. Empty when the folder is missing.
std::vector<std::string> ListRoutes(std::string_view prefix = {},
                                    const std::filesystem::path& directory = kRouteDirectory);

// The generated file name for origin + destination given the listed file names (with
// extension): the first n in 1..999 whose candidate is not a case-insensitive prefix of a
// listed name, compared over the candidate's length; 999 when all are taken.
std::string GeneratedRouteFileName(std::string_view origin, std::string_view destination,
                                   const std::vector<std::string>& listedFileNames);

// The seven-significant-digit number text of LAT, LNG and ALT.
std::string RouteNumberText(float value);

}  // namespace halvex
