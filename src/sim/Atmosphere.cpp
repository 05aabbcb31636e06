#include "sim/Atmosphere.h"

#include <algorithm>
#include <cmath>

namespace halvex::sim {

namespace {
constexpr double kTropopauseFt = 36089.0;
constexpr double kSigmaAtTropopause = 0.297076;
constexpr double kStratosphereScaleFt = 20805.8;  // R * T11 / g in feet
}  // namespace

double DensityRatio(double altitudeFt) {
    double h = std::clamp(altitudeFt, -2000.0, 65000.0);
    if (h <= kTropopauseFt) return std::pow(1.0 - 6.87559e-6 * h, 4.25588);
    return kSigmaAtTropopause * std::exp(-(h - kTropopauseFt) / kStratosphereScaleFt);
}

double TrueFromIndicatedKt(double iasKt, double altitudeFt) {
    return iasKt / std::sqrt(DensityRatio(altitudeFt));
}

double IndicatedFromTrueKt(double tasKt, double altitudeFt) {
    return tasKt * std::sqrt(DensityRatio(altitudeFt));
}

}  // namespace halvex::sim
