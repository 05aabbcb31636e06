// The map style: active (and, while editing, modified) plan around the aircraft, heading up,
// with the vertical path's marked points and the aircraft symbol.
#include <vector>

#include "display/EhsiLayers.h"
#include "display/EhsiValues.h"
#include "display/MapFrame.h"

namespace halvex::ehsi {

namespace {

constexpr int kNameLength = 10;
// Symbols and legs beyond this margin around the picture cannot show; they are skipped or cut.
constexpr float kMarginPx = 64;
constexpr float kLow = -kMarginPx, kHigh = EhsiRenderer::kSize + kMarginPx;

bool onPicture(PointF p) { return p.x >= kLow && p.x <= kHigh && p.y >= kLow && p.y <= kHigh; }

class PlanMapLayer : public EhsiLayer {
public:
    void Paint(DrawSurface& s, EhsiRenderer& r) override {
        EhsiSource& src = r.Source();
        const float range = r.RangeNm();
        const MapFrame frame(src.AircraftPoint(), src.TrueHeadingDeg(), kCentre / range, {kCentre, kCentre});
        if (frame.Valid()) {
            if (src.Modifying()) {
                src.ModifiedPlan(entries_);
                drawPlan(s, frame, true);
            }
            src.ActivePlan(entries_);
            drawPlan(s, frame, false);
            drawPathMarks(s, frame, src);
        }
        s.ResetTransform();
        const PointF aircraft[] = {{192, 192}, {187, 212}, {197, 212}};
        s.DrawPolygon(Pen{kGreen, 2}, aircraft, 3);
    }

private:
    void drawPlan(DrawSurface& s, const MapFrame& frame, bool dashed) {
        PointF previous{};
        bool previousPlaced = false;
        for (size_t i = 0; i < entries_.size(); ++i) {
            const EhsiPlanEntry& e = entries_[i];
            const uint32_t colour = i < 2 ? kRed : kWhite;
            const Pen pen{colour, 2, dashed};
            PointF here{};
            const bool placed = frame.Place(e.point, here);
            if (placed && e.onLegs && onPicture(here)) {
                s.ResetTransform();
                s.Translate(here.x, here.y);
                s.DrawTextAt(e.name.substr(0, kNameLength), FontId::Ehsi20, colour, 10, 0, HAlign::Near);
                static const PointF kStar[] = {{0, 5},  {1.5f, 1.5f},   {5, 0},  {1.5f, -1.5f},
                                               {0, -5}, {-1.5f, -1.5f}, {-5, 0}, {-1.5f, 1.5f}};
                s.DrawPolygon(pen, kStar, 8);
            }
            if (i > 0 && placed && previousPlaced) {
                PointF a = here, b = previous;
                if (ClipSegment(a, b, kLow, kLow, kHigh, kHigh)) {
                    s.ResetTransform();
                    s.DrawLine(pen, a.x, a.y, b.x, b.y);
                }
            }
            previous = here;
            previousPlaced = placed;
        }
    }

    void drawPathMarks(DrawSurface& s, const MapFrame& frame, EhsiSource& src) {
        src.VerticalPathMarks(marks_);
        s.ResetTransform();
        for (const EhsiPathMark& m : marks_) {
            uint32_t colour = 0;
            switch (m.kind) {
                case 1: colour = kMagenta; break;       // EOC
                case 4: colour = kGreen; break;         // TOD
                case 7: case 8: colour = kWhite; break; // BEGIN_RSPD, END_RSPD
                default: continue;
            }
            PointF p{};
            if (frame.Place(m.point, p) && onPicture(p)) s.DrawEllipse(Pen{colour, 2}, p.x - 2, p.y - 2, 4, 4);
        }
    }

    std::vector<EhsiPlanEntry> entries_;
    std::vector<EhsiPathMark> marks_;
};

}  // namespace

std::shared_ptr<EhsiLayer> MakePlanMapLayer() { return std::make_shared<PlanMapLayer>(); }

}  // namespace halvex::ehsi
