// The committed variation grid against our own evaluation of the magnetic model.
#include <gtest/gtest.h>

#include <cmath>

#include "WorldMagneticModel.h"
#include "navdb/Geodesy.h"
#include "navdb/MagVarGrid.h"

namespace halvex {
namespace {

const magvar::WorldMagneticModel& Model() {
    static const auto model = magvar::WorldMagneticModel::FromFile(HALVEX_SOURCE_DIR "/apps/magvar/WMM2025.COF");
    return *model;
}

TEST(MagVarGridTest, ModelReadsAndGivesAPlausibleField) {
    ASSERT_EQ(Model().Degree(), 12);
    EXPECT_EQ(Model().Epoch(), 2025.0);
    auto intensity = [](const magvar::FieldComponents& f) {
        return std::sqrt(f.northNt * f.northNt + f.eastNt * f.eastNt + f.downNt * f.downNt);
    };
    const double equator = intensity(Model().Field(0, 0, 0, 2026.0));
    const double north = intensity(Model().Field(80, 0, 0, 2026.0));
    EXPECT_GT(equator, 25000);
    EXPECT_LT(equator, 40000);
    EXPECT_GT(north, 50000);
    EXPECT_LT(north, 60000);
    EXPECT_GT(Model().Field(45, 0, 0, 2026.0).downNt, 0);  // dips down in the north
    EXPECT_LT(Model().Field(-45, 0, 0, 2026.0).downNt, 0);
}

TEST(MagVarGridTest, CellsMatchTheModelAt2026) {
    int checked = 0;
    for (int row = 1; row < MagVarRows - 1; row += 7) {
        for (int column = 0; column < MagVarColumns; column += 11) {
            const double lat = 90 - 2 * row, lon = 180 - 2 * column;
            const double expected = Model().Field(lat, lon, 0, 2026.0).DeclinationDeg();
            EXPECT_NEAR(MagVarGrid[row * MagVarColumns + column], expected, 0.006) << lat << " " << lon;
            ++checked;
        }
    }
    EXPECT_GT(checked, 200);
}

TEST(MagVarGridTest, LookupsNearKnownPlacesAreSensible) {
    // Current declinations: east in the western United States, west in the north-east.
    EXPECT_GT(MagneticVariation(37.6f, -122.4f), 11.0f);
    EXPECT_LT(MagneticVariation(37.6f, -122.4f), 15.0f);
    EXPECT_LT(MagneticVariation(40.6f, -73.8f), -11.0f);
    EXPECT_NEAR(MagneticVariation(-33.9f, 151.2f), 12.5f, 1.5f);
}

}  // namespace
}  // namespace halvex
