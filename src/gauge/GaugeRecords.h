// The module's six gauges as the host sees them: element trees, mouse rectangle tables and the
// records that bind them to their callbacks.
#pragma once

#include "gauge/GaugeHost.h"

namespace halvex::gauge {

// Bitmap ids.
enum BitmapId : uint32_t {
    kLnavToggleFace = 2,
    kCduFace = 8,
    kAp85Face = 9,
    kFmsCoreIcon = 117,
    kEhsiFace = 118,
    kStartupDialog = 119,
    kStartupPicture = 121,
    kLnavToggleLit = 122,
    kLnavButtonLit = 124,
    kLnavButtonFace = 125,
};

inline constexpr int kAnnunciatorCount = 11;

// Elements (each gauge's background is the first element of its list).
HalvexElement* FmsCoreBackground();
HalvexElement* CduBackground();
HalvexElement* Ap85Background();
HalvexElement* EhsiBackground();
HalvexElement* LnavToggleBackground();
HalvexElement* LnavButtonBackground();
// The AP85 annunciator chain, position 1 to 11 at index 0 to 10.
HalvexElement* Ap85Annunciator(int position);

// Mouse rectangle tables, each: parent, children, end of parent, end of table.
HalvexMouseRect* FmsCoreMouseRects();
HalvexMouseRect* CduMouseRects();
HalvexMouseRect* Ap85MouseRects();
HalvexMouseRect* EhsiMouseRects();
HalvexMouseRect* LnavToggleMouseRects();
HalvexMouseRect* LnavButtonMouseRects();

// The gauge callbacks.
uint32_t FmsCoreCallback(HalvexGaugeHeader* gauge, int32_t service, uint32_t extra);
uint32_t CduCallback(HalvexGaugeHeader* gauge, int32_t service, uint32_t extra);
uint32_t Ap85Callback(HalvexGaugeHeader* gauge, int32_t service, uint32_t extra);
uint32_t EhsiCallback(HalvexGaugeHeader* gauge, int32_t service, uint32_t extra);
uint32_t LnavLampCallback(HalvexGaugeHeader* gauge, int32_t service, uint32_t extra);

}  // namespace halvex::gauge
