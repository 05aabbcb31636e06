#include "display/EhsiValues.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace halvex::ehsi {

uint32_t ColourOf(EhsiSourceId s) {
    switch (s) {
        case EhsiSourceId::Nav1: return kGreen;
        case EhsiSourceId::Nav2: return kYellow;
        case EhsiSourceId::Fms: return kCyan;
    }
    return kWhite;
}

const char* NameOf(EhsiSourceId s) {
    switch (s) {
        case EhsiSourceId::Nav1: return "NAV1";
        case EhsiSourceId::Nav2: return "NAV2";
        case EhsiSourceId::Fms: return "FMS";
    }
    return "";
}

float Normalise(float a) {
    if (!std::isfinite(a)) return 0;
    if (a >= 0 && a <= 360) return a;
    // A remainder instead of repeated steps: a wild reading must not take forever.
    float r = std::fmod(a, 360.0f);
    if (r < 0) r += 360.0f;
    return r >= 360.0f ? 0.0f : r;
}

int32_t Truncate(float v) {
    if (!std::isfinite(v)) return 0;
    if (v >= 2147483520.0f) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

float Clamp127(float n) {
    if (!std::isfinite(n)) return 0;
    return n < -127 ? -127 : n > 127 ? 127 : n;
}

std::string ThreeDigits(int32_t d) {
    char text[16];
    if (d == 0) return "360";
    if (d >= 1 && d <= 9) std::snprintf(text, sizeof text, "00%d", d);
    else if (d >= 10 && d <= 99) std::snprintf(text, sizeof text, "0%d", d);
    else std::snprintf(text, sizeof text, "%d", d);
    return text;
}

float MagneticHeading(EhsiSource& src) { return src.TrueHeadingDeg() - src.MagneticVariationDeg(); }

float RelativeBearing(EhsiSource& src, EhsiSourceId s) {
    switch (s) {
        case EhsiSourceId::Nav1: return src.NavRelativeBearingDeg(NavRadio::Nav1);
        case EhsiSourceId::Nav2: return src.NavRelativeBearingDeg(NavRadio::Nav2);
        case EhsiSourceId::Fms: return src.CourseToToDeg() - src.TrueHeadingDeg();  // both true
    }
    return 0;
}

float DistanceNm(EhsiSource& src, EhsiSourceId s) {
    switch (s) {
        case EhsiSourceId::Nav1: return src.NavDistanceNm(NavRadio::Nav1);
        case EhsiSourceId::Nav2: return src.NavDistanceNm(NavRadio::Nav2);
        case EhsiSourceId::Fms: return src.DistanceToGoNm();
    }
    return 0;
}

float LateralNeedle(EhsiSource& src, EhsiSourceId s) {
    switch (s) {
        case EhsiSourceId::Nav1: return Clamp127(src.NavLateralNeedle(NavRadio::Nav1));
        case EhsiSourceId::Nav2: return Clamp127(src.NavLateralNeedle(NavRadio::Nav2));
        case EhsiSourceId::Fms: return Clamp127(src.CrossTrackErrorNm() * -63.5f);
    }
    return 0;
}

float CourseDeg(EhsiSource& src, EhsiSourceId s, float magneticHeading) {
    switch (s) {
        case EhsiSourceId::Nav1: return src.NavCourseDeg(NavRadio::Nav1);
        case EhsiSourceId::Nav2: return src.NavCourseDeg(NavRadio::Nav2);
        case EhsiSourceId::Fms: return magneticHeading;
    }
    return magneticHeading;
}

int32_t ShownBearing(float magneticHeading, float relativeBearing) {
    return Truncate(Normalise(magneticHeading + relativeBearing + 0.5f));
}

float NeedleOffsetPx(float needle) { return Clamp127(needle) / 127.0f * kNeedleFullScalePx; }

}  // namespace halvex::ehsi
