// The interpreter: runs an assembled op program against the navigation database and fills a
// ProcedureBlock.
#pragma once

#include <cstdint>

#include "navdb/NavDatabase.h"
#include "procedures/ProcNode.h"
#include "procedures/ProcedureBlock.h"

namespace halvex {

// -1 (and nothing done) when block.airportIdent is empty, else 0. The block's airportIdent
// names the airport whose runways the program's runway legs and nearest-fix choices use.
int32_t RunProgram(ProcedureBlock& block, const NavDatabase& database, const ProcNode* root);

}  // namespace halvex
