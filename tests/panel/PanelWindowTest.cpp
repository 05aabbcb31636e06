// The panel in a real window: an X server of its own (Xvfb), a real pointer click through the X
// server on a CDU key, and the window's pixels read back.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "gauge/CduKeyLayout.h"
#include "panel/GaugeModule.h"
#include "panel/Panel.h"
#include "panel/PanelWindow.h"
#include "support/ScratchRuntime.h"
#include "support/TempTree.h"

// Under the leak checker, what is allocated while the window is open is not checked: the window
// system libraries SDL loads keep blocks to the end of the process. The module and the host are
// leak-checked by the panel tests that need no window.
extern "C" __attribute__((weak)) void __lsan_disable();
extern "C" __attribute__((weak)) void __lsan_enable();

namespace halvex::panel {
namespace {

// An Xvfb server on a free display number for the test's lifetime.
class VirtualDisplay {
public:
    VirtualDisplay() {
        if (access("/usr/bin/Xvfb", X_OK) != 0) return;
        for (int n = 90; n < 120 && pid_ <= 0; ++n) {
            if (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)) ||
                std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock"))
                continue;
            const std::string display = ":" + std::to_string(n);
            pid_ = fork();
            if (pid_ == 0) {
                execl("/usr/bin/Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                      static_cast<char*>(nullptr));
                _exit(127);
            }
            for (int i = 0; i < 100 && !std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n))) name_ = display;
        }
    }
    ~VirtualDisplay() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& Name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

uint32_t Pixel(cairo_surface_t* s, int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFFu;
}

}  // namespace

TEST(PanelWindow, ARealClickOnAKeyChangesTheScreenInTheWindow) {
    VirtualDisplay display;
    if (display.Name().empty()) GTEST_SKIP() << "no Xvfb on this machine";
    if (access("/usr/bin/xdotool", X_OK) != 0) GTEST_SKIP() << "no xdotool on this machine";
    setenv("DISPLAY", display.Name().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    if (__lsan_disable) __lsan_disable();

    test::ScratchRuntime runtime;
    test::TempTree tree;
    tree.copyFromSource("data", ".");
    std::string error;
    std::unique_ptr<GaugeModule> module = GaugeModule::Load(HALVEX_MODULE_FILE, error);
    ASSERT_TRUE(module) << error;
    Panel panel(*module, StandardLayout());
    ASSERT_TRUE(panel.Install(error)) << error;
    std::unique_ptr<PanelWindow> window = PanelWindow::Open("Halvex FMS Zolan", panel.Width(), panel.Height(), error);
    ASSERT_TRUE(window) << error;
    panel.Connect();
    const auto frames = [&](int n) {
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(window->PumpEvents(panel));
            panel.PreUpdate();
            panel.PreDraw();
            window->Show(panel.Picture());
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };
    frames(20);
    ASSERT_NE(panel.CduScreen().find("IDENT"), std::string::npos);

    // The screen's title row before and after F2 (RTE), as the window shows it.
    cairo_surface_t* before = window->Screenshot();
    int x = 0, y = 0;
    SDL_GetWindowPosition(window->Handle(), &x, &y);
    const gauge::CduKey* rte = gauge::FindCduKey(-11);
    const std::string click = "xdotool mousemove " + std::to_string(x + rte->x + rte->width / 2) + " " +
                              std::to_string(y + rte->y + rte->height / 2) + " click 1";
    ASSERT_EQ(std::system(click.c_str()), 0);
    for (int i = 0; i < 100 && panel.CduScreen().find("RTE") == std::string::npos; ++i) frames(1);
    frames(20);
    EXPECT_NE(panel.CduScreen().find("RTE"), std::string::npos) << panel.CduScreen();
    cairo_surface_t* after = window->Screenshot();
    int changed = 0, lit = 0;
    for (int py = 51; py < 51 + 17; ++py)  // row 0 of the CDU screen on the face
        for (int px = 72; px < 72 + 360; ++px) {
            changed += Pixel(before, px, py) != Pixel(after, px, py);
            lit += Pixel(after, px, py) != 0;
        }
    EXPECT_GT(changed, 50);
    EXPECT_GT(lit, 50);
    cairo_surface_destroy(before);
    cairo_surface_destroy(after);
    panel.Disconnect();
    if (__lsan_enable) __lsan_enable();
}

}  // namespace halvex::panel
