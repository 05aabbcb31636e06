// The plan tools' own session: database, performance table, a stand-in aircraft and guidance
// that builds the vertical path when a plan is executed (nothing is flown, so no autopilot).
#include "PlanVerbs.h"
#include "fms/FlightGuidance.h"

namespace halvex::cli {

namespace {

class StandInReader final : public GuidanceAircraft {
public:
    const SettableAircraft* source = nullptr;
    bool Read(AircraftData& out) override {
        if (!source) return false;
        out.position = source->position;
        out.altitudeFt = source->altitudeFt;
        out.radioAltitudeFt = source->altitudeFt;
        return true;
    }
};

class NoAutopilot final : public GuidanceAutopilot {
public:
    void CommandHeading(float) override {}
    void CommandAltitude(float) override {}
    void CommandVerticalSpeed(float) override {}
    void CommandAirspeed(float) override {}
};

}  // namespace

struct PlanSession::Own {
    NavDatabase database;
    PerfSpecTable performance;
    StandInReader reader;
    NoAutopilot autopilot;
    FlightGuidance guidance{&performance, reader, autopilot};
    FlightPlanModel model{&performance, nullptr, &guidance};
    Own() {
        reader.source = &model.Aircraft();
        guidance.AttachPlans(&model.Plans());
    }
};

PlanSession::PlanSession()
    : own_(std::make_unique<Own>()), database(own_->database), performance(own_->performance), model(own_->model) {}

PlanSession::PlanSession(NavDatabase& coreDatabase, PerfSpecTable& corePerformance, FlightPlanModel& coreModel)
    : database(coreDatabase), performance(corePerformance), model(coreModel) {}

PlanSession::~PlanSession() = default;

}  // namespace halvex::cli
