// A scenario: what a pilot does at the panel, one timed event per line.
//   at SECONDS keys KEY...                          CDU keys by name (as halvex-fms cdu takes them)
//   at SECONDS click GAUGE X Y [left|middle|wheelup|wheeldown]
//                                                   a mouse event at a gauge's background pixel
//   at SECONDS snapshot FILE.png                    the whole panel picture
//   at SECONDS screen FILE.txt                      the CDU screen as text
// Blank lines and lines starting with '#' are ignored.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace halvex::panel {

struct ScenarioEvent {
    enum class Kind { Keys, Click, Snapshot, Screen };
    double atSeconds = 0;
    Kind kind = Kind::Keys;
    std::vector<int32_t> keyCodes;  // Keys
    std::string gauge;              // Click
    double x = 0, y = 0;            // Click, background-bitmap pixels
    uint32_t mouseFlags = 0;        // Click
    std::string file;               // Snapshot, Screen
    int line = 0;                   // where it stands in the file
};

// The events in time order (events at the same time keep their file order). Nothing, with the
// line number and the reason in error, when a line is not a valid event.
std::optional<std::vector<ScenarioEvent>> ParseScenario(std::istream& in, std::string& error);

}  // namespace halvex::panel
