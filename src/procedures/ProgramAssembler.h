// The file assembler: every line's statements linked into one program tree, then the SID and
// approach fix-up passes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "procedures/ProcNode.h"

namespace halvex {

// Program layout: the root is the first section op; sections follow along next. A section's
// body is its first group, groups follow along next, and each group's body is one line's chain
// of statements (a declaration's group holds its declaration line; the lines of its parts follow
// as groups of their own). Lines before the first section belong to no section and are dropped.
std::unique_ptr<ProcNode> AssembleProgram(const std::vector<std::string>& lines);

// The name a FIX or NAVAID op carries ("" for other nodes).
const std::string& FixOpName(const ProcNode& op);

}  // namespace halvex
