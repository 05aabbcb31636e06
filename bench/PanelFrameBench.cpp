// One panel frame as a simulator runs it: every gauge's pre-update (the core's Update with its
// data-server exchanges), the CDU and EHSI pre-draws and the composition of the whole panel,
// with KSEA-KPDX built on the CDU and flown by LNAV and VNAV against the substitute simulator.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <memory>
#include <sstream>
#include <string>

#include "core/FmsCore.h"
#include "gauge/CduKeyLayout.h"
#include "panel/GaugeModule.h"
#include "panel/Panel.h"
#include "sim/DataServer.h"
#include "support/ScratchRuntime.h"

namespace {

using namespace halvex;

class PanelFlight {
public:
    explicit PanelFlight(double scale) {
        if (::chdir(HALVEX_SOURCE_DIR "/data") != 0) return;
        sim::DataServerOptions options;
        options.ownClock = false;
        server_ = std::make_unique<sim::DataServer>(options);
        std::string error;
        if (!server_->Start(&error)) return;
        module_ = panel::GaugeModule::Load(HALVEX_MODULE_FILE, error);
        if (!module_) return;
        panel_ = std::make_unique<panel::Panel>(*module_, panel::StandardLayout(), scale);
        if (!panel_->Install(error)) return;
        panel_->Connect();
        for (const char* batch : {"F2 K S E A L1 K P D X R1 1 6 L L2", "F3 L1", "L4",
                                  "F2 F9 S E A R1 J 1 L2 A L D E R R2", "F3 R1", "R3", "R2", "F1 L3",
                                  "1 4 0 0 0 R1", "F4 F10", "F4"})
            press(batch);
        if (FmsCore* core = panel_->Core(); core && core->ApModes()) {
            core->ApModes()->SetAutopilotMaster(true);
            core->ApModes()->SetLateralMode(1);
            core->ApModes()->SetVerticalMode(1);
        }
        ready_ = panel_->Core() != nullptr;
    }
    ~PanelFlight() {
        panel_.reset();
        module_.reset();
        if (server_) server_->Stop();
    }
    bool Ready() const { return ready_; }
    void Frame() {
        server_->Step(1.0 / 18.0);
        panel_->PreUpdate();
        panel_->PreDraw();
    }

private:
    void press(const std::string& batch) {
        std::istringstream words(batch);
        for (std::string word; words >> word;)
            if (auto code = gauge::CduKeyFromName(word)) panel_->PressCduKey(*code);
        for (int i = 0; i < 15; ++i) Frame();
    }

    test::ScratchRuntime runtime_;
    std::unique_ptr<sim::DataServer> server_;
    std::unique_ptr<panel::GaugeModule> module_;
    std::unique_ptr<panel::Panel> panel_;
    bool ready_ = false;
};

void BM_PanelFrame(benchmark::State& state) {
    PanelFlight flight(static_cast<double>(state.range(0)) / 100.0);
    if (!flight.Ready()) {
        state.SkipWithError("the panel did not come up");
        return;
    }
    for (auto _ : state) flight.Frame();
}
BENCHMARK(BM_PanelFrame)->Arg(100)->Arg(150)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
