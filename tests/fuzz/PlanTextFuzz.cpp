// Bytes as the plan text of `halvex-fms fly --plan` (the verbs of `plan`, split on ";" and line
// ends), applied as fly applies them to fresh plans over the bundled database and performance
// table, both loaded once. Unknown verbs, wrong argument counts and unreadable numbers must be
// refused; nothing may crash, and every plan invariant must hold after each command.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "BundledPlanData.h"
#include "PlanVerbs.h"
#include "fms/PlanTestSupport.h"

namespace {

using namespace halvex;

constexpr size_t kMaxCommands = 32;  // every plan state is a few dozen edits away

NavDatabase& Database() {
    static NavDatabase* db = [] {
        auto* d = new NavDatabase;
        d->LoadFrom(test::DataRoot() / "FMCWP/NavData");
        return d;
    }();
    return *db;
}

const std::vector<cli::PlanVerb>& Verbs() {
    static const std::vector<cli::PlanVerb> verbs = [] {
        std::vector<cli::PlanVerb> v = cli::PlanEditVerbs();
        for (cli::PlanVerb& p : cli::PlanProcedureVerbs()) v.push_back(std::move(p));
        return v;
    }();
    return verbs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    FlightPlanModel model(&fuzz::BundledPerformance());
    cli::PlanSession session(Database(), fuzz::BundledPerformance(), model);
    size_t done = 0;
    for (const std::vector<std::string>& command : cli::SplitPlanCommands(text)) {
        if (command.empty() || ++done > kMaxCommands) break;
        if (command[0] == "exec") {
            session.plans().activate();
            fuzz::AbortOnPlanViolations(session.plans());
            continue;
        }
        const cli::PlanVerb* verb = nullptr;
        for (const cli::PlanVerb& v : Verbs())
            if (command[0] == v.name) verb = &v;
        const cli::PlanArgs args(command.begin() + 1, command.end());
        if (!verb || args.size() < verb->minArgs || args.size() > verb->maxArgs) continue;
        try {
            verb->run(session, args);
        } catch (const std::invalid_argument&) {
            // an unreadable number: refused, as fly refuses it
        } catch (const std::out_of_range&) {
        }
        fuzz::AbortOnPlanViolations(session.plans());
    }
    return 0;
}
