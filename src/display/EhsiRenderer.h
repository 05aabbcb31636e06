// EhsiRenderer: the EHSI display: its 384 x 384 surface, the queue of control codes from the
// gauge's buttons and knobs, the display settings and the ordered layers that paint it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "display/DrawSurface.h"
#include "display/EhsiSource.h"

namespace halvex {

// Navigation sources the display can show.
enum class EhsiSourceId : int32_t { Nav1 = 0, Nav2 = 1, Fms = 2 };

class EhsiRenderer;

class EhsiLayer {
public:
    virtual ~EhsiLayer() = default;
    virtual void Paint(DrawSurface& surface, EhsiRenderer& renderer) = 0;
};

class EhsiRenderer {
public:
    static constexpr int kSize = 384;
    static constexpr float kOrigin = 54;
    static constexpr float kInitialRangeNm = 10.0f;
    static constexpr float kMaxRangeNm = 640.0f;
    // Control codes of the gauge's buttons and knobs.
    enum Code : int32_t {
        kNavButton = 1, kMapButton = 2, kBrgButton = 5, kVueButton = 11, kRangeUp = 12, kRangeDown = 13,
        kCourseDown = 41, kCourseUp = 42, kCoursePush = 43, kHeadingDown = 44, kHeadingUp = 45, kHeadingPush = 46,
    };

    explicit EhsiRenderer(EhsiSource& source);
    virtual ~EhsiRenderer() = default;
    EhsiRenderer(const EhsiRenderer&) = delete;
    EhsiRenderer& operator=(const EhsiRenderer&) = delete;

    virtual int Update();  // applies the pending codes, oldest first
    virtual int Draw();    // clear, paint every layer in order, present
    virtual DrawSurface& Surface() { return surface_; }
    virtual EhsiSource& Source() { return source_; }
    virtual void PushCode(int32_t code) { pending_.push_back(code); }
    virtual int32_t PopCode();  // 0 when empty
    virtual bool HasCodes() const { return !pending_.empty(); }
    virtual void ClearCodes() { pending_.clear(); }

    float RangeNm() const { return rangeNm_; }
    bool MapStyle() const { return mapStyle_; }
    EhsiSourceId MainSource() const { return mainSource_; }
    EhsiSourceId Pointer1Source() const { return pointer1Source_; }
    EhsiSourceId Pointer2Source() const { return pointer2Source_; }
    size_t LayerCount() const { return layers_.size(); }

private:
    void apply(int32_t code);
    void turnCourseKnob(int step);
    void turnHeadingKnob(int step);
    void rebuildLayers();

    EhsiSource& source_;
    DrawSurface surface_;
    std::vector<std::shared_ptr<EhsiLayer>> layers_;
    std::deque<int32_t> pending_;
    float rangeNm_ = kInitialRangeNm;
    bool mapStyle_ = false;  // starts on the course pointer, the display's classic face
    EhsiSourceId mainSource_ = EhsiSourceId::Nav1;
    EhsiSourceId pointer1Source_ = EhsiSourceId::Nav1;
    EhsiSourceId pointer2Source_ = EhsiSourceId::Nav2;  // no control changes it
};

}  // namespace halvex
