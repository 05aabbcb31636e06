// Atmosphere: the standard atmosphere's density ratio and the airspeed conversions built on it.
// Indicated airspeed is taken as equivalent airspeed (no compressibility or instrument error).
#pragma once

namespace halvex::sim {

double DensityRatio(double altitudeFt);  // sigma = rho / rho0; troposphere and lower stratosphere
double TrueFromIndicatedKt(double iasKt, double altitudeFt);
double IndicatedFromTrueKt(double tasKt, double altitudeFt);

}  // namespace halvex::sim
