#include "core/ApModeState.h"

#include "core/FmsCore.h"
#include "simlink/SimVariables.h"

namespace halvex {

ApModeState::ApModeState(FmsCore& core) : core_(core) {}

SimVariables& ApModeState::sim() { return *core_.Simulator(); }

void ApModeState::CommandHeading(float trueHeadingDeg) {
    if (lateralMode_ == 1) sim().SetAutopilotHeading(trueHeadingDeg, true);
}

void ApModeState::CommandAltitude(float feet) {
    if (verticalMode_ == 1) sim().SetAutopilotAltitude(feet);
}

void ApModeState::CommandVerticalSpeed(float fpm) {
    if (verticalMode_ == 1) sim().SetAutopilotVerticalSpeed(fpm);
}

void ApModeState::CommandAirspeed(float knots) {
    if (verticalMode_ == 1) sim().SetAutopilotAirspeed(knots);
}

void ApModeState::SetLateralMode(int32_t mode) {
    lateralMode_ = mode;
    switch (mode) {
        case 1:
        case 2: sim().EngageHeadingHold(); break;
        case 3: sim().EngageNavHold(); break;
        case 4:
            verticalMode_ = 6;
            sim().EngageApproachHold();
            break;
        default: break;
    }
}

void ApModeState::SetVerticalMode(int32_t mode) {
    verticalMode_ = mode;
    switch (mode) {
        case 1:
        case 2:
        case 3:
        case 5: sim().EngageAltitudeHold(); break;
        case 4: sim().EngageAirspeedHold(); break;
        case 6:
            lateralMode_ = 4;
            sim().EngageApproachHold();
            break;
        default: break;
    }
}

bool ApModeState::AutopilotMaster() { return sim().AutopilotMaster(); }
bool ApModeState::FlightDirector() { return sim().FlightDirector(); }
void ApModeState::SetAutopilotMaster(bool on) { sim().SetAutopilotMaster(on); }
void ApModeState::SetFlightDirector(bool on) { sim().SetFlightDirector(on); }

}  // namespace halvex
