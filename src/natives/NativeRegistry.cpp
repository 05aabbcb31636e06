#include "natives/NativeRegistry.h"

namespace halvex {

const std::vector<NativeEntry>& AllNatives() {
    static const std::vector<NativeEntry> all = [] {
        std::vector<NativeEntry> v;
        for (NativeTable family : {CduNatives(), NavDataNatives(), FlightPlanNatives(), ProcedureNatives(),
                                   RouteNatives(), AircraftNatives(), GuidanceNatives()})
            v.insert(v.end(), family.begin(), family.end());
        return v;
    }();
    return all;
}

}  // namespace halvex
