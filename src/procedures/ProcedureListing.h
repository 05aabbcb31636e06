// Text forms of loaded procedures and of op programs, for the command-line tool and checks.
#pragma once

#include <cstdint>
#include <string>

#include "navdb/NavDatabase.h"
#include "procedures/ProcNode.h"
#include "procedures/ProcedureBlock.h"

namespace halvex {

// The fixed, machine-comparable listing of a load: "LOAD -1" alone for a failed load, else the
// block item by item ending with "END". Every line ends with a line feed.
std::string ProcedureListing(int32_t loadResult, const ProcedureBlock& block, const NavDatabase& database);

// What a pilot checks on a chart: local fixes, then every procedure with its runways, parts and
// legs.
std::string ProcedureReport(const ProcedureBlock& block, const NavDatabase& database);

// The op program as an indented tree: a node's body one step further in, its next at its level.
std::string ProgramTree(const ProcNode* root);

// "7000", "12.50", "-1": an altitude as the listing prints it.
std::string ListingAltitude(float altitudeFt);

}  // namespace halvex
