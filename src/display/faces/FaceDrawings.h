// FaceDrawings: one painter per face, each drawing at the face's own pixel size.
#pragma once

#include "display/faces/Faces.h"

typedef struct _cairo cairo_t;

namespace halvex::faces {

// Every annunciator image has this size.
constexpr int kAnnunciatorWidth = 44;
constexpr int kAnnunciatorHeight = 14;

void PaintCduFace(cairo_t* cr, const KeyLabels& labels);  // 8
void PaintEhsiFace(cairo_t* cr);                         // 118
void PaintAutopilotPanel(cairo_t* cr);                   // 9
void PaintAnnunciator(cairo_t* cr, int id);              // 10, 11, 12, 109-116 (lit)
void PaintLnavToggle(cairo_t* cr, bool lit);             // 2, 122
void PaintLnavButton(cairo_t* cr, bool lit);             // 125, 124
void PaintCoreIcon(cairo_t* cr);                         // 117
void PaintStartupPicture(cairo_t* cr);                   // 121

}  // namespace halvex::faces
