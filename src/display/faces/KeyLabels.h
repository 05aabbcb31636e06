// KeyLabels: the CDU's function-key labels, read from the page script's KEY_LABELS table by
// running the script's top level in a Squirrel engine of its own (no page function is called).
#pragma once

#include <string>

#include "display/faces/Faces.h"

namespace halvex::faces {

// The function keys -10..-19 and -1..-4 the face labels. Keys the table lacks are left out;
// a script that does not run gives an empty map.
KeyLabels ReadKeyLabels(const std::string& scriptPath);

}  // namespace halvex::faces
