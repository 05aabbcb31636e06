#include "panel/Panel.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "display/CduScreenText.h"
#include "gauge/CduKeyLayout.h"

namespace halvex::panel {

std::vector<GaugePlace> StandardLayout() {
    return {
        {"FMScore", 968, 526},   {"FMS_Zolan", 0, 0},   {"AP85", 0, 569},
        {"EHSI_Zolan", 510, 0}, {"LNAV_TGL", 520, 512}, {"LNAV_BTN", 600, 522},
    };
}

namespace {
Panel* activePanel = nullptr;  // the C services below reach the panel through it
constexpr uint32_t kStartupPictureId = 121;
}  // namespace

// The host's panel services. The seven element-list services have nothing to do here: the host
// installs and composes the elements itself.
struct PanelServiceCalls {
    static void ElementList(HalvexElement*) {}
    static void ElementListInstall(HalvexElement*, void*) {}
    static void ElementListGenerate(HalvexElement*, uint32_t) {}
    static void* ActiveWindow() { return activePanel ? (activePanel->window ? activePanel->window : activePanel) : nullptr; }
    static void* ShowStartupPicture(void*, uint32_t bitmapId) {
        if (!activePanel) return nullptr;
        cairo_surface_t* picture = activePanel->bitmap(bitmapId);
        ++activePanel->startupPictures_;
        if (picture) {
            cairo_t* cr = cairo_create(activePanel->picture_);
            const double x = (activePanel->Width() - cairo_image_surface_get_width(picture)) / 2.0;
            const double y = (activePanel->Height() - cairo_image_surface_get_height(picture)) / 2.0;
            cairo_set_source_surface(cr, picture, std::floor(x), std::floor(y));
            cairo_paint(cr);
            cairo_destroy(cr);
            if (activePanel->onStartupPicture) activePanel->onStartupPicture(activePanel->picture_);
        }
        return activePanel;
    }
    static void CloseStartupPicture(void*) {}
    static void CoreChanged(void* core) {
        if (activePanel) activePanel->core_ = static_cast<FmsCore*>(core);
    }
    static void CduScreen(const uint32_t* cells, int32_t rows, int32_t columns, const uint32_t*) {
        if (activePanel && cells && rows == CduTextGrid::kRows && columns == CduTextGrid::kColumns)
            activePanel->cduScreen_ = CduScreenText(cells);
    }
};

Panel::Panel(GaugeModule& module, std::vector<GaugePlace> layout, double scale)
    : module_(module), layout_(std::move(layout)), scale_(scale > 0 ? scale : 1.0) {
    services_.elementListQuery = PanelServiceCalls::ElementList;
    services_.elementListInstall = PanelServiceCalls::ElementListInstall;
    services_.elementListInitialize = PanelServiceCalls::ElementList;
    services_.elementListUpdate = PanelServiceCalls::ElementList;
    services_.elementListGenerate = PanelServiceCalls::ElementListGenerate;
    services_.elementListPlot = PanelServiceCalls::ElementList;
    services_.elementListKill = PanelServiceCalls::ElementList;
    services_.activeWindow = PanelServiceCalls::ActiveWindow;
    services_.showStartupPicture = PanelServiceCalls::ShowStartupPicture;
    services_.closeStartupPicture = PanelServiceCalls::CloseStartupPicture;
    services_.cduScreen = PanelServiceCalls::CduScreen;
    services_.coreChanged = PanelServiceCalls::CoreChanged;
}

Panel::~Panel() {
    if (connected_) Disconnect();
    module_.Import(nullptr);
    for (cairo_surface_t* image : elementImages_) cairo_surface_destroy(image);
    for (auto& [id, surface] : bitmaps_)
        if (surface) cairo_surface_destroy(surface);
    if (picture_) cairo_surface_destroy(picture_);
    if (activePanel == this) activePanel = nullptr;
}

cairo_surface_t* Panel::bitmap(uint32_t id) {
    auto found = bitmaps_.find(id);
    if (found != bitmaps_.end()) return found->second;
    const std::string path = module_.ResourceFolder() + "/" + std::to_string(id) + ".png";
    cairo_surface_t* surface = nullptr;
    if (std::filesystem::exists(path)) {
        surface = cairo_image_surface_create_from_png(path.c_str());
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            surface = nullptr;
        }
    }
    bitmaps_[id] = surface;
    return surface;
}

bool Panel::installElement(HalvexElement* element, std::string& error, bool required) {
    cairo_surface_t* source = bitmap(element->bitmapId);
    if (!source) {
        if (required) {
            error = "bitmap " + std::to_string(element->bitmapId) + " is missing from " + module_.ResourceFolder();
            return false;
        }
        element->imageWidth = element->imageHeight = 0;
        element->deviceContext = nullptr;
    } else {
        const int w = cairo_image_surface_get_width(source), h = cairo_image_surface_get_height(source);
        const int width = std::max(1, static_cast<int>(std::lround(w * scale_)));
        const int height = std::max(1, static_cast<int>(std::lround(h * scale_)));
        cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_t* cr = cairo_create(image);
        cairo_scale(cr, static_cast<double>(width) / w, static_cast<double>(height) / h);
        cairo_set_source_surface(cr, source, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_destroy(cr);
        elementImages_.push_back(image);
        element->imageWidth = width;
        element->imageHeight = height;
        element->deviceContext = image;
    }
    if (element->children)
        for (HalvexElement** child = element->children; *child; ++child)
            if (!installElement(*child, error, false)) return false;
    return true;
}

bool Panel::Install(std::string& error) {
    activePanel = this;
    module_.Import(&services_);
    for (const GaugePlace& place : layout_) {
        HalvexGaugeHeader* header = module_.Gauge(place.name);
        if (!header) continue;  // a module without that gauge: the panel shows the others
        if (!header->elementList || !header->elementList[0]) {
            error = "gauge " + place.name + " has no elements";
            return false;
        }
        if (!installElement(header->elementList[0], error, true)) return false;
        gauges_.push_back({header, place});
    }
    if (gauges_.empty()) {
        error = module_.Path() + " has none of the panel's gauges";
        return false;
    }
    picture_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Width(), Height());
    return true;
}

int Panel::Width() const {
    double right = 1;
    for (const InstalledGauge& g : gauges_)
        right = std::max(right, g.place.x * scale_ + g.header->elementList[0]->imageWidth);
    return static_cast<int>(std::ceil(right));
}

int Panel::Height() const {
    double bottom = 1;
    for (const InstalledGauge& g : gauges_)
        bottom = std::max(bottom, g.place.y * scale_ + g.header->elementList[0]->imageHeight);
    return static_cast<int>(std::ceil(bottom));
}

void Panel::call(int32_t service) {
    activePanel = this;
    for (const InstalledGauge& g : gauges_)
        if (g.header->callback) g.header->callback(g.header, service, 0);
}

void Panel::Connect() {
    call(HALVEX_SERVICE_CONNECT);
    connected_ = true;
}

void Panel::PreUpdate() { call(HALVEX_SERVICE_PRE_UPDATE); }

void Panel::PreDraw() {
    call(HALVEX_SERVICE_PRE_DRAW);
    compose();
}

void Panel::Disconnect() {
    call(HALVEX_SERVICE_DISCONNECT);
    connected_ = false;
}

void Panel::composeElement(HalvexElement* element, double gaugeX, double gaugeY) {
    if (!(element->imageFlags & HALVEX_IMAGE_HIDDEN) && element->deviceContext) {
        auto* image = static_cast<cairo_surface_t*>(element->deviceContext);
        cairo_surface_flush(image);
        cairo_t* cr = cairo_create(picture_);
        cairo_set_source_surface(cr, image, std::round(gaugeX + element->x * scale_), std::round(gaugeY + element->y * scale_));
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    element->imageFlags |= HALVEX_IMAGE_COMPOSED;
    if (element->children)
        for (HalvexElement** child = element->children; *child; ++child) composeElement(*child, gaugeX, gaugeY);
}

void Panel::compose() {
    cairo_t* cr = cairo_create(picture_);
    cairo_set_source_rgb(cr, 0.19, 0.20, 0.21);  // panel grey behind the gauges
    cairo_paint(cr);
    cairo_destroy(cr);
    for (const InstalledGauge& g : gauges_)
        composeElement(g.header->elementList[0], g.place.x * scale_, g.place.y * scale_);
    cairo_surface_flush(picture_);
}

bool Panel::Click(const std::string& gauge, double x, double y, uint32_t mouseFlags) {
    activePanel = this;
    HalvexGaugeHeader* header = module_.Gauge(gauge);
    if (!header || !header->mouseRects) return false;
    for (HalvexMouseRect* rect = header->mouseRects; rect->kind != HALVEX_MOUSE_END; ++rect) {
        if (rect->kind == HALVEX_MOUSE_END_OF_PARENT) break;
        if (rect->kind != HALVEX_MOUSE_CHILD || !rect->handler || !(rect->mouseFlags & mouseFlags)) continue;
        if (x >= rect->x && x < rect->x + rect->width && y >= rect->y && y < rect->y + rect->height) {
            rect->handler(rect, mouseFlags);
            return true;
        }
    }
    return false;
}

bool Panel::ClickPanel(double x, double y, uint32_t mouseFlags) {
    for (auto g = gauges_.rbegin(); g != gauges_.rend(); ++g) {
        const HalvexElement* background = g->header->elementList[0];
        const double gx = x - g->place.x * scale_, gy = y - g->place.y * scale_;
        if (gx < 0 || gy < 0 || gx >= background->imageWidth || gy >= background->imageHeight) continue;
        return Click(g->place.name, gx / scale_, gy / scale_, mouseFlags);
    }
    return false;
}

bool Panel::PressCduKey(int32_t code) {
    const gauge::CduKey* key = gauge::FindCduKey(code);
    if (!key) return false;
    return Click("FMS_Zolan", key->x + key->width / 2.0, key->y + key->height / 2.0, HALVEX_MOUSE_LEFT_SINGLE);
}

bool Panel::WriteGaugePng(const std::string& gauge, const std::string& path) const {
    const HalvexGaugeHeader* header = module_.Gauge(gauge);
    if (!header || !header->elementList || !header->elementList[0]) return false;
    auto* image = static_cast<cairo_surface_t*>(header->elementList[0]->deviceContext);
    return image && cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

bool Panel::WritePng(const std::string& path) const {
    return picture_ && cairo_surface_write_to_png(picture_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace halvex::panel
