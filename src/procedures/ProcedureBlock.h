// One airport's loaded procedures: its local fixes and its SIDs, STARs and approaches, each made
// of leg lists whose legs are flight-plan entries.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fms/WaypointEntry.h"
#include "navdb/NavRecords.h"

namespace halvex {

struct LegList {
    std::vector<WaypointEntry> legs;
    std::string name;  // transition name; empty for common and runway parts
    std::array<int32_t, 10> planSlots{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};  // the flight plan's
    int32_t planCounter = 0;                                                     // the flight plan's
};

enum class ProcedureType : int32_t { Sid = 1, StarOrApproach = 2 };

struct ProcedureRecord {
    std::vector<LegList> runwayParts;
    std::vector<LegList> commonParts;
    std::vector<LegList> transitions;  // in file order
    std::vector<LegList> extraLegs;    // filled by no statement
    std::vector<int32_t> runways;      // runway indexes within the airport, as runway legs are stored
    std::string name;
    int32_t type = 0;  // a ProcedureType
};

// What NavWaypoint cannot hold about a local fix: its whole name (idents there stop at five
// characters) and whether its position came from geometry (COLOCATED) rather than the file.
struct LocalFixNote {
    std::string name;
    bool byGeometry = false;
};

struct ProcedureBlock {
    std::string airportIdent;  // first four characters of the file name
    std::vector<NavWaypoint> fixes;  // local fixes, kind 0
    std::vector<ProcedureRecord> sids;
    std::vector<ProcedureRecord> stars;
    std::vector<ProcedureRecord> approaches;
    std::vector<LocalFixNote> fixNotes;  // beside fixes, same order
};

}  // namespace halvex
