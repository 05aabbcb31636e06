// Airframe: what the substitute simulator flies like. It climbs and descends by the performance
// table under the simulator folder (the working directory), the same table the FMS predicts with,
// so that predicted and flown tops of climb and descent can be compared.
#pragma once

#include "fms/PerfSpecTable.h"
#include "fms/PerformanceRates.h"
#include "script/LuaHost.h"
#include "sim/FlightModel.h"

namespace halvex::cli {

class Airframe {
public:
    Airframe();  // reads the table; without one the flight model keeps its own rates
    Airframe(const Airframe&) = delete;
    Airframe& operator=(const Airframe&) = delete;

    bool HasTable() const { return !rates_.empty(); }
    // Gives the model this airframe's climb and descent rates; the model must not outlive it.
    void Fit(sim::FlightModelConfig& model) const;

private:
    LuaHost engine_;
    PerfSpecTable table_;
    PerformanceRates rates_{&table_};
};

}  // namespace halvex::cli
