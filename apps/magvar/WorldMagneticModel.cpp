#include "WorldMagneticModel.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace halvex::magvar {

namespace {
constexpr int kMaxDegree = 12;
constexpr int kStride = kMaxDegree + 1;
constexpr double kReferenceRadiusKm = 6371.2;
constexpr double kSemiMajorKm = 6378.137;           // WGS-84
constexpr double kFlattening = 1 / 298.257223563;
constexpr double kDegToRad = M_PI / 180;
}  // namespace

double FieldComponents::DeclinationDeg() const { return std::atan2(eastNt, northNt) / kDegToRad; }

std::optional<WorldMagneticModel> WorldMagneticModel::FromFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    WorldMagneticModel model;
    model.g_.assign(kStride * kStride, 0);
    model.h_ = model.gDot_ = model.hDot_ = model.g_;
    std::string line;
    if (!std::getline(in, line)) return std::nullopt;
    std::istringstream(line) >> model.epoch_;
    while (std::getline(in, line)) {
        if (line.starts_with("9999")) break;
        std::istringstream fields(line);
        int n = 0, m = 0;
        double g = 0, h = 0, gDot = 0, hDot = 0;
        if (!(fields >> n >> m >> g >> h >> gDot >> hDot)) continue;
        if (n < 1 || n > kMaxDegree || m < 0 || m > n) continue;
        const int i = n * kStride + m;
        model.g_[i] = g;
        model.h_[i] = h;
        model.gDot_[i] = gDot;
        model.hDot_[i] = hDot;
        if (n > model.degree_) model.degree_ = n;
    }
    if (model.degree_ == 0) return std::nullopt;
    return model;
}

FieldComponents WorldMagneticModel::Field(double latDeg, double lonDeg, double heightKm, double year) const {
    // Geodetic to geocentric spherical coordinates.
    const double lat = latDeg * kDegToRad, lon = lonDeg * kDegToRad;
    const double e2 = kFlattening * (2 - kFlattening);
    const double rc = kSemiMajorKm / std::sqrt(1 - e2 * std::sin(lat) * std::sin(lat));
    const double p = (rc + heightKm) * std::cos(lat);
    const double z = (rc * (1 - e2) + heightKm) * std::sin(lat);
    const double r = std::hypot(p, z);
    const double latC = std::asin(z / r);
    const double cosTheta = std::sin(latC), sinTheta = std::cos(latC);  // theta: colatitude

    // Schmidt semi-normalised associated Legendre functions and their theta derivatives.
    double P[kStride][kStride] = {}, dP[kStride][kStride] = {};
    P[0][0] = 1;
    for (int m = 1; m <= degree_; ++m) {
        const double k = m == 1 ? 1.0 : std::sqrt((2.0 * m - 1) / (2.0 * m));
        P[m][m] = k * sinTheta * P[m - 1][m - 1];
        dP[m][m] = k * (cosTheta * P[m - 1][m - 1] + sinTheta * dP[m - 1][m - 1]);
    }
    for (int m = 0; m <= degree_; ++m) {
        for (int n = m + 1; n <= degree_; ++n) {
            const double a = 2.0 * n - 1, b = n >= m + 2 ? std::sqrt(double((n - 1) * (n - 1) - m * m)) : 0.0;
            const double c = std::sqrt(double(n * n - m * m));
            const double prev2 = n >= m + 2 ? P[n - 2][m] : 0.0, dPrev2 = n >= m + 2 ? dP[n - 2][m] : 0.0;
            P[n][m] = (a * cosTheta * P[n - 1][m] - b * prev2) / c;
            dP[n][m] = (a * (cosTheta * dP[n - 1][m] - sinTheta * P[n - 1][m]) - b * dPrev2) / c;
        }
    }

    const double t = year - epoch_;
    double north = 0, east = 0, down = 0;
    for (int n = 1; n <= degree_; ++n) {
        const double ratio = std::pow(kReferenceRadiusKm / r, n + 2);
        for (int m = 0; m <= n; ++m) {
            const int i = n * kStride + m;
            const double g = g_[i] + t * gDot_[i], h = h_[i] + t * hDot_[i];
            const double cm = std::cos(m * lon), sm = std::sin(m * lon);
            north += ratio * (g * cm + h * sm) * dP[n][m];
            east += ratio * m * (g * sm - h * cm) * P[n][m];
            down -= ratio * (n + 1) * (g * cm + h * sm) * P[n][m];
        }
    }
    east /= sinTheta;  // the poles themselves are not evaluated (see the generator)

    // Rotate from geocentric to geodetic north and down.
    const double psi = latC - lat;
    FieldComponents f;
    f.northNt = north * std::cos(psi) - down * std::sin(psi);
    f.eastNt = east;
    f.downNt = north * std::sin(psi) + down * std::cos(psi);
    return f;
}

}  // namespace halvex::magvar
