// ApModeState: the FMS's lateral (0..4) and vertical (0..6) autopilot modes, turned into the
// simulator's hold switches, and the gate through which guidance targets reach the autopilot
// (only in mode 1). Range checks belong to the callers.
#pragma once

#include <cstdint>

namespace halvex {

class FmsCore;
class SimVariables;

class ApModeState {
public:
    explicit ApModeState(FmsCore& core);
    virtual ~ApModeState() = default;

    virtual int32_t Reserved() { return 0; }  // called every frame; nothing to do yet

    virtual void CommandHeading(float trueHeadingDeg);  // lateral mode 1
    virtual void CommandAltitude(float feet);           // vertical mode 1
    virtual void CommandVerticalSpeed(float fpm);       // vertical mode 1
    virtual void CommandAirspeed(float knots);          // vertical mode 1

    // Lateral: 1, 2 heading hold; 3 nav hold; 4 approach (and vertical mode 6).
    virtual void SetLateralMode(int32_t mode);
    // Vertical: 1, 2, 3, 5 altitude hold; 4 airspeed hold; 6 approach (and lateral mode 4).
    virtual void SetVerticalMode(int32_t mode);
    virtual int32_t LateralMode() const { return lateralMode_; }
    virtual int32_t VerticalMode() const { return verticalMode_; }

    virtual bool AutopilotMaster();
    virtual bool FlightDirector();
    virtual void SetAutopilotMaster(bool on);
    virtual void SetFlightDirector(bool on);

private:
    SimVariables& sim();

    FmsCore& core_;
    int32_t lateralMode_ = 0;
    int32_t verticalMode_ = 0;
};

}  // namespace halvex
