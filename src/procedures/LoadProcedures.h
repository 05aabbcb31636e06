// Loading one airport's procedure file into a ProcedureBlock: read, tokenise, parse, assemble,
// run.
#pragma once

#include <cstdint>
#include <string_view>

#include "navdb/NavDatabase.h"
#include "procedures/ProcedureBlock.h"

namespace halvex {

// Reads "PMDG/SIDSTARS/" + airportIdent + ".txt" relative to the working directory and fills the
// block (emptied first). 0 on success; -1 when the file does not open, holds fewer than two
// lines, the ident could leave that folder, or loading throws. On -1 the block is left empty.
int32_t LoadProcedures(const NavDatabase& database, ProcedureBlock& block, std::string_view airportIdent);

// The same from the file's bytes (tests, fuzzing, benchmarks).
int32_t LoadProceduresFromText(const NavDatabase& database, ProcedureBlock& block, std::string_view airportIdent,
                               std::string_view fileBytes);

}  // namespace halvex
