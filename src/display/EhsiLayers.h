// EhsiLayers: the EHSI's drawing layers, in the order the renderer paints them.
#pragma once

#include <memory>

#include "display/EhsiRenderer.h"

namespace halvex::ehsi {

std::shared_ptr<EhsiLayer> MakeCoursePointerLayer();  // course-pointer style
std::shared_ptr<EhsiLayer> MakePlanMapLayer();        // map style
std::shared_ptr<EhsiLayer> MakeBearingPointer2Layer();  // double line
std::shared_ptr<EhsiLayer> MakeBearingPointer1Layer();  // single line
std::shared_ptr<EhsiLayer> MakeMainTextBlockLayer();
std::shared_ptr<EhsiLayer> MakePointer1TextBlockLayer();
std::shared_ptr<EhsiLayer> MakeCompassRoseLayer();
std::shared_ptr<EhsiLayer> MakeLateralScaleLayer();
std::shared_ptr<EhsiLayer> MakeVerticalScaleLayer();
std::shared_ptr<EhsiLayer> MakeHeadingBugLayer();

}  // namespace halvex::ehsi
