// FlightPanel: the gauge module loaded into the panel host, driven as a simulator drives it, with
// the pilot's scenario events played at their times. `fly` runs every flight through it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "panel/GaugeModule.h"
#include "panel/Panel.h"
#include "panel/Scenario.h"

namespace halvex::cli {

// Where the module is: the given path, else beside this program, else where this build put it.
// Empty, with every place looked at in error, when there is none.
std::string FindGaugeModule(const std::string& given, std::string& error);

class FlightPanel {
public:
    // Loads the module and installs its gauges; nothing, with the reason, on failure.
    static std::unique_ptr<FlightPanel> Open(const std::string& modulePath, std::string& error);
    ~FlightPanel();

    // Connects every gauge (the module builds its core); false when the core did not come up.
    bool Connect();
    panel::Panel& Panel() { return *panel_; }
    FmsCore* Core() const { return panel_->Core(); }

    // One simulator frame: every gauge's pre-update.
    void Update() { panel_->PreUpdate(); }
    // Every gauge's pre-draw and the composed panel.
    void Draw() { panel_->PreDraw(); }
    // Draws until the CDU has run its page script on what it has now (keys taken, values read).
    void DrawCurrent();

    // The scenario to play; events run once simulated time reaches them.
    void SetScenario(std::vector<panel::ScenarioEvent> events) { events_ = std::move(events); }
    bool ScenarioDone() const { return next_ >= events_.size(); }
    double LastEventS() const { return events_.empty() ? 0.0 : events_.back().atSeconds; }
    // Plays the events due at timeS. False, with the reason, when a file could not be written.
    bool PlayDue(double timeS, std::string& error);

    // The CDU and EHSI as the module last drew them, into folder/cdu-<stamp>.png and ehsi-<stamp>.png.
    bool WriteGaugePictures(const std::string& folder, double timeS);

private:
    FlightPanel() = default;
    bool play(const panel::ScenarioEvent& event, std::string& error);

    std::unique_ptr<panel::GaugeModule> module_;
    std::unique_ptr<panel::Panel> panel_;
    std::vector<panel::ScenarioEvent> events_;
    size_t next_ = 0;
};

}  // namespace halvex::cli
