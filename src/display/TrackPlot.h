// TrackPlot: the planned legs and the flown track on one north-up map with waypoint names and
// a scale bar, the picture a pilot reads a flight from.
#pragma once

#include <string>
#include <vector>

#include "display/DeviceContext.h"
#include "navdb/Geodesy.h"

namespace halvex {

struct PlotWaypoint {
    GeoPoint point;
    std::string name;
};

struct TrackPlotData {
    std::vector<PlotWaypoint> planned;  // in flying order; a leg joins each to the next
    std::vector<GeoPoint> flown;        // the aircraft's positions, in time order
    std::string title;
};

// Colours of the plot (opaque ARGB), for readers of the picture.
constexpr uint32_t kPlotPlanned = 0xFFC000C0;
constexpr uint32_t kPlotFlown = 0xFF0060E0;

// The plot on a new context of the given size (the caller frees it). Points that are not finite
// are left out; with nothing to show the map is empty but still drawn.
DeviceContext RenderTrackPlot(const TrackPlotData& data, int widthPx, int heightPx);
bool WriteTrackPlot(const TrackPlotData& data, const std::string& path, int widthPx = 1000, int heightPx = 800);

}  // namespace halvex
