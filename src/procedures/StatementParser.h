// The statement parser: one token line to a chain of op nodes.
#pragma once

#include <memory>

#include "procedures/ProcNode.h"
#include "procedures/ProcedureLexer.h"

namespace halvex {

// The statements of the line as one chain along next, in line order; null when the line holds
// no statement. Statements cut short at the end of the line produce nothing (a FIX whose
// altitude is cut short keeps its name). Never reads past the end of the line.
std::unique_ptr<ProcNode> ParseStatement(const TokenLine& tokens);

}  // namespace halvex
