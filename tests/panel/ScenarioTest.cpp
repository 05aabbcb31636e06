// Scenario files as a pilot (or a typo) writes them.
#include <gtest/gtest.h>

#include <sstream>

#include "gauge/GaugeHost.h"
#include "panel/Scenario.h"

namespace halvex::panel {
namespace {

std::optional<std::vector<ScenarioEvent>> parse(const std::string& text, std::string& error) {
    std::istringstream in(text);
    return ParseScenario(in, error);
}

}  // namespace

TEST(Scenario, ReadsEveryEventKindInTimeOrder) {
    std::string error;
    const auto events = parse(
        "# build the plan\r\n"
        "\n"
        "at 5 snapshot late.png\n"
        "at 0.5 keys K S E A L1 F10 SP R6\n"
        "at 2 click EHSI_Zolan 20 420 wheelup\n"
        "at 2 click AP85 60 30\n"
        "   at 3 screen cdu.txt   \n",
        error);
    ASSERT_TRUE(events) << error;
    ASSERT_EQ(events->size(), 5u);
    const ScenarioEvent& keys = (*events)[0];
    EXPECT_EQ(keys.kind, ScenarioEvent::Kind::Keys);
    EXPECT_EQ(keys.keyCodes, (std::vector<int32_t>{'K', 'S', 'E', 'A', -30, -19, 32, -55}));
    EXPECT_EQ(keys.line, 4);
    // Same time: file order kept.
    EXPECT_EQ((*events)[1].gauge, "EHSI_Zolan");
    EXPECT_EQ((*events)[1].mouseFlags, static_cast<uint32_t>(HALVEX_MOUSE_WHEEL_UP));
    EXPECT_EQ((*events)[2].gauge, "AP85");
    EXPECT_EQ((*events)[2].mouseFlags, static_cast<uint32_t>(HALVEX_MOUSE_LEFT_SINGLE));
    EXPECT_DOUBLE_EQ((*events)[2].x, 60);
    EXPECT_EQ((*events)[3].kind, ScenarioEvent::Kind::Screen);
    EXPECT_EQ((*events)[3].file, "cdu.txt");
    EXPECT_EQ((*events)[4].kind, ScenarioEvent::Kind::Snapshot);
    EXPECT_DOUBLE_EQ((*events)[4].atSeconds, 5);
}

TEST(Scenario, RefusesBadLinesWithTheirLineNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"at 1 keys A\nat 2 keys L7\n", "line 2: unknown key 'L7'"},
        {"at 1 keys L01\n", "line 1: unknown key 'L01'"},
        {"at 1 keys a\n", "line 1: unknown key 'a'"},
        {"at 1 keys\n", "line 1: keys needs at least one key"},
        {"at 1 click CDU 10 10\n", "line 1: unknown gauge 'CDU'"},
        {"at 1 click AP85 10\n", "line 1: expected 'click GAUGE"},
        {"at 1 click AP85 10 y\n", "line 1: click position"},
        {"at 1 click AP85 10 10 right\n", "line 1: unknown mouse button 'right'"},
        {"at -1 keys A\n", "line 1: '-1' is not a time"},
        {"at nan keys A\n", "line 1: 'nan' is not a time"},
        {"at 1e999 keys A\n", "line 1: '1e999' is not a time"},
        {"at 2s keys A\n", "line 1: '2s' is not a time"},
        {"keys A\n", "line 1: expected 'at"},
        {"at 1 fly away\n", "line 1: unknown event 'fly'"},
        {"at 1 snapshot\n", "line 1: snapshot needs one file name"},
        {"at 1 screen a b\n", "line 1: screen needs one file name"},
    };
    for (const auto& [text, expected] : cases) {
        std::string error;
        EXPECT_FALSE(parse(text, error)) << text;
        EXPECT_EQ(error.rfind(expected, 0), 0u) << text << " gave: " << error;
    }
}

TEST(Scenario, AnEmptyOrCommentOnlyFileHasNoEvents) {
    std::string error;
    const auto events = parse("# nothing\n\n   \n#at 1 keys A\n", error);
    ASSERT_TRUE(events);
    EXPECT_TRUE(events->empty());
}

}  // namespace halvex::panel
