// Element trees of the six gauges: one background image each; the AP85 hangs its eleven
// annunciators off the background as a chain, each the only child of the one before; the two LNAV
// lamps have their lit picture as a hidden child.
#include "gauge/GaugeRecords.h"

namespace halvex::gauge {
namespace {

HalvexElement Image(uint32_t bitmapId, int32_t x, int32_t y, uint32_t flags) {
    return HalvexElement{HALVEX_ELEMENT_STATIC_IMAGE, bitmapId, x, y, nullptr, flags, 0, 0, nullptr};
}

constexpr uint32_t kChildFlags = HALVEX_IMAGE_HIDDEN;

HalvexElement fmsCoreBackground = Image(kFmsCoreIcon, 0, 0, HALVEX_IMAGE_BACKGROUND);
HalvexElement cduBackground = Image(kCduFace, 0, 0, HALVEX_IMAGE_BACKGROUND);
HalvexElement ehsiBackground = Image(kEhsiFace, 0, 0, HALVEX_IMAGE_BACKGROUND);

// AP85: chain positions 1 to 11, in the order the annunciator logic counts them.
struct AnnunciatorPlace {
    uint32_t bitmapId;
    int32_t x, y;
};
constexpr AnnunciatorPlace kAnnunciators[kAnnunciatorCount] = {
    {10, 50, 4},   {11, 51, 77},   {12, 110, 4},  {109, 120, 77}, {116, 165, 4}, {115, 176, 77},
    {114, 232, 4}, {113, 234, 77}, {112, 289, 4}, {111, 347, 4},  {110, 404, 4},
};

HalvexElement ap85Background = Image(kAp85Face, 0, 0, HALVEX_IMAGE_BACKGROUND);
HalvexElement annunciators[kAnnunciatorCount];
HalvexElement* annunciatorLinks[kAnnunciatorCount][2];  // each element's child list

HalvexElement lnavToggleLit = Image(kLnavToggleLit, 0, 0, kChildFlags | HALVEX_IMAGE_OPAQUE);
HalvexElement* lnavToggleChildren[] = {&lnavToggleLit, nullptr};
HalvexElement lnavToggleBackground = Image(kLnavToggleFace, 0, 0, HALVEX_IMAGE_OPAQUE);

HalvexElement lnavButtonLit = Image(kLnavButtonLit, 0, 0, kChildFlags);
HalvexElement* lnavButtonChildren[] = {&lnavButtonLit, nullptr};
HalvexElement lnavButtonBackground = Image(kLnavButtonFace, 0, 0, HALVEX_IMAGE_BACKGROUND);

// Links the trees once, before any host can read them.
struct TreeLinker {
    TreeLinker() {
        for (int i = 0; i < kAnnunciatorCount; ++i) {
            const AnnunciatorPlace& place = kAnnunciators[i];
            annunciators[i] = Image(place.bitmapId, place.x, place.y, kChildFlags);
            annunciatorLinks[i][0] = &annunciators[i];
            annunciatorLinks[i][1] = nullptr;
        }
        ap85Background.children = annunciatorLinks[0];
        for (int i = 0; i + 1 < kAnnunciatorCount; ++i) annunciators[i].children = annunciatorLinks[i + 1];
        lnavToggleBackground.children = lnavToggleChildren;
        lnavButtonBackground.children = lnavButtonChildren;
    }
} treeLinker;

}  // namespace

HalvexElement* FmsCoreBackground() { return &fmsCoreBackground; }
HalvexElement* CduBackground() { return &cduBackground; }
HalvexElement* Ap85Background() { return &ap85Background; }
HalvexElement* EhsiBackground() { return &ehsiBackground; }
HalvexElement* LnavToggleBackground() { return &lnavToggleBackground; }
HalvexElement* LnavButtonBackground() { return &lnavButtonBackground; }
HalvexElement* Ap85Annunciator(int position) { return &annunciators[position - 1]; }

}  // namespace halvex::gauge
