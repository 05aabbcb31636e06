// The flight plot: north up, true to scale in both directions, the track beside the plan.
#include <gtest/gtest.h>

#include <cmath>

#include "PixelProbe.h"
#include "display/TrackPlot.h"

namespace halvex {

namespace {

GeoPoint at(double latDeg, double lonDeg) {
    return MakeSurfacePoint(static_cast<float>(latDeg / RadToDeg), static_cast<float>(lonDeg / RadToDeg));
}

probe::Box colourBox(DeviceContext dc, uint32_t argb) {
    probe::Box b;
    for (int y = 0; y < ContextHeight(dc); ++y)
        for (int x = 0; x < ContextWidth(dc); ++x)
            if (probe::Near(PixelAt(dc, x, y), argb, 40)) {
                ++b.count;
                b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y), b.x1 = std::max(b.x1, x), b.y1 = std::max(b.y1, y);
            }
    return b;
}

}  // namespace

TEST(TrackPlot, NorthIsUpDistancesKeepTheirScaleAndTheTrackShowsBesideThePlan) {
    // A, then 30 nm north to B, then 30 nm east to C, at 60 degrees north where a degree of
    // longitude is half a degree of latitude long.
    const double lat = 60, lon = 10, dLat = 0.5, dLon = 0.5 / std::cos(60 * M_PI / 180);
    TrackPlotData data;
    data.planned = {{at(lat, lon), "ALPHA"}, {at(lat + dLat, lon), "BRAVO"}, {at(lat + dLat, lon + dLon), "CHARLIE"}};
    for (int i = 0; i <= 20; ++i) data.flown.push_back(at(lat + dLat * i / 20, lon + dLon * 0.05));  // 1.5 nm east
    DeviceContext dc = RenderTrackPlot(data, 800, 800);
    const probe::Box plan = colourBox(dc, kPlotPlanned);
    ASSERT_FALSE(plan.Empty());
    const int width = plan.x1 - plan.x0, height = plan.y1 - plan.y0;
    EXPECT_NEAR(static_cast<double>(width) / height, 1.0, 0.05);  // 30 nm either way
    // The fullest column is the A-B leg, the fullest row the B-C leg.
    int legX = 0, legY = 0, bestColumn = 0, bestRow = 0;
    for (int i = plan.x0; i <= plan.x1; ++i) {
        const int n = probe::CountNear(dc, i, plan.y0, 1, height + 1, kPlotPlanned, 40);
        if (n > bestColumn) bestColumn = n, legX = i;
    }
    for (int j = plan.y0; j <= plan.y1; ++j) {
        const int n = probe::CountNear(dc, plan.x0, j, width + 1, 1, kPlotPlanned, 40);
        if (n > bestRow) bestRow = n, legY = j;
    }
    EXPECT_LT(legX - plan.x0, 10);  // A-B is the vertical on the left
    EXPECT_LT(legY - plan.y0, 10);  // B-C the horizontal at the top
    EXPECT_GT(bestColumn, height * 8 / 10);
    EXPECT_GT(bestRow, width * 8 / 10);
    EXPECT_EQ(probe::CountNear(dc, plan.x0 + width / 3, plan.y1 - 12, width / 3, 12, kPlotPlanned, 60), 0);
    // The track runs just east of the first leg.
    const probe::Box track = colourBox(dc, kPlotFlown);
    ASSERT_FALSE(track.Empty());
    EXPECT_GT(track.x0, legX + 1);
    EXPECT_LT(track.x1, plan.x0 + width / 10);
    // The scale bar is a round number of nautical miles at the plan's own scale.
    int bar = 0;
    for (int x = 0; x < 800; ++x) bar += PixelAt(dc, x, 800 - 23) == 0xFF000000u;
    const double barNm = bar * 30.0 / height;
    const double power = std::pow(10.0, std::floor(std::log10(barNm)));
    const double mantissa = barNm / power;
    EXPECT_TRUE(std::fabs(mantissa - 1) < 0.06 || std::fabs(mantissa - 2) < 0.1 || std::fabs(mantissa - 5) < 0.25 ||
                std::fabs(mantissa - 10) < 0.5)
        << barNm;
    FreeDeviceContext(dc);
}

TEST(TrackPlot, DateLineNanAndEmptyInputStillDraw) {
    TrackPlotData data;
    data.planned = {{at(10, 179.5), "WEST"}, {at(10, -179.5), "EAST"}};
    GeoPoint bad = at(0, 0);
    bad.lat = std::nanf("");
    data.flown = {bad, at(10, 179.6), at(10, -179.6)};
    DeviceContext dc = RenderTrackPlot(data, 400, 300);
    const probe::Box plan = colourBox(dc, kPlotPlanned);
    ASSERT_FALSE(plan.Empty());
    EXPECT_LT(plan.x1 - plan.x0, 400 - 2 * 60 + 12);  // one short leg across the line, not around the world
    FreeDeviceContext(dc);
    DeviceContext empty = RenderTrackPlot(TrackPlotData{}, 0, -5);
    EXPECT_EQ(ContextWidth(empty), 1);
    FreeDeviceContext(empty);
}

}  // namespace halvex
