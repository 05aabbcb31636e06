// EhsiValues: what the EHSI shows for a source, read from its EhsiSource, and the number
// formats of its readouts. Everything here copes with any float, NaN included.
#pragma once

#include <cstdint>
#include <string>

#include "display/EhsiRenderer.h"

namespace halvex::ehsi {

// Colours (opaque ARGB).
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFFFF6464;
constexpr uint32_t kGreen = 0xFF64FF64;
constexpr uint32_t kYellow = 0xFFFFFF64;
constexpr uint32_t kCyan = 0xFF64FFFF;
constexpr uint32_t kMagenta = 0xFFFF64FF;
constexpr uint32_t kBugOrange = 0xFFFF7364;

constexpr float kCentre = 192.0f;
constexpr float kNeedleFullScalePx = 90.0f;

uint32_t ColourOf(EhsiSourceId s);
const char* NameOf(EhsiSourceId s);  // "NAV1", "NAV2", "FMS"

// Into [0, 360), with exactly 360 kept; non-finite values give 0.
float Normalise(float angleDeg);
// Truncation towards zero that is defined for every float (non-finite gives 0).
int32_t Truncate(float value);
float Clamp127(float needle);

// A heading or bearing readout: "00%d" for 1-9, "0%d" for 10-99, "%d" from 100, 0 as "360".
std::string ThreeDigits(int32_t degrees);

float MagneticHeading(EhsiSource& src);                   // true heading - variation
float RelativeBearing(EhsiSource& src, EhsiSourceId s);   // FMS: course to the TO point, made relative
float DistanceNm(EhsiSource& src, EhsiSourceId s);
float LateralNeedle(EhsiSource& src, EhsiSourceId s);     // -127..127
// Course for the pointer; the FMS has none and gives the magnetic heading (pointer straight up).
float CourseDeg(EhsiSource& src, EhsiSourceId s, float magneticHeading);
// The bearing shown in the text blocks: normalise(H + relative bearing + 0.5), truncated.
int32_t ShownBearing(float magneticHeading, float relativeBearing);
// Screen offset of a needle from the centre line.
float NeedleOffsetPx(float needle);

}  // namespace halvex::ehsi
