// The route of the pilot's guide built key by key on the CDU and the same route built with
// `halvex-fms plan`: the same legs, constraints, courses and distances.
#include <regex>

#include "PagesFixture.h"
#include "support/RunTool.h"

namespace halvex::test {
namespace {

struct Leg {
    std::string name, constraint;
    int courseDeg = -1;
    double distanceNm = -1;
};

// The active legs the plan tool prints, indented: "  7  SEA   187   37.1   4000A   DIRECT".
std::vector<Leg> ToolLegs(const std::string& out) {
    std::vector<Leg> legs;
    const size_t start = out.find("ACT LEGS (");
    if (start == std::string::npos) return legs;
    std::istringstream in(out.substr(out.find('\n', start) + 1));
    for (std::string line; std::getline(in, line) && line.rfind("  ", 0) == 0;) {
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string s; words >> s;) w.push_back(s);
        if (w.size() < 5) continue;
        Leg leg{w[1], w.size() == 6 ? w[4] : "-----"};
        if (w[2] != "---") leg.courseDeg = std::stoi(w[2]);
        if (w[3] != "---") leg.distanceNm = std::stod(w[3]);
        legs.push_back(leg);
    }
    return legs;
}

class PlanAgreementTest : public PagesFixture {
protected:
    // Every leg on the ACT LEGS pages with the course and distance written above it.
    std::vector<std::pair<Leg, std::string>> cduLegs() {
        std::vector<std::pair<Leg, std::string>> legs;
        keys("F4");
        const int pages = std::stoi(row(0).substr(23));
        for (int page = 1; page <= pages; ++page) {
            for (int line = 1; line <= 5; ++line) {
                const std::string data = row(2 * line);
                if (Trim(data).empty()) break;
                legs.push_back({{Trim(data.substr(0, 12)), Trim(data.substr(12))}, Trim(row(2 * line - 1))});
            }
            keys("F9");
        }
        return legs;
    }
};

TEST_F(PlanAgreementTest, TheGuideRouteOnTheCduIsThePlanToolsRoute) {
    buildGuideRoute();
    keys("F10");
    const ToolRun run = RunTool(std::string(HALVEX_FMS_EXE) + " plan --root " + HALVEX_SOURCE_DIR +
                                "/data \"org KSEA; dst KPDX; orgrwy 16L; sid SEA7; sidtrs OLM; fpln 0 SEA; via J1 BTG; "
                                "dstrwy 10L; app ILS10L; apptrs BTG; exec\"");
    ASSERT_EQ(run.status, 0) << run.out;
    const std::vector<Leg> tool = ToolLegs(run.out);
    const auto cdu = cduLegs();
    ASSERT_GT(tool.size(), 10u) << run.out;
    ASSERT_EQ(cdu.size(), tool.size()) << run.out << screen();
    static const std::regex legText(R"((\d{3})` (\S+)NM)");
    for (size_t i = 0; i < tool.size(); ++i) {
        EXPECT_EQ(cdu[i].first.name, tool[i].name) << "leg " << i;
        EXPECT_EQ(cdu[i].first.constraint, tool[i].constraint) << "leg " << i;
        if (i == 0) {
            EXPECT_EQ(cdu[i].second, "") << "nothing leads into the origin";
            continue;
        }
        // Above each waypoint: the leg into it, which the tool lists on the waypoint before.
        std::smatch m;
        ASSERT_TRUE(std::regex_match(cdu[i].second, m, legText)) << "leg " << i << ": '" << cdu[i].second << "'";
        const int course = tool[i - 1].courseDeg == 0 ? 360 : tool[i - 1].courseDeg;
        EXPECT_EQ(std::stoi(m[1]), course) << "leg " << i;
        if (i == 1) {
            EXPECT_EQ(m[2], "---") << "the active leg shows the distance to go";
        } else {
            const double tolerance = tool[i - 1].distanceNm < 10 ? 0.051 : 0.56;
            EXPECT_NEAR(std::stod(m[2]), tool[i - 1].distanceNm, tolerance) << "leg " << i;
        }
    }
}

}  // namespace
}  // namespace halvex::test
