// Faces: the gauge face bitmaps, drawn by our own code: the CDU, the EHSI, the autopilot panel
// with its annunciators, the LNAV toggle and button with their lit states, the core's icon and
// the start-up picture. Ids and sizes are those the gauges name.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "display/DeviceContext.h"

namespace halvex::faces {

// Key code -> label, as the CDU page script names its function keys.
using KeyLabels = std::map<int, std::string>;

struct FaceInfo {
    int id;
    int width;
    int height;
    int bitsPerPixel;  // of the resource bitmap: 8, or 4 for the icon
    const char* what;
};

const std::vector<FaceInfo>& AllFaces();
const FaceInfo* FindFace(int id);

// The face drawn at scale times its size; null for an unknown id. The caller frees it.
DeviceContext RenderFace(int id, double scale, const KeyLabels& labels);

}  // namespace halvex::faces
