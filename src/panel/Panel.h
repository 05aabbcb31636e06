// Panel: the six gauges of a loaded module laid out on one picture, driven as a simulator's panel
// drives them. The host owns every element's image (a Cairo surface the module may draw on),
// composes the visible elements, and turns clicks in panel or gauge pixels into mouse events.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gauge/GaugeHost.h"
#include "panel/GaugeModule.h"

namespace halvex {
class FmsCore;
}

namespace halvex::panel {

// Where a gauge sits on the panel, in panel pixels at scale 1.
struct GaugePlace {
    std::string name;
    double x = 0, y = 0;
};

// The standard layout: CDU left, EHSI right of it, the AP85 under the EHSI with the two LNAV
// lamps beside it; the FMScore icon in the corner.
std::vector<GaugePlace> StandardLayout();

class Panel {
public:
    // Installs every gauge of the layout that the module has: element images at scale, bitmaps
    // from the module's resource folder. False with a reason when a background bitmap is missing.
    Panel(GaugeModule& module, std::vector<GaugePlace> layout, double scale = 1.0);
    ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    bool Install(std::string& error);

    // The simulator's calls, to every gauge in layout order.
    void Connect();     // service 14
    void PreUpdate();   // service 6, once per frame
    void PreDraw();     // service 10, then composition
    void Disconnect();  // service 15

    // A mouse event at a point of the gauge's background bitmap. False when no rectangle of the
    // gauge accepts it (the event is then dropped, as a simulator does).
    bool Click(const std::string& gauge, double x, double y, uint32_t mouseFlags);
    // The same at a point of the panel picture (window pixels at the panel's scale).
    bool ClickPanel(double x, double y, uint32_t mouseFlags);
    // Presses a CDU key by its code, at the centre of its rectangle on the face.
    bool PressCduKey(int32_t code);

    cairo_surface_t* Picture() const { return picture_; }
    int Width() const;
    int Height() const;
    bool WritePng(const std::string& path) const;
    double Scale() const { return scale_; }

    // The CDU screen as the module last published it (15 lines), empty before the first draw.
    const std::string& CduScreen() const { return cduScreen_; }
    // The module's core while connected (the module and this host come from one build), else null.
    FmsCore* Core() const { return core_; }
    // Writes one gauge's background element as the module last drew it.
    bool WriteGaugePng(const std::string& gauge, const std::string& path) const;
    // Times the module showed its start-up picture while connecting.
    int StartupPictures() const { return startupPictures_; }
    // Called with the start-up picture while the core loads (a window shows it at once).
    std::function<void(cairo_surface_t*)> onStartupPicture;
    // The host's window, handed to the module as its active window; null when headless, in which
    // case the start-up picture still shows on the panel picture.
    void* window = nullptr;

private:
    struct InstalledGauge {
        HalvexGaugeHeader* header;
        GaugePlace place;
    };
    friend struct PanelServiceCalls;

    bool installElement(HalvexElement* element, std::string& error, bool required);
    void compose();
    void composeElement(HalvexElement* element, double gaugeX, double gaugeY);
    void call(int32_t service);
    cairo_surface_t* bitmap(uint32_t id);

    GaugeModule& module_;
    std::vector<GaugePlace> layout_;
    std::vector<InstalledGauge> gauges_;
    double scale_;
    std::map<uint32_t, cairo_surface_t*> bitmaps_;
    std::vector<cairo_surface_t*> elementImages_;
    cairo_surface_t* picture_ = nullptr;
    std::string cduScreen_;
    int startupPictures_ = 0;
    FmsCore* core_ = nullptr;
    HalvexPanelServices services_{};
    bool connected_ = false;
};

}  // namespace halvex::panel
