#include "FlightPanel.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace halvex::cli {

namespace {

constexpr const char* kModuleFile = "Halvex_FMS_Zolan.gau";
// The CDU runs its page script on every draw while keys wait, else on every 15th draw: fifteen
// draws in a row always include a cycle after the last key, so the screen is current.

std::string ProgramFolder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.parent_path().string();
}

}  // namespace

std::string FindGaugeModule(const std::string& given, std::string& error) {
    std::vector<std::string> places;
    if (!given.empty()) {
        places.push_back(given);
    } else {
        if (const std::string here = ProgramFolder(); !here.empty()) places.push_back(here + "/" + kModuleFile);
        places.push_back(HALVEX_BUILD_MODULE_FILE);
    }
    for (const std::string& place : places) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(place, ec)) return std::filesystem::absolute(place, ec).string();
    }
    error = "no gauge module at";
    for (const std::string& place : places) error += " " + place;
    return {};
}

std::unique_ptr<FlightPanel> FlightPanel::Open(const std::string& modulePath, std::string& error) {
    std::unique_ptr<FlightPanel> flight(new FlightPanel());
    flight->module_ = panel::GaugeModule::Load(modulePath, error);
    if (!flight->module_) return nullptr;
    flight->panel_ = std::make_unique<panel::Panel>(*flight->module_, panel::StandardLayout());
    if (!flight->panel_->Install(error)) return nullptr;
    return flight;
}

FlightPanel::~FlightPanel() {
    panel_.reset();  // disconnects the gauges before the module goes
    module_.reset();
}

bool FlightPanel::Connect() {
    panel_->Connect();
    return Core() != nullptr;
}

bool FlightPanel::PlayDue(double timeS, std::string& error) {
    while (next_ < events_.size() && events_[next_].atSeconds <= timeS + 1e-9)
        if (!play(events_[next_++], error)) return false;
    return true;
}

bool FlightPanel::play(const panel::ScenarioEvent& event, std::string& error) {
    using Kind = panel::ScenarioEvent::Kind;
    switch (event.kind) {
        case Kind::Keys:
            // One batch, taken together in one page cycle, as `halvex-fms cdu --keys` takes it.
            for (int32_t code : event.keyCodes) panel_->PressCduKey(code);
            DrawCurrent();
            return true;
        case Kind::Click:
            // A click outside every rectangle is dropped, as a simulator drops it.
            if (!panel_->Click(event.gauge, event.x, event.y, event.mouseFlags))
                std::cerr << "halvex-fms fly: scenario line " << event.line << ": the click at " << event.x << " "
                          << event.y << " on " << event.gauge << " met no mouse rectangle\n";
            DrawCurrent();
            return true;
        case Kind::Snapshot:
            DrawCurrent();
            if (panel_->WritePng(event.file)) return true;
            break;
        case Kind::Screen: {
            DrawCurrent();
            std::ofstream out(event.file, std::ios::binary);
            out << panel_->CduScreen();
            if (out.flush()) return true;
            break;
        }
    }
    error = "scenario line " + std::to_string(event.line) + ": cannot write " + event.file;
    return false;
}

void FlightPanel::DrawCurrent() {
    for (int i = 0; i < 15; ++i) Draw();
}

bool FlightPanel::WriteGaugePictures(const std::string& folder, double timeS) {
    DrawCurrent();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%06.0f", timeS);
    return panel_->WriteGaugePng("FMS_Zolan", folder + "/cdu-" + stamp + ".png") &&
           panel_->WriteGaugePng("EHSI_Zolan", folder + "/ehsi-" + stamp + ".png");
}

}  // namespace halvex::cli
