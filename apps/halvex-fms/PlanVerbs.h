// The command language of `halvex-fms plan`: a session holding the database and both plans,
// and tables of verbs that edit them. Each verb family lives in its own file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "fms/FlightPlanModel.h"
#include "fms/PerfSpecTable.h"
#include "navdb/NavDatabase.h"

namespace halvex::cli {

// The database and plans the verbs edit: a session's own (plan and route commands, with a
// stand-in aircraft and guidance that builds the vertical path on execution), or a core's (fly).
class PlanSession {
public:
    PlanSession();
    PlanSession(NavDatabase& coreDatabase, PerfSpecTable& corePerformance, FlightPlanModel& coreModel);
    ~PlanSession();
    PlanSession(const PlanSession&) = delete;
    PlanSession& operator=(const PlanSession&) = delete;

private:
    struct Own;
    std::unique_ptr<Own> own_;  // first: the references below may point into it

public:
    NavDatabase& database;
    PerfSpecTable& performance;
    FlightPlanModel& model;

    FlightPlanSet& plans() { return model.Plans(); }
    // Names to indexes the way a CDU script finds them: a fix by ident (of several, the one
    // nearest the entry in front of the legs position; "#N" is row N itself), a runway of the
    // current origin or destination by designator ("16L" or "RWY16L", "#N" is index N).
    int32_t fixNear(const std::string& ident, int32_t legsPosition) const;
    int32_t runway(const std::string& name, bool origin) const;
};

using PlanArgs = std::vector<std::string>;

struct PlanVerb {
    const char* name;
    const char* usage;  // arguments, for messages
    size_t minArgs;
    size_t maxArgs;
    // The model's result: 0 success, -1 failure. Arguments are already counted; a number that
    // does not read throws std::invalid_argument.
    std::function<int32_t(PlanSession&, const PlanArgs&)> run;
    // After a failure, what the pilot would have needed (empty: nothing to add).
    std::function<std::string(PlanSession&, const PlanArgs&)> whyFailed = nullptr;
};

// The verb's result as the plan and route commands echo it: "ok", or "FAILED" with the reason.
std::string PlanResultText(const PlanVerb& verb, int32_t result, PlanSession& session, const PlanArgs& args);

std::vector<PlanVerb> PlanEditVerbs();  // airports, runways, waypoints, airways, deletions, altitudes
std::vector<PlanVerb> PlanProcedureVerbs();  // SIDs, STARs, approaches and their transitions

int32_t ArgInt(const std::string& text);   // whole text, else std::invalid_argument
float ArgFloat(const std::string& text);

// The plan command's parsing and printing, for the route command: commands separated by ";"
// or line ends, words by blanks; the legs and route views of one plan (all entries with all).
std::vector<std::vector<std::string>> SplitPlanCommands(const std::string& text);
// One split command as the user wrote it, its words joined by single spaces.
std::string CommandText(const std::vector<std::string>& words);
void PrintPlanViews(std::ostream& out, const NavDatabase& db, const char* label, const FlightPlan& plan, bool all);

}  // namespace halvex::cli
