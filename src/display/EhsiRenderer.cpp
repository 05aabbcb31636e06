#include "display/EhsiRenderer.h"

#include "display/EhsiLayers.h"
#include "display/EhsiValues.h"

namespace halvex {

EhsiRenderer::EhsiRenderer(EhsiSource& source)
    : source_(source), surface_(kSize, kSize, true, true, Interpolation::HighQualityBilinear) {
    surface_.SetOrigin(kOrigin, kOrigin);
    surface_.SetSize(kSize, kSize);
    rebuildLayers();
}

int32_t EhsiRenderer::PopCode() {
    if (pending_.empty()) return 0;
    const int32_t code = pending_.front();
    pending_.pop_front();
    return code;
}

int EhsiRenderer::Update() {
    while (HasCodes()) {
        apply(PopCode());
        rebuildLayers();  // after every code, whatever it was
    }
    return 0;
}

void EhsiRenderer::apply(int32_t code) {
    auto next = [](EhsiSourceId s) { return static_cast<EhsiSourceId>((static_cast<int32_t>(s) + 1) % 3); };
    switch (code) {
        case kNavButton: mainSource_ = next(mainSource_); break;
        case kMapButton: mapStyle_ = !mapStyle_; break;
        case kBrgButton: pointer1Source_ = next(pointer1Source_); break;
        case kRangeUp: rangeNm_ = rangeNm_ < 5 ? 5 : (rangeNm_ * 2 > kMaxRangeNm ? kMaxRangeNm : rangeNm_ * 2); break;
        case kRangeDown: rangeNm_ = rangeNm_ > 5 ? rangeNm_ * 0.5f : 1; break;
        case kCourseDown: turnCourseKnob(-1); break;
        case kCourseUp: turnCourseKnob(+1); break;
        case kHeadingDown: turnHeadingKnob(-1); break;
        case kHeadingUp: turnHeadingKnob(+1); break;
        default: break;  // VUE, the knobs' middle buttons and unknown codes do nothing
    }
}

// One degree either way, wrapping at 0 and 359. A reading outside 0-359 is brought into it
// first, so the knob always turns to a valid course.
static int32_t stepWrapped(float readingDeg, int step) {
    int32_t c = ehsi::Truncate(readingDeg) % 360;
    if (c < 0) c += 360;
    c += step;
    if (c < 0) c += 360;
    return c % 360;
}

void EhsiRenderer::turnCourseKnob(int step) {
    if (mainSource_ == EhsiSourceId::Fms) return;  // the FMS course is not the pilot's to set
    const NavRadio radio = mainSource_ == EhsiSourceId::Nav1 ? NavRadio::Nav1 : NavRadio::Nav2;
    source_.SetNavCourseDeg(radio, static_cast<float>(stepWrapped(source_.NavCourseDeg(radio), step)));
}

void EhsiRenderer::turnHeadingKnob(int step) {
    source_.SetHeadingBugDeg(static_cast<float>(stepWrapped(source_.HeadingBugDeg(), step)));
}

void EhsiRenderer::rebuildLayers() {
    layers_.clear();
    layers_.push_back(mapStyle_ ? ehsi::MakePlanMapLayer() : ehsi::MakeCoursePointerLayer());
    layers_.push_back(ehsi::MakeBearingPointer2Layer());
    layers_.push_back(ehsi::MakeBearingPointer1Layer());
    layers_.push_back(ehsi::MakeMainTextBlockLayer());
    layers_.push_back(ehsi::MakePointer1TextBlockLayer());
    layers_.push_back(ehsi::MakeCompassRoseLayer());
    layers_.push_back(ehsi::MakeLateralScaleLayer());
    layers_.push_back(ehsi::MakeVerticalScaleLayer());
    layers_.push_back(ehsi::MakeHeadingBugLayer());
}

int EhsiRenderer::Draw() {
    surface_.Clear();
    for (const std::shared_ptr<EhsiLayer>& layer : layers_) {
        layer->Paint(surface_, *this);
        surface_.ResetTransform();
    }
    surface_.Present();
    return 0;
}

}  // namespace halvex
