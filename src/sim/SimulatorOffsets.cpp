#include "sim/SimulatorOffsets.h"

#include <cmath>
#include <limits>

#include "simlink/SimOffsets.h"

namespace halvex::sim {

namespace {

namespace o = halvex::offsets;
constexpr double kFeetPerMetre = 3.28084;

// Rounds into T's range (NaN gives 0).
template <typename T>
T fit(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = static_cast<double>(std::numeric_limits<T>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<T>::max());
    return static_cast<T>(std::llround(std::fmin(std::fmax(v, lo), hi)));
}

// An angle as a fraction of the full circle in an unsigned field of `bits` bits (wraps).
uint64_t circleFraction(double degrees, int bits) {
    double turns = std::fmod(degrees / 360.0, 1.0);
    if (turns < 0) turns += 1.0;
    const double scale = std::ldexp(1.0, bits);
    const auto raw = static_cast<uint64_t>(std::fmin(std::floor(turns * scale), scale - 1));
    return raw;
}

void publishNav(const NavReceiver& nav, o::Offset bearing, o::Offset dme, o::Offset lateral, o::Offset vertical,
                o::Offset course, o::Offset glideslope, OffsetSpace& space) {
    space.Put<uint16_t>(bearing.at, fit<uint16_t>(std::fmod(std::fmod(nav.relativeBearingDeg, 360.0) + 360.0, 360.0)));
    space.Put<uint16_t>(dme.at, fit<uint16_t>(nav.dmeNm * 10.0));
    space.Put<float>(lateral.at, static_cast<float>(nav.lateralNeedle));
    space.Put<float>(vertical.at, static_cast<float>(nav.verticalNeedle));
    space.Put<int16_t>(course.at, fit<int16_t>(nav.selectedCourseDegMag));
    space.Put<uint16_t>(glideslope.at, nav.glideslopeValid ? 1 : 0);
}

}  // namespace

void PublishState(const AircraftSnapshot& s, const AutopilotInputs& ap, const ServerIdentity& id, OffsetSpace& space) {
    // Position: latitude in units of 90 / (10001750 * 2^32) degrees, longitude 360 / 2^64 degrees.
    space.Put<int64_t>(o::Latitude.at, fit<int64_t>(s.latitudeDeg / 2.0951091e-15));
    space.Put<int64_t>(o::Longitude.at, static_cast<int64_t>(circleFraction(s.longitudeDeg, 64)));
    space.Put<uint32_t>(o::TrueHeading.at, static_cast<uint32_t>(circleFraction(s.trueHeadingDeg, 32)));
    space.Put<int16_t>(o::MagneticVariation.at, fit<int16_t>(s.magneticVariationDeg * 65536.0 / 360.0));
    space.Put<int32_t>(o::AltitudeFeet.at, fit<int32_t>(s.altitudeFt));
    space.Put<int64_t>(o::AltitudeFine.at, fit<int64_t>(std::ldexp(s.altitudeFt / kFeetPerMetre, 32)));
    space.Put<uint32_t>(o::RadioAltitude.at, fit<uint32_t>(s.radioAltitudeFt / kFeetPerMetre * 65536.0));
    space.Put<int16_t>(o::GroundAltitude.at, fit<int16_t>((s.altitudeFt - s.radioAltitudeFt) / kFeetPerMetre));
    space.Put<int16_t>(o::VerticalSpeed.at, fit<int16_t>(-s.verticalSpeedFpm / kFeetPerMetre));
    space.Put<int32_t>(o::GroundSpeed.at, fit<int32_t>(s.groundSpeedKt / 2.9660712e-5));
    space.Put<int32_t>(o::TrueAirspeed.at, fit<int32_t>(s.tasKt * 128.0));
    space.Put<int32_t>(o::IndicatedAirspeed.at, fit<int32_t>(s.iasKt * 128.0));
    space.Put<int16_t>(o::WindSpeed.at, fit<int16_t>(s.windSpeedKt));
    // Magnetic, as the simulator serves it: readers add the variation to get the true direction.
    space.Put<uint16_t>(o::WindDirection.at,
                        static_cast<uint16_t>(circleFraction(s.windFromDeg - s.magneticVariationDeg, 16)));
    space.Put<double>(o::LongitudinalAcceleration.at, s.longitudinalAccelFtPerS2);
    space.Put<double>(o::GrossWeight.at, s.grossWeightLb);
    space.Put<uint32_t>(o::AutopilotMaster.at, ap.master ? 1 : 0);
    space.Put<uint32_t>(o::FlightDirector.at, ap.flightDirector ? 1 : 0);
    space.Put<uint8_t>(o::UtcHour.at, static_cast<uint8_t>(s.utcHour));
    space.Put<uint8_t>(o::UtcMinute.at, static_cast<uint8_t>(s.utcMinute));
    space.Put<uint8_t>(o::UtcSecond.at, static_cast<uint8_t>(s.utcSecond));
    space.Put<uint16_t>(o::Year.at, static_cast<uint16_t>(s.utcYear));
    space.Put<uint16_t>(o::DayOfYear.at, static_cast<uint16_t>(s.dayOfYear));

    space.Put<uint32_t>(o::HeadingHold.at, ap.headingHold ? 1 : 0);
    space.Put<uint32_t>(o::NavHold.at, ap.navHold ? 1 : 0);
    space.Put<uint32_t>(o::AltitudeHold.at, ap.altitudeHold ? 1 : 0);
    space.Put<uint32_t>(o::AirspeedHold.at, ap.airspeedHold ? 1 : 0);
    space.Put<uint32_t>(o::ApproachHold.at, ap.approachHold ? 1 : 0);
    space.Put<uint16_t>(o::AutopilotHeading.at, static_cast<uint16_t>(circleFraction(ap.headingBugDegMag, 16)));
    space.Put<int32_t>(o::AutopilotAltitude.at, fit<int32_t>(ap.targetAltitudeFt * 19975.373));
    space.Put<int16_t>(o::AutopilotAirspeed.at, fit<int16_t>(ap.targetIasKt));
    space.Put<int16_t>(o::AutopilotVerticalSpeed.at, fit<int16_t>(ap.targetVerticalSpeedFpm));

    publishNav(s.nav1, o::Nav1RelativeBearing, o::Nav1Dme, o::Nav1LateralNeedle, o::Nav1VerticalNeedle, o::Nav1Course,
               o::Nav1GlideslopeValid, space);
    publishNav(s.nav2, o::Nav2RelativeBearing, o::Nav2Dme, o::Nav2LateralNeedle, o::Nav2VerticalNeedle, o::Nav2Course,
               o::Nav2GlideslopeValid, space);

    space.PutText(o::AircraftFilePath.at, o::AircraftFilePath.bytes, id.aircraftFilePath);
    space.PutText(o::SimulatorPath.at, o::SimulatorPath.bytes, id.simulatorPath);
    PublishIdentity(id, space);
}

void PublishIdentity(const ServerIdentity& id, OffsetSpace& space) {
    space.Put<uint32_t>(o::ServerVersion.at, id.versionWord);
    // The client's protocol level is written over the upper half (0x330A); it reads back the
    // signature all the same.
    space.Put<uint32_t>(o::SimulatorWord.at, 0xFADE0000u | id.simulatorId);
}

namespace {

bool touches(uint32_t offset, uint32_t sizeBytes, o::Offset field) {
    return uint64_t{offset} < uint64_t{field.at} + field.bytes && uint64_t{field.at} < uint64_t{offset} + sizeBytes;
}

}  // namespace

void ApplyWrite(uint32_t offset, uint32_t size, const OffsetSpace& space, AutopilotInputs& ap) {
    auto on = [&](o::Offset f) { return space.Get<uint32_t>(f.at) != 0; };
    if (touches(offset, size, o::AutopilotMaster)) ap.master = on(o::AutopilotMaster);
    if (touches(offset, size, o::FlightDirector)) ap.flightDirector = on(o::FlightDirector);
    if (touches(offset, size, o::HeadingHold)) ap.setHeadingHold(on(o::HeadingHold));
    if (touches(offset, size, o::NavHold)) ap.setNavHold(on(o::NavHold));
    if (touches(offset, size, o::AltitudeHold)) ap.setAltitudeHold(on(o::AltitudeHold));
    if (touches(offset, size, o::AirspeedHold)) ap.setAirspeedHold(on(o::AirspeedHold));
    if (touches(offset, size, o::ApproachHold)) ap.setApproachHold(on(o::ApproachHold));
    if (touches(offset, size, o::AutopilotHeading))
        ap.headingBugDegMag = space.Get<uint16_t>(o::AutopilotHeading.at) * 360.0 / 65536.0;
    if (touches(offset, size, o::AutopilotAltitude))
        ap.targetAltitudeFt = space.Get<int32_t>(o::AutopilotAltitude.at) / 19975.373;
    if (touches(offset, size, o::AutopilotAirspeed)) ap.targetIasKt = space.Get<int16_t>(o::AutopilotAirspeed.at);
    if (touches(offset, size, o::AutopilotVerticalSpeed))
        ap.targetVerticalSpeedFpm = space.Get<int16_t>(o::AutopilotVerticalSpeed.at);
    if (touches(offset, size, o::Nav1Course)) ap.nav1CourseDegMag = space.Get<int16_t>(o::Nav1Course.at);
    if (touches(offset, size, o::Nav2Course)) ap.nav2CourseDegMag = space.Get<int16_t>(o::Nav2Course.at);
}

}  // namespace halvex::sim
