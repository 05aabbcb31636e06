#include "fms/FlightPlanModel.h"

namespace halvex {

FlightPlanModel::FlightPlanModel(const PerfSpecTable* performance, const AircraftSource* aircraft, GuidanceSeam* guidance)
    : plans_(nullptr, performance, aircraft ? aircraft : &ownAircraft_, guidance) {}

}  // namespace halvex
