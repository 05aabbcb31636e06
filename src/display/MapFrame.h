// MapFrame: places earth points on a heading-up map centred on the aircraft: the frame of the
// heading direction, the side direction and the radial direction at the aircraft.
#pragma once

#include "display/DrawSurface.h"
#include "navdb/Geodesy.h"

namespace halvex {

class MapFrame {
public:
    // pixelsPerNm from the map's range; centre is the aircraft's screen point.
    MapFrame(const GeoPoint& aircraft, float trueHeadingDeg, float pixelsPerNm, PointF centre);

    // The point's screen position. Points more than a quarter of the earth away, where the
    // flat frame would fold them back onto the map, go out along their own direction at their
    // great-circle distance. False for a point that cannot be placed (non-finite, or the
    // aircraft's antipode, which has no direction).
    bool Place(const GeoPoint& p, PointF& out) const;
    bool Valid() const { return valid_; }

private:
    double ax_ = 0, ay_ = 0, az_ = 0;        // aircraft, Cartesian nm
    double hx_ = 0, hy_ = 0, hz_ = 0;        // heading direction (unit)
    double sx_ = 0, sy_ = 0, sz_ = 0;        // side direction, to the right of the heading (unit)
    double rx_ = 0, ry_ = 0, rz_ = 0;        // radial direction (unit)
    double scale_ = 1;
    PointF centre_;
    bool valid_ = false;
};

// Cuts the segment a-b to the rectangle [x0, x1] x [y0, y1]; false when nothing is left.
bool ClipSegment(PointF& a, PointF& b, float x0, float y0, float x1, float y1);

}  // namespace halvex
