// WorldMagneticModel: evaluates a spherical-harmonic main-field model (coefficient file of the
// World Magnetic Model layout) at a date, on the WGS-84 ellipsoid. Used to generate the
// variation grid and to check it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace halvex::magvar {

struct FieldComponents {
    double northNt = 0;  // X
    double eastNt = 0;   // Y
    double downNt = 0;   // Z
    double DeclinationDeg() const;  // east positive
};

class WorldMagneticModel {
public:
    // Reads a coefficient file; nothing when it cannot be read or holds no coefficients.
    static std::optional<WorldMagneticModel> FromFile(const std::string& path);

    double Epoch() const { return epoch_; }
    int Degree() const { return degree_; }
    // The field at a geodetic position and height (km above the ellipsoid) at a decimal year.
    FieldComponents Field(double latDeg, double lonDeg, double heightKm, double year) const;

private:
    double epoch_ = 0;
    int degree_ = 0;
    std::vector<double> g_, h_, gDot_, hDot_;  // indexed n * (maxDegree + 1) + m
};

}  // namespace halvex::magvar
