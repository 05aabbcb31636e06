#include "display/MapFrame.h"

#include <cmath>

namespace halvex {

MapFrame::MapFrame(const GeoPoint& aircraft, float trueHeadingDeg, float pixelsPerNm, PointF centre)
    : scale_(pixelsPerNm), centre_(centre) {
    ax_ = aircraft.x, ay_ = aircraft.y, az_ = aircraft.z;
    const double length = std::sqrt(ax_ * ax_ + ay_ * ay_ + az_ * az_);
    if (!std::isfinite(length) || length <= 0 || !std::isfinite(trueHeadingDeg) || !std::isfinite(pixelsPerNm)) return;
    rx_ = ax_ / length, ry_ = ay_ / length, rz_ = az_ / length;
    const GeoVector h = BearingDirection(aircraft, trueHeadingDeg, true);
    hx_ = h.x, hy_ = h.y, hz_ = h.z;
    // side = radial x heading points to the right of the heading on this sphere's axes.
    sx_ = ry_ * hz_ - rz_ * hy_;
    sy_ = rz_ * hx_ - rx_ * hz_;
    sz_ = rx_ * hy_ - ry_ * hx_;
    const double hl = std::sqrt(hx_ * hx_ + hy_ * hy_ + hz_ * hz_);
    valid_ = std::isfinite(hl) && hl > 0.5;
}

bool MapFrame::Place(const GeoPoint& p, PointF& out) const {
    if (!valid_) return false;
    const double dx = p.x - ax_, dy = p.y - ay_, dz = p.z - az_;
    double side = dx * sx_ + dy * sy_ + dz * sz_;
    double ahead = dx * hx_ + dy * hy_ + dz * hz_;
    if (!std::isfinite(side) || !std::isfinite(ahead)) return false;
    const double radial = p.x * rx_ + p.y * ry_ + p.z * rz_;
    if (radial < 0) {
        const double flat = std::hypot(side, ahead);
        const double pl = std::sqrt(static_cast<double>(p.x) * p.x + static_cast<double>(p.y) * p.y +
                                    static_cast<double>(p.z) * p.z);
        if (flat < 1e-6 * pl || pl <= 0) return false;  // the antipode: every direction at once
        const double arcNm = std::atan2(flat, radial) * pl;  // great-circle distance on its sphere
        side *= arcNm / flat;
        ahead *= arcNm / flat;
    }
    out.x = static_cast<float>(centre_.x + scale_ * side);
    out.y = static_cast<float>(centre_.y - scale_ * ahead);
    return std::isfinite(out.x) && std::isfinite(out.y);
}

bool ClipSegment(PointF& a, PointF& b, float x0, float y0, float x1, float y1) {
    // Liang-Barsky in double precision.
    double t0 = 0, t1 = 1;
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - static_cast<double>(x0), x1 - static_cast<double>(a.x), a.y - static_cast<double>(y0),
                         y1 - static_cast<double>(a.y)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1) return false;
            if (t > t0) t0 = t;
        } else {
            if (t < t0) return false;
            if (t < t1) t1 = t;
        }
    }
    const PointF start{static_cast<float>(a.x + t0 * dx), static_cast<float>(a.y + t0 * dy)};
    const PointF end{static_cast<float>(a.x + t1 * dx), static_cast<float>(a.y + t1 * dy)};
    a = start;
    b = end;
    return true;
}

}  // namespace halvex
