// The fixed deviation scales: lateral along the bottom, vertical on the right.
#include <cmath>
#include <cstdio>

#include "display/EhsiLayers.h"
#include "display/EhsiValues.h"

namespace halvex::ehsi {

namespace {

constexpr float kVerticalFeetToNeedle = 0.254f;  // 500 ft of deviation is full scale
constexpr float kDeviationTextFt = 500.0f;

class LateralScaleLayer : public EhsiLayer {
public:
    void Paint(DrawSurface& s, EhsiRenderer& r) override {
        const float needle = LateralNeedle(r.Source(), r.MainSource());
        const Pen dots{kWhite, 2};
        for (int k = 0; k < 5; ++k) s.DrawEllipse(dots, 99.0f + 45.0f * k, 370, 6, 6);
        const float x = NeedleOffsetPx(needle) + kCentre;
        s.DrawLine(Pen{kGreen, 8}, x, 350, x, 380);
    }
};

class VerticalScaleLayer : public EhsiLayer {
public:
    void Paint(DrawSurface& s, EhsiRenderer& r) override {
        EhsiSource& src = r.Source();
        float needle = 0;
        if (r.MainSource() == EhsiSourceId::Fms) {
            const int32_t phase = src.VerticalPhase();
            if (phase == 0 || phase == 1 || phase == 5) return;  // no vertical path to follow
            const float deviationFt = src.VerticalDeviationFt();
            needle = Clamp127(deviationFt * kVerticalFeetToNeedle);
            if (std::isfinite(deviationFt) && std::fabs(deviationFt) > kDeviationTextFt) {
                char text[48];
                std::snprintf(text, sizeof text, "%.0f", static_cast<double>(deviationFt));
                s.DrawTextAt(text, FontId::Ehsi20Bold, kWhite, 360, deviationFt > 0 ? 304.0f : 80.0f, HAlign::Centre);
            }
        } else {
            const NavRadio radio = r.MainSource() == EhsiSourceId::Nav1 ? NavRadio::Nav1 : NavRadio::Nav2;
            if (!src.NavGlideslopeValid(radio)) return;
            needle = src.NavVerticalNeedle(radio);
        }
        const float y = NeedleOffsetPx(needle) + kCentre;
        s.DrawLine(Pen{kGreen, 8}, 360, y, 380, y);
        const Pen dots{kWhite, 2};
        for (int k = 0; k < 5; ++k) s.DrawEllipse(dots, 370, 99.0f + 45.0f * k, 6, 6);
    }
};

}  // namespace

std::shared_ptr<EhsiLayer> MakeLateralScaleLayer() { return std::make_shared<LateralScaleLayer>(); }
std::shared_ptr<EhsiLayer> MakeVerticalScaleLayer() { return std::make_shared<VerticalScaleLayer>(); }

}  // namespace halvex::ehsi
