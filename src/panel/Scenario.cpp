#include "panel/Scenario.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>

#include "gauge/CduKeyLayout.h"
#include "gauge/GaugeHost.h"

namespace halvex::panel {
namespace {

constexpr std::array<const char*, 6> kGaugeNames = {"FMScore", "FMS_Zolan", "AP85", "EHSI_Zolan", "LNAV_TGL", "LNAV_BTN"};

std::optional<double> Number(const std::string& word) {
    try {
        size_t used = 0;
        const double value = std::stod(word, &used);
        if (used != word.size() || !std::isfinite(value)) return std::nullopt;
        return value;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<uint32_t> Button(const std::string& word) {
    if (word == "left") return HALVEX_MOUSE_LEFT_SINGLE;
    if (word == "middle") return HALVEX_MOUSE_MIDDLE_SINGLE;
    if (word == "wheelup") return HALVEX_MOUSE_WHEEL_UP;
    if (word == "wheeldown") return HALVEX_MOUSE_WHEEL_DOWN;
    return std::nullopt;
}

// One line's event; a reason in why when it is not one.
std::optional<ScenarioEvent> ParseEvent(const std::vector<std::string>& words, std::string& why) {
    ScenarioEvent event;
    if (words.size() < 3 || words[0] != "at") {
        why = "expected 'at SECONDS keys|click|snapshot|screen ...'";
        return std::nullopt;
    }
    const std::optional<double> at = Number(words[1]);
    if (!at || *at < 0) {
        why = "'" + words[1] + "' is not a time in seconds";
        return std::nullopt;
    }
    event.atSeconds = *at;
    const std::string& verb = words[2];
    if (verb == "keys") {
        event.kind = ScenarioEvent::Kind::Keys;
        for (size_t i = 3; i < words.size(); ++i) {
            const std::optional<int32_t> code = gauge::CduKeyFromName(words[i]);
            if (!code) {
                why = "unknown key '" + words[i] + "'";
                return std::nullopt;
            }
            event.keyCodes.push_back(*code);
        }
        if (event.keyCodes.empty()) {
            why = "keys needs at least one key";
            return std::nullopt;
        }
    } else if (verb == "click") {
        event.kind = ScenarioEvent::Kind::Click;
        if (words.size() != 6 && words.size() != 7) {
            why = "expected 'click GAUGE X Y [left|middle|wheelup|wheeldown]'";
            return std::nullopt;
        }
        event.gauge = words[3];
        if (std::find(kGaugeNames.begin(), kGaugeNames.end(), event.gauge) == kGaugeNames.end()) {
            why = "unknown gauge '" + event.gauge + "'";
            return std::nullopt;
        }
        const std::optional<double> x = Number(words[4]), y = Number(words[5]);
        if (!x || !y) {
            why = "click position '" + words[4] + " " + words[5] + "' is not two numbers";
            return std::nullopt;
        }
        event.x = *x;
        event.y = *y;
        const std::optional<uint32_t> button = Button(words.size() == 7 ? words[6] : "left");
        if (!button) {
            why = "unknown mouse button '" + words[6] + "'";
            return std::nullopt;
        }
        event.mouseFlags = *button;
    } else if (verb == "snapshot" || verb == "screen") {
        event.kind = verb == "snapshot" ? ScenarioEvent::Kind::Snapshot : ScenarioEvent::Kind::Screen;
        if (words.size() != 4) {
            why = verb + " needs one file name";
            return std::nullopt;
        }
        event.file = words[3];
    } else {
        why = "unknown event '" + verb + "'";
        return std::nullopt;
    }
    return event;
}

}  // namespace

std::optional<std::vector<ScenarioEvent>> ParseScenario(std::istream& in, std::string& error) {
    std::vector<ScenarioEvent> events;
    std::string text;
    for (int lineNumber = 1; std::getline(in, text); ++lineNumber) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        std::istringstream line(text);
        std::vector<std::string> words;
        for (std::string word; line >> word;) words.push_back(word);
        if (words.empty() || words[0][0] == '#') continue;
        std::string why;
        std::optional<ScenarioEvent> event = ParseEvent(words, why);
        if (!event) {
            error = "line " + std::to_string(lineNumber) + ": " + why;
            return std::nullopt;
        }
        event->line = lineNumber;
        events.push_back(std::move(*event));
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const ScenarioEvent& a, const ScenarioEvent& b) { return a.atSeconds < b.atSeconds; });
    return events;
}

}  // namespace halvex::panel
