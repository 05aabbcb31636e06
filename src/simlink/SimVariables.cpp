#include "simlink/SimVariables.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "simlink/SimOffsets.h"

namespace halvex {

namespace {

constexpr uint8_t kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr float kFeetPerMetre = 3.28084f;

// Truncates toward zero into T's range; NaN gives 0. Keeps huge commands from being undefined.
template <typename T>
T truncateInto(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = static_cast<double>(std::numeric_limits<T>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<T>::max());
    return static_cast<T>(std::trunc(std::fmin(std::fmax(v, lo), hi)));
}

}  // namespace

SimVariables::SimVariables() {
    size_t i = 0, j = 0;
    for (uint8_t m = 0; m < 12; ++m) {
        for (uint8_t d = 1; d <= kMonthDays[m]; ++d) days_[i++] = {static_cast<uint8_t>(m + 1), d};
        const uint8_t leapLength = m == 1 ? 29 : kMonthDays[m];
        for (uint8_t d = 1; d <= leapLength; ++d) leapDays_[j++] = {static_cast<uint8_t>(m + 1), d};
    }
}

bool SimVariables::ReadOne(uint32_t offset, uint32_t sizeBytes, void* destination) {
    if (!connected_) return false;
    if (!QueueRead(offset, sizeBytes, destination, lastResult_)) return false;
    return Process(lastResult_) && lastResult_ == 0;
}

void SimVariables::WriteOne(uint32_t offset, uint32_t sizeBytes, const void* source) {
    if (!connected_) return;
    if (!QueueWrite(offset, sizeBytes, source, lastResult_)) return;
    Process(lastResult_);
}

int SimVariables::Update() {
    if (!connected_) return -1;
    int64_t lat = 0, lon = 0;
    uint32_t heading = 0, apMaster = 0, fd = 0;
    int16_t magVar = 0, vs = 0, windSpeed = 0, windDir = 0;
    int32_t gs = 0, tas = 0, ias = 0;
    double accel = 0, weight = 0;
    uint8_t hour = 0, minute = 0, second = 0;
    namespace o = offsets;

    if (!ReadOne(o::Latitude.at, 8, &lat)) return -1;
    position_.latRad = static_cast<float>(static_cast<double>(lat) / 57.29578 * 2.0951091e-15);
    if (!ReadOne(o::Longitude.at, 8, &lon)) return -1;
    position_.lonRad = static_cast<float>(static_cast<double>(lon) / 57.29578 * 1.9515639e-17);
    if (!ReadOne(o::TrueHeading.at, 4, &heading)) return -1;
    trueHeadingDeg_ = static_cast<float>(heading * 8.381903e-8);
    if (!ReadOne(o::MagneticVariation.at, 2, &magVar)) return -1;
    magneticVariationDeg_ = static_cast<float>(magVar * 0.0054931640625);
    if (!ReadAltitudes()) return -1;
    if (!ReadOne(o::VerticalSpeed.at, 2, &vs)) return -1;
    verticalSpeedFpm_ = vs * -kFeetPerMetre;
    if (!ReadOne(o::GroundSpeed.at, 4, &gs)) return -1;
    groundSpeedKt_ = static_cast<float>(gs * 2.9660712e-5);
    if (!ReadOne(o::TrueAirspeed.at, 4, &tas)) return -1;
    trueAirspeedKt_ = static_cast<float>(tas / 128.0);
    if (!ReadOne(o::IndicatedAirspeed.at, 4, &ias)) return -1;
    indicatedAirspeedKt_ = static_cast<float>(ias / 128.0);
    if (!ReadOne(o::WindSpeed.at, 2, &windSpeed)) return -1;
    windSpeedKt_ = windSpeed;
    if (!ReadOne(o::WindDirection.at, 2, &windDir)) return -1;
    windDirectionDeg_ = static_cast<float>(windDir * 360.0 / 65536.0);
    if (!ReadOne(o::LongitudinalAcceleration.at, 8, &accel)) return -1;
    longitudinalAccelFtPerS2_ = static_cast<float>(accel);
    if (!ReadOne(o::GrossWeight.at, 8, &weight)) return -1;
    grossWeight_ = static_cast<float>(weight);
    if (!ReadOne(o::AutopilotMaster.at, 4, &apMaster)) return -1;
    autopilotMaster_ = apMaster != 0;
    if (!ReadOne(o::FlightDirector.at, 4, &fd)) return -1;
    flightDirector_ = fd != 0;
    if (!ReadOne(o::UtcHour.at, 1, &hour)) return -1;
    utcHour_ = hour;
    if (!ReadOne(o::UtcMinute.at, 1, &minute)) return -1;
    utcMinute_ = minute;
    if (!ReadOne(o::UtcSecond.at, 1, &second)) return -1;
    utcSecond_ = second;
    return 0;
}

// ---- files ----

std::string SimVariables::readPath(uint32_t offset) {
    char text[256] = {};
    if (!ReadOne(offset, sizeof text, text)) return kNoText;
    return std::string(text, strnlen(text, sizeof text));  // a server may leave no terminator
}

std::string SimVariables::SimulatorPath() { return readPath(offsets::SimulatorPath.at); }
std::string SimVariables::AircraftFilePath() { return readPath(offsets::AircraftFilePath.at); }

std::string SimVariables::AircraftFolder() {
    std::string path = AircraftFilePath();
    if (!connected_ || lastResult_ != 0) return path;
    const size_t backslash = path.rfind('\\');
    const size_t keep = backslash == std::string::npos ? 1 : backslash + 1;  // no backslash: the first byte stays
    if (path.size() > keep) path.resize(keep);
    return path;
}

// ---- date ----

bool SimVariables::IsLeapYear(uint16_t year) { return year % 4 == 0 && !(year % 100 == 0 && year % 400 != 0); }

std::pair<uint8_t, uint8_t> SimVariables::DateOfDay(uint16_t year, uint16_t dayOfYear) const {
    const uint16_t index = static_cast<uint16_t>(dayOfYear - 1);
    if (IsLeapYear(year)) return index < leapDays_.size() ? leapDays_[index] : std::pair<uint8_t, uint8_t>{0, 0};
    return index < days_.size() ? days_[index] : std::pair<uint8_t, uint8_t>{0, 0};
}

uint16_t SimVariables::Year() {
    uint16_t year = 0;
    return ReadOne(offsets::Year.at, 2, &year) ? year : 0;
}

uint8_t SimVariables::Month() {
    uint16_t year = 0, day = 0;
    if (!ReadOne(offsets::Year.at, 2, &year) || !ReadOne(offsets::DayOfYear.at, 2, &day)) return 0;
    return DateOfDay(year, day).first;
}

uint8_t SimVariables::DayOfMonth() {
    uint16_t year = 0, day = 0;
    if (!ReadOne(offsets::Year.at, 2, &year) || !ReadOne(offsets::DayOfYear.at, 2, &day)) return 0;
    return DateOfDay(year, day).second;
}

// ---- autopilot ----

void SimVariables::SetAutopilotMaster(bool on) {
    const uint32_t v = on ? 1 : 0;
    WriteOne(offsets::AutopilotMaster.at, 4, &v);
}

void SimVariables::SetFlightDirector(bool on) {
    const uint32_t v = on ? 1 : 0;
    WriteOne(offsets::FlightDirector.at, 4, &v);
}

namespace {
constexpr uint32_t kEngage = 1;
}

void SimVariables::EngageHeadingHold() { WriteOne(offsets::HeadingHold.at, 4, &kEngage); }
void SimVariables::EngageNavHold() { WriteOne(offsets::NavHold.at, 4, &kEngage); }
void SimVariables::EngageAltitudeHold() { WriteOne(offsets::AltitudeHold.at, 4, &kEngage); }
void SimVariables::EngageAirspeedHold() { WriteOne(offsets::AirspeedHold.at, 4, &kEngage); }
void SimVariables::EngageApproachHold() { WriteOne(offsets::ApproachHold.at, 4, &kEngage); }

void SimVariables::SetAutopilotVerticalSpeed(float fpm) {
    const int16_t raw = truncateInto<int16_t>(fpm);
    WriteOne(offsets::AutopilotVerticalSpeed.at, 2, &raw);
}

float SimVariables::AutopilotHeading() {
    uint16_t raw = 0;
    if (!ReadOne(offsets::AutopilotHeading.at, 2, &raw)) return 0;
    return std::ceil(static_cast<float>(raw) * 360.0f / 65536.0f);
}

void SimVariables::SetAutopilotHeading(float headingDeg, bool isTrue) {
    if (isTrue) headingDeg -= magneticVariationDeg_;
    // floor(floor(h * 65536) / 360), kept to its low 16 bits as the register holds it
    const double raw = std::floor(std::floor(static_cast<double>(headingDeg) * 65536.0) / 360.0);
    const uint16_t value = static_cast<uint16_t>(truncateInto<int32_t>(raw));
    WriteOne(offsets::AutopilotHeading.at, 2, &value);
}

void SimVariables::SetAutopilotAltitude(float feet) {
    const int32_t raw = truncateInto<int32_t>(static_cast<double>(feet) * 19975.373);
    WriteOne(offsets::AutopilotAltitude.at, 4, &raw);
}

void SimVariables::SetAutopilotAirspeed(float knots) {
    const int16_t raw = truncateInto<int16_t>(knots);
    WriteOne(offsets::AutopilotAirspeed.at, 2, &raw);
}

// ---- radios ----

namespace {

int16_t courseRaw(float courseDeg) {
    if (std::isnan(courseDeg)) return 0;
    return static_cast<int16_t>(std::trunc(std::fmin(std::fmax(courseDeg, 0.0f), 360.0f)));
}

}  // namespace

float SimVariables::Nav1RelativeBearing() {
    uint16_t raw = 0;
    return ReadOne(offsets::Nav1RelativeBearing.at, 2, &raw) ? raw : 0.0f;
}
float SimVariables::Nav2RelativeBearing() {
    uint16_t raw = 0;
    return ReadOne(offsets::Nav2RelativeBearing.at, 2, &raw) ? raw : 0.0f;
}
float SimVariables::Nav1DmeDistance() {
    uint16_t raw = 0;
    return ReadOne(offsets::Nav1Dme.at, 2, &raw) ? raw * 0.1f : 0.0f;
}
float SimVariables::Nav2DmeDistance() {
    uint16_t raw = 0;
    return ReadOne(offsets::Nav2Dme.at, 2, &raw) ? raw * 0.1f : 0.0f;
}
float SimVariables::Nav1LateralNeedle() {
    float v = 0;
    return ReadOne(offsets::Nav1LateralNeedle.at, 4, &v) ? v : 0.0f;
}
float SimVariables::Nav2LateralNeedle() {
    float v = 0;
    return ReadOne(offsets::Nav2LateralNeedle.at, 4, &v) ? v : 0.0f;
}
float SimVariables::Nav1VerticalNeedle() {
    float v = 0;
    return ReadOne(offsets::Nav1VerticalNeedle.at, 4, &v) ? v : 0.0f;
}
float SimVariables::Nav2VerticalNeedle() {
    float v = 0;
    return ReadOne(offsets::Nav2VerticalNeedle.at, 4, &v) ? v : 0.0f;
}
float SimVariables::Nav1Course() {
    int16_t raw = 0;
    return ReadOne(offsets::Nav1Course.at, 2, &raw) ? raw : 0.0f;
}
float SimVariables::Nav2Course() {
    int16_t raw = 0;
    return ReadOne(offsets::Nav2Course.at, 2, &raw) ? raw : 0.0f;
}
void SimVariables::SetNav1Course(float courseDeg) {
    const int16_t raw = courseRaw(courseDeg);
    WriteOne(offsets::Nav1Course.at, 2, &raw);
}
void SimVariables::SetNav2Course(float courseDeg) {
    const int16_t raw = courseRaw(courseDeg);
    WriteOne(offsets::Nav2Course.at, 2, &raw);
}
bool SimVariables::Nav1GlideslopeValid() {
    uint16_t raw = 0;
    return ReadOne(offsets::Nav1GlideslopeValid.at, 2, &raw) && raw != 0;
}
bool SimVariables::Nav2GlideslopeValid() {
    uint16_t raw = 0;
    return ReadOne(offsets::Nav2GlideslopeValid.at, 2, &raw) && raw != 0;
}

}  // namespace halvex
