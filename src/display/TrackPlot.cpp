#include "display/TrackPlot.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "display/Fonts.h"

namespace halvex {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kNmPerDegree = 60.0;

void setArgb(cairo_t* cr, uint32_t argb) {
    cairo_set_source_rgb(cr, (argb >> 16 & 0xFF) / 255.0, (argb >> 8 & 0xFF) / 255.0, (argb & 0xFF) / 255.0);
}

bool usable(const GeoPoint& p) { return std::isfinite(p.lat) && std::isfinite(p.lon) && std::fabs(p.lat) <= 1.6f; }

// North-up plane around a reference point: x east and y north in nm, longitudes unwrapped
// across the date line.
struct Plane {
    double lat0 = 0, lon0 = 0, cosLat0 = 1;
    void xy(const GeoPoint& p, double& x, double& y) const {
        double dLon = p.lon - lon0;
        dLon = std::remainder(dLon, 2 * kPi);
        x = dLon * 180 / kPi * kNmPerDegree * cosLat0;
        y = (p.lat - lat0) * 180 / kPi * kNmPerDegree;
    }
};

// A round length near target: 1, 2 or 5 times a power of ten.
double niceLength(double target) {
    if (!(target > 0)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(target)));
    for (double m : {5.0, 2.0, 1.0})
        if (m * power <= target) return m * power;
    return power;
}

void text(cairo_t* cr, const std::string& s, double x, double y, double size, bool bold) {
    cairo_set_font_face(cr, FontSet::Shared().Face(bold));
    cairo_set_font_size(cr, size);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, s.c_str());
    cairo_new_path(cr);  // the text's end is no start for the next shape
}

}  // namespace

DeviceContext RenderTrackPlot(const TrackPlotData& data, int widthPx, int heightPx) {
    DeviceContext dc = NewDeviceContext(widthPx, heightPx);
    const double w = ContextWidth(dc), h = ContextHeight(dc);
    cairo_t* cr = cairo_create(dc);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);

    std::vector<const GeoPoint*> all;
    for (const PlotWaypoint& p : data.planned)
        if (usable(p.point)) all.push_back(&p.point);
    for (const GeoPoint& p : data.flown)
        if (usable(p)) all.push_back(&p);
    Plane plane;
    if (!all.empty()) {
        plane.lat0 = all.front()->lat, plane.lon0 = all.front()->lon;
        plane.cosLat0 = std::max(0.01, std::cos(plane.lat0));
    }
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const GeoPoint* p : all) {
        double x, y;
        plane.xy(*p, x, y);
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    const double margin = 60, spanX = std::max(maxX - minX, 1.0), spanY = std::max(maxY - minY, 1.0);
    const double pxPerNm = std::min((w - 2 * margin) / spanX, (h - 2 * margin) / spanY);
    const double cx = (minX + maxX) / 2, cy = (minY + maxY) / 2;
    auto screen = [&](const GeoPoint& p, double& sx, double& sy) {
        double x, y;
        plane.xy(p, x, y);
        sx = w / 2 + (x - cx) * pxPerNm;
        sy = h / 2 - (y - cy) * pxPerNm;  // north up
    };

    // Planned legs.
    cairo_set_line_width(cr, 3);
    setArgb(cr, kPlotPlanned);
    bool open = false;
    for (const PlotWaypoint& p : data.planned) {
        if (!usable(p.point)) {
            open = false;
            continue;
        }
        double x, y;
        screen(p.point, x, y);
        if (open) cairo_line_to(cr, x, y);
        else cairo_move_to(cr, x, y);
        open = true;
    }
    cairo_stroke(cr);
    // Flown track.
    cairo_set_line_width(cr, 2);
    setArgb(cr, kPlotFlown);
    open = false;
    for (const GeoPoint& p : data.flown) {
        if (!usable(p)) {
            open = false;
            continue;
        }
        double x, y;
        screen(p, x, y);
        if (open) cairo_line_to(cr, x, y);
        else cairo_move_to(cr, x, y);
        open = true;
    }
    cairo_stroke(cr);
    // Waypoints and their names.
    for (const PlotWaypoint& p : data.planned) {
        if (!usable(p.point)) continue;
        double x, y;
        screen(p.point, x, y);
        cairo_arc(cr, x, y, 5, 0, 2 * kPi);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill_preserve(cr);
        setArgb(cr, kPlotPlanned);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        text(cr, p.name.substr(0, 12), x + 8, y - 8, 14, true);
    }
    // Scale bar (bottom left) and north arrow (top right).
    const double barNm = niceLength((w - 2 * margin) / 4 / pxPerNm);
    const double barPx = barNm * pxPerNm, barY = h - 25;
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, 20, barY, barPx, 5);
    cairo_fill(cr);
    char label[32];
    std::snprintf(label, sizeof label, "%g nm", barNm);
    text(cr, label, 20, barY - 6, 13, false);
    cairo_move_to(cr, w - 30, 15);
    cairo_line_to(cr, w - 38, 40);
    cairo_line_to(cr, w - 22, 40);
    cairo_close_path(cr);
    cairo_fill(cr);
    text(cr, "N", w - 35, 56, 14, true);
    if (!data.title.empty()) text(cr, data.title, 20, 24, 16, true);
    cairo_destroy(cr);
    cairo_surface_flush(dc);
    return dc;
}

bool WriteTrackPlot(const TrackPlotData& data, const std::string& path, int widthPx, int heightPx) {
    DeviceContext dc = RenderTrackPlot(data, widthPx, heightPx);
    const bool ok = WritePng(dc, path);
    FreeDeviceContext(dc);
    return ok;
}

}  // namespace halvex
