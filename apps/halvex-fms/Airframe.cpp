#include "Airframe.h"

#include <string>

namespace halvex::cli {

Airframe::Airframe() { table_.load(engine_, std::string()); }

void Airframe::Fit(sim::FlightModelConfig& model) const {
    if (!HasTable()) return;
    model.climbPerformance = [this](double weight, double ias, double alt) {
        const auto w = static_cast<float>(weight), v = static_cast<float>(ias), h = static_cast<float>(alt);
        return sim::ClimbLimits{rates_.ClimbFpm(w, v, h), rates_.DescentFpm(w, v, h)};
    };
}

}  // namespace halvex::cli
