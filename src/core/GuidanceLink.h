// GuidanceLink: the guidance's view of the core: aircraft values from AircraftState (read once
// per cycle) and autopilot targets through ApModeState, which passes them on only in mode 1.
#pragma once

#include "core/AircraftState.h"
#include "core/ApModeState.h"
#include "fms/GuidanceInputs.h"

namespace halvex {

class AircraftStateReader final : public GuidanceAircraft {
public:
    explicit AircraftStateReader(AircraftState& aircraft) : aircraft_(aircraft) {}
    bool Read(AircraftData& out) override;

private:
    AircraftState& aircraft_;
};

class ApModeCommands final : public GuidanceAutopilot {
public:
    explicit ApModeCommands(ApModeState& modes) : modes_(modes) {}
    void CommandHeading(float trueHeadingDeg) override { modes_.CommandHeading(trueHeadingDeg); }
    void CommandAltitude(float feet) override { modes_.CommandAltitude(feet); }
    void CommandVerticalSpeed(float fpm) override { modes_.CommandVerticalSpeed(fpm); }
    void CommandAirspeed(float knots) override { modes_.CommandAirspeed(knots); }

private:
    ApModeState& modes_;
};

}  // namespace halvex
